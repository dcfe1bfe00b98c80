#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <thread>

namespace {

QString executableBaseName()
{
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty())
        return QFileInfo(path).completeBaseName();
    return QCoreApplication::applicationName();
}

qint64 milliseconds(const timespec &t)
{
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// QSettings trusts its cache while the size and the millisecond of modification are as it
// last saw them; moving the time on by a millisecond makes every process read the file again.
void makeChangeVisible(const QByteArray &path, const timespec &mtime)
{
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = mtime;
    times[1].tv_nsec += 1000000;
    if (times[1].tv_nsec >= 1000000000) {
        times[1].tv_nsec -= 1000000000;
        ++times[1].tv_sec;
    }
    ::utimensat(AT_FDCWD, path.constData(), times, 0);
}

// QSettings locks its file for a write by creating "<file>.lock" and then writing its owner
// into it. A process killed between the two leaves an empty lock that nobody can tell stale
// until it is 30 s old, and every write waits until then. A live owner holds the lock from
// microseconds after creating it, so an empty, unheld lock some time old is an orphan.
void clearOrphanedLock(const QByteArray &settingsPath)
{
    constexpr qint64 OrphanAgeMs = 100;
    const QByteArray lock = settingsPath + ".lock";
    for (int tries = 0; tries < 3; ++tries) {
        const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return;
        struct stat held;
        struct stat named;
        timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        qint64 ageMs = 0;
        bool orphan = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_size == 0
                      && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (orphan) {
            ageMs = milliseconds(now) - milliseconds(held.st_mtim);
            orphan = ageMs >= OrphanAgeMs && ::fstat(fd, &held) == 0 && held.st_size == 0
                     && ::stat(lock.constData(), &named) == 0 && named.st_ino == held.st_ino
                     && named.st_dev == held.st_dev;
            if (orphan)
                ::unlink(lock.constData());
        }
        ::close(fd);
        if (orphan || ageMs <= 0 || ageMs >= OrphanAgeMs)
            return;
        // Empty and unheld but new: look again once it is old enough to judge.
        std::this_thread::sleep_for(std::chrono::milliseconds(OrphanAgeMs - ageMs + 5));
    }
}

} // namespace

bool SettingsStore::Stamp::operator==(const Stamp &o) const
{
    if (exists != o.exists)
        return false;
    return !exists
           || (dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
               && mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec
               && ctime.tv_nsec == o.ctime.tv_nsec);
}

SettingsStore::SettingsStore(QString appName)
    : m_appName(appName.isEmpty() ? executableBaseName() : std::move(appName))
{
}

SettingsStore::SettingsStore(const SettingsStore &other) : m_appName(other.m_appName) {}

SettingsStore &SettingsStore::operator=(const SettingsStore &other)
{
    if (this != &other) {
        m_appName = other.m_appName;
        m_settings.reset();
        m_known = m_forced = m_indexValid = false;
        m_index.clear();
    }
    return *this;
}

SettingsStore::~SettingsStore() = default;

QSettings &SettingsStore::settings() const
{
    if (!m_settings) {
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 QString::fromLatin1(Key::Company), m_appName);
        m_path = QFile::encodeName(m_settings->fileName());
    }
    return *m_settings;
}

QString SettingsStore::fileName() const
{
    return settings().fileName();
}

