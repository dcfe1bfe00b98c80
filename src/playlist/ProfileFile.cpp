#include "ProfileFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <sys/stat.h>
#include <time.h>

#include <climits>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

QByteArray lowerKey(const QString &name)
{
    return name.trimmed().toUtf8().toLower();
}

// Value of a "key = value" line: blanks around it dropped, one pair of enclosing quotes removed.
QByteArrayView valueOf(QByteArrayView line)
{
    const QByteArrayView t = line.trimmed();
    const qsizetype eq = t.indexOf('=');
    QByteArrayView v = t.sliced(eq + 1).trimmed();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.sliced(1, v.size() - 2);
    return v;
}

QByteArrayView keyOf(QByteArrayView line)
{
    const QByteArrayView t = line.trimmed();
    return t.first(t.indexOf('=')).trimmed();
}

QByteArray encodeValue(const QString &value)
{
    QByteArray v = value.toUtf8();
    // Blanks at either end (all that reading trims: form feeds and vertical tabs too), or
    // enclosing quotes, would be lost on reading: quote the value.
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    const bool needsQuotes = !v.isEmpty()
        && (blank(v.front()) || blank(v.back()) || (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
    if (needsQuotes)
        v = '"' + v + '"';
    return v;
}

// File time stamps come from a clock that only moves every few milliseconds.
constexpr qint64 RacyWindowNs = 50'000'000;

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString cut(QString s, int maxLength)
{
    if (maxLength >= 0 && s.size() > maxLength) {
        qsizetype n = maxLength;
        if (n > 0 && s.at(n - 1).isHighSurrogate())
            --n;
        s.truncate(n);
    }
    return s;
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

ProfileFile::~ProfileFile() = default;

void ProfileFile::setPath(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    m_loaded = false;
    m_pending = false;
}

bool ProfileFile::isStorable(const QString &value)
{
    for (const QChar c : value) {
        if (c == u'\n' || c == u'\r' || c == u'\0')
            return false;
    }
    return true;
}

ProfileFile::FileId ProfileFile::statFile(int fd) const
{
    FileId id;
    struct stat st {};
    if (fd >= 0) {
        if (::fstat(fd, &st) != 0)
            return id;
    } else if (m_path.isEmpty() || ::stat(QFile::encodeName(m_path).constData(), &st) != 0) {
        return id;
    }
    id.exists = true;
    id.size = st.st_size;
    id.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    id.inode = st.st_ino;
    id.device = st.st_dev;
    return id;
}

void ProfileFile::refresh() const
{
    if (m_loaded && m_batchDepth > 0)
        return;
    const qint64 readStart = nowNs();
    FileId id = statFile();
    if (m_loaded && id == m_id && !m_racy)
        return;
    const bool sameId = m_loaded && id == m_id;
    m_error.clear();
    m_tooLarge = false;
    m_loaded = true;
    m_racy = false;
    QByteArray bytes;
    if (id.exists && id.size > MaxFileSize) {
        m_tooLarge = true;
        m_error = QStringLiteral("The file is too large to be a playlist.");
    } else if (id.exists) {
        QFile f(m_path);
        if (f.open(QIODevice::ReadOnly)) {
            id = statFile(f.handle()); // the file actually read
            bytes = f.readAll();
        } else {
            m_error = f.errorString();
        }
    }
    m_racy = id.exists && id.mtimeNs >= readStart - RacyWindowNs;
    // A recent file looked at again: parse only when the content did change.
    if (sameId && id == m_id && bytes == m_raw)
        return;
    m_id = id;
    m_raw = bytes;
    parse(bytes);
}

void ProfileFile::parse(const QByteArray &bytes) const
{
    m_sections.clear();
    m_sectionIndex.clear();
    m_sections.emplace_back();
    qsizetype pos = 0;
    m_bom = bytes.startsWith(Bom);
    if (m_bom)
        pos = Bom.size();
    const qsizetype n = bytes.size();
    const qsizetype lineCount = bytes.count('\n') + 1;
    qsizetype linesRead = 0;
    while (pos < n) {
        ++linesRead;
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (stop > pos && bytes.at(stop - 1) == '\r')
            --stop;
        Line line;
        line.text = bytes.mid(pos, stop - pos);
        pos = end + 1;

        const QByteArrayView t = QByteArrayView(line.text).trimmed();
        if (t.startsWith('[')) {
            QByteArrayView name = t.sliced(1);
            const qsizetype close = name.indexOf(']');
            if (close >= 0)
                name = name.first(close);
            const QByteArray lower = name.trimmed().toByteArray().toLower();
            line.kind = Line::Header;
            Section s;
            s.named = true;
            // Usually the only section: room for every line still to come.
            s.lines.reserve(lineCount - linesRead + 1);
            s.keys.reserve(lineCount - linesRead);
            s.lines.push_back(std::move(line));
            m_sections.push_back(std::move(s));
            if (!m_sectionIndex.contains(lower))
                m_sectionIndex.insert(lower, qsizetype(m_sections.size() - 1));
            continue;
        }
        Section &s = m_sections.back();
        if (!t.isEmpty() && !t.startsWith(';') && t.contains('=')) {
            line.kind = Line::Pair;
            const QByteArray lower = keyOf(t).toByteArray().toLower();
            if (!s.keys.contains(lower))
                s.keys.insert(lower, qsizetype(s.lines.size()));
        }
        s.lines.push_back(std::move(line));
    }
}

const ProfileFile::Line *ProfileFile::findPair(const QString &section, const QString &key) const
{
    refresh();
    const auto si = m_sectionIndex.constFind(lowerKey(section));
    if (si == m_sectionIndex.constEnd())
        return nullptr;
    const Section &s = m_sections[*si];
    const auto ki = s.keys.constFind(lowerKey(key));
    if (ki == s.keys.constEnd())
        return nullptr;
    return &s.lines[*ki];
}

QByteArrayView ProfileFile::valueFor(const QString &section, const QString &key) const
{
    const Line *line = findPair(section, key);
    return line ? valueOf(line->text) : QByteArrayView();
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &def,
                                int maxLength) const
{
    const QByteArrayView v = valueFor(section, key);
    if (v.isEmpty())
        return def;
    // QString::fromUtf8 drops a leading U+FEFF: a file name that starts with one would read
    // back as another name.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return cut(utf8.decode(v), maxLength);
}

int ProfileFile::readInt(const QString &section, const QString &key, int def) const
{
    const QByteArrayView v = valueFor(section, key);
    if (v.isEmpty())
        return def;
    qsizetype i = 0;
    bool negative = false;
    if (v.at(0) == '-' || v.at(0) == '+') {
        negative = v.at(0) == '-';
        ++i;
    }
    qint64 n = 0;
    for (; i < v.size() && v.at(i) >= '0' && v.at(i) <= '9'; ++i) {
        n = n * 10 + (v.at(i) - '0');
        if (n > qint64(INT_MAX) + 1)
            n = qint64(INT_MAX) + 1;
    }
    if (negative)
        return int(std::max(-n, qint64(INT_MIN)));
    return int(std::min(n, qint64(INT_MAX)));
}

int ProfileFile::highestIndex(const QString &section, const QString &prefix) const
{
    refresh();
    const auto si = m_sectionIndex.constFind(lowerKey(section));
    if (si == m_sectionIndex.constEnd())
        return -1;
    const Section &s = m_sections[*si];
    const QByteArray p = lowerKey(prefix);
    int best = -1;
    for (auto it = s.keys.constBegin(); it != s.keys.constEnd(); ++it) {
        const QByteArray &k = it.key();
        if (!k.startsWith(p) || k.size() == p.size() || k.size() - p.size() > 10)
            continue;
        const QByteArrayView digits = QByteArrayView(k).sliced(p.size());
        if (digits.size() > 1 && digits.front() == '0')
            continue;
        qint64 n = 0;
        bool ok = true;
        for (const char c : digits) {
            if (c < '0' || c > '9') {
                ok = false;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (!ok || n > INT_MAX || n <= best)
            continue;
        if (!valueOf(s.lines[it.value()].text).isEmpty())
            best = int(n);
    }
    return best;
}

int ProfileFile::keyCount(const QString &section) const
{
    refresh();
    const auto si = m_sectionIndex.constFind(lowerKey(section));
    return si == m_sectionIndex.constEnd() ? 0 : int(m_sections[*si].keys.size());
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QByteArray k = key.trimmed().toUtf8();
    if (!isStorable(value) || !isStorable(section) || !isStorable(key) || k.isEmpty()
        || k.contains('=') || k.startsWith('[') || k.startsWith(';') || section.contains(u']')) {
        m_error = QStringLiteral("The value cannot be stored in the file.");
        return false;
    }
    refresh();
    if (m_tooLarge)
        return false;

    const QByteArray sectionLower = lowerKey(section);
    auto si = m_sectionIndex.constFind(sectionLower);
    qsizetype sectionAt;
    if (si == m_sectionIndex.constEnd()) {
        Section s;
        s.named = true;
        s.lines.push_back({'[' + section.trimmed().toUtf8() + ']', Line::Header});
        m_sections.push_back(std::move(s));
        sectionAt = qsizetype(m_sections.size() - 1);
        m_sectionIndex.insert(sectionLower, sectionAt);
    } else {
        sectionAt = *si;
    }
    Section &s = m_sections[sectionAt];
    const QByteArray lower = k.toLower();
    const QByteArray encoded = encodeValue(value);
    const auto ki = s.keys.constFind(lower);
    if (ki != s.keys.constEnd()) {
        Line &line = s.lines[*ki];
        // The key keeps the spelling it was first written with.
        line.text = keyOf(line.text).toByteArray() + '=' + encoded;
    } else {
        // A new key goes after the section's last line that is not blank.
        qsizetype at = qsizetype(s.lines.size());
        while (at > 1 && QByteArrayView(s.lines[at - 1].text).trimmed().isEmpty())
            --at;
        s.lines.insert(s.lines.begin() + at, Line{k + '=' + encoded, Line::Pair});
        s.keys.insert(lower, at);
    }
    m_pending = true;
    if (m_batchDepth > 0)
        return true;
    return save();
}

QByteArray ProfileFile::serialize() const
{
    qsizetype total = m_bom ? Bom.size() : 0;
    for (const Section &s : m_sections) {
        for (const Line &l : s.lines)
            total += l.text.size() + 2;
    }
    QByteArray out;
    out.reserve(total);
    if (m_bom)
        out += Bom;
    for (const Section &s : m_sections) {
        for (const Line &l : s.lines) {
            out += l.text;
            out += "\r\n";
        }
    }
    return out;
}

bool ProfileFile::save()
{
    m_pending = false;
    QSaveFile f(m_path);
    const QByteArray bytes = serialize();
    bool ok = f.open(QIODevice::WriteOnly);
    if (ok)
        ok = f.write(bytes) == bytes.size();
    if (ok)
        ok = f.commit();
    else
        f.cancelWriting();
    if (!ok) {
        m_error = f.errorString();
        // The document no longer matches the file: read it again next time.
        m_loaded = false;
        return false;
    }
    m_id = statFile();
    m_racy = true;
    m_raw = bytes;
    return true;
}

bool ProfileFile::endBatch()
{
    if (m_batchDepth > 0)
        --m_batchDepth;
    if (m_batchDepth > 0 || !m_pending)
        return true;
    return save();
}

ProfileFile::Batch::Batch(ProfileFile &file) : m_file(file)
{
    // One look at the file for the whole batch.
    if (m_file.m_batchDepth == 0)
        m_file.refresh();
    ++m_file.m_batchDepth;
}

ProfileFile::Batch::~Batch()
{
    if (!m_done)
        m_file.endBatch();
}

bool ProfileFile::Batch::commit()
{
    if (m_done)
        return true;
    m_done = true;
    return m_file.endBatch();
}