SettingsStore::Stamp SettingsStore::stampOf(const QByteArray &path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return {};
    Stamp s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

void SettingsStore::refresh() const
{
    QSettings &s = settings();
    Stamp now = stampOf(m_path);
    if (m_known && !m_forced && now == m_stamp) {
        if (!m_indexValid)
            rebuildIndex();
        return;
    }
    const bool looksSameToQSettings = m_known && now.exists && m_stamp.exists && now.size == m_stamp.size
                                      && milliseconds(now.mtime) == milliseconds(m_stamp.mtime);
    if (now.exists && (m_forced || looksSameToQSettings)) {
        makeChangeVisible(m_path, now.mtime);
        now = stampOf(m_path);
    }
    m_stamp = now;
    m_known = true;
    m_forced = false;
    s.sync();
    rebuildIndex();
    if (s.status() != QSettings::NoError)
        m_settings.reset(); // it keeps its first error for good; the next write gets a fresh one
    // Replaced while being read: what QSettings took is unknown, so take it again next time.
    if (!(stampOf(m_path) == now))
        m_forced = true;
}

void SettingsStore::rebuildIndex() const
{
    QSettings &s = settings();
    m_index.clear();
    // QSettings names are case-sensitive; the first spelling in its order answers for all.
    const QStringList groups = s.childGroups();
    for (const QString &g : groups) {
        const QString lower = g.toLower();
        if (m_index.contains(lower))
            continue;
        Section &section = m_index[lower];
        section.name = g;
        s.beginGroup(g);
        const QStringList keys = s.childKeys();
        for (const QString &k : keys) {
            const QString lowerKey = k.toLower();
            if (!section.keys.contains(lowerKey))
                section.keys.insert(lowerKey, Entry{k, s.value(k)});
        }
        s.endGroup();
    }
    m_indexValid = true;
}

const SettingsStore::Entry *SettingsStore::find(const QString &section, const QString &key) const
{
    refresh();
    const auto s = m_index.constFind(section.toLower());
    if (s == m_index.cend())
        return nullptr;
    const auto k = s->keys.constFind(key.toLower());
    return k == s->keys.cend() ? nullptr : &*k;
}

int SettingsStore::getProfileInt(const QString &section, const QString &key, int def) const
{
    const Entry *e = find(section, key);
    if (!e)
        return def;
    // The file keeps no types: a value that is not a whole number is of the wrong type.
    bool ok = false;
    const qlonglong n = e->value.toString().trimmed().toLongLong(&ok);
    if (!ok || n < INT_MIN || n > UINT_MAX)
        return def;
    return static_cast<int>(n);
}

QString SettingsStore::getProfileString(const QString &section, const QString &key,
                                        const QString &def) const
{
    const Entry *e = find(section, key);
    if (!e)
        return def;
    const QVariant &v = e->value;
    if (!v.canConvert<QString>() || v.typeId() == QMetaType::QStringList)
        return def;
    return v.toString();
}

bool SettingsStore::writeValues(const QString &section,
                                const std::vector<std::pair<QString, QVariant>> &values)
{
    // Up to date first, so that a change QSettings cannot see is merged, not overwritten.
    refresh();
    QSettings &s = settings();
    const auto known = m_index.constFind(section.toLower());
    const bool has = known != m_index.cend();
    s.beginGroup(has ? known->name : section);
    for (const auto &[key, value] : values) {
        const auto k = has ? known->keys.constFind(key.toLower()) : QHash<QString, Entry>::const_iterator();
        s.setValue(has && k != known->keys.cend() ? k->name : key, value);
    }
    s.endGroup();
    clearOrphanedLock(m_path);
    s.sync();
    const bool ok = s.status() == QSettings::NoError;
    // The file is ours now: no parse for it, but QSettings may have merged another's change.
    m_stamp = stampOf(m_path);
    m_indexValid = false;
    if (!ok) {
        m_settings.reset();
        m_known = false;
    }
    return ok;
}

bool SettingsStore::writeProfileInt(const QString &section, const QString &key, int value)
{
    return writeValues(section, {{key, value}});
}

bool SettingsStore::writeProfileString(const QString &section, const QString &key,
                                       const QString &value)
{
    return writeValues(section, {{key, value}});
}

bool SettingsStore::write(std::initializer_list<Value> values)
{
    std::vector<std::pair<QString, QVariant>> list;
    list.reserve(values.size());
    for (const Value &v : values)
        list.emplace_back(QString::fromLatin1(v.key), v.value);
    return writeValues(QString::fromLatin1(Key::Section), list);
}
