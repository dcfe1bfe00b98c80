#include "PlayList.h"

#include "app/Prompt.h"
#include "playlist/FileCopy.h"
#include "playlist/QueueHost.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <numeric>

namespace {
const QString SectionName = QString::fromLatin1(PlayList::Section);
const QString CountName = QString::fromLatin1(PlayList::CountKey);
} // namespace

QString PlayList::entryKey(int index)
{
    return QLatin1String(EntryPrefix) + QString::number(index);
}

bool PlayList::isPlaylistPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("lst"), Qt::CaseInsensitive) == 0;
}

int PlayList::entryCountOf(ProfileFile &file)
{
    // Room for gaps an editor may have left; none of our writers leaves any.
    constexpr int MaxGap = 1024;
    ProfileFile::Batch once(file); // one state of the file
    int n = std::max(0, file.readInt(SectionName, CountName, 0));
    if (n > 0)
        n = int(std::min<qint64>(n, qint64(file.highestIndex(SectionName, QLatin1String(EntryPrefix))) + 1));
    return std::min(n, file.keyCount(SectionName) + MaxGap);
}

QString PlayList::defaultProgramDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

PlayList::PlayList(QueueHost &host, Prompt &prompt, QString programDirectory)
    : m_host(host), m_prompt(prompt),
      m_programDir(programDirectory.isEmpty() ? defaultProgramDirectory() : std::move(programDirectory)),
      m_random(QRandomGenerator::global()->generate())
{
    m_file.setPath(workingPlaylist());
}

QString PlayList::workingPlaylist() const
{
    return QDir(m_programDir).filePath(QLatin1String(WorkingName));
}

bool PlayList::ensureProgramDirectory()
{
    if (QDir().mkpath(m_programDir))
        return true;
    m_prompt.error(QStringLiteral("The folder for the play list could not be created:\n") + m_programDir);
    return false;
}

QStringList PlayList::storable(const QStringList &paths)
{
    QStringList ok;
    QStringList refused;
    for (const QString &p : paths) {
        if (p.isEmpty())
            continue;
        (ProfileFile::isStorable(p) ? ok : refused).append(p);
    }
    if (!refused.isEmpty()) {
        m_prompt.error(QStringLiteral("A file name with a line break cannot be put in a play list:\n")
                       + refused.join(u'\n'));
    }
    return ok;
}

bool PlayList::writeEntries(const QStringList &paths, int first)
{
    ProfileFile::Batch batch(m_file);
    int i = first;
    for (const QString &p : paths)
        m_file.writeString(SectionName, entryKey(i++), p);
    m_file.writeString(SectionName, entryKey(i), QString());
    m_file.writeInt(SectionName, CountName, i);
    if (batch.commit())
        return true;
    m_prompt.error(QStringLiteral("The play list could not be written:\n") + workingPlaylist() + u'\n'
                   + m_file.errorString());
    return false;
}

void PlayList::startFromSelection(const QStringList &files)
{
    if (!ensureProgramDirectory())
        return;
    if (!writeEntries(storable(files), 0))
        return;
    startPlaylist();
}

bool PlayList::startFromPlaylistFile(const QString &path)
{
    if (!ensureProgramDirectory())
        return false;
    QString why;
    if (!copyFileAtomically(path, workingPlaylist(), &why)) {
        // Starting now would play whatever list was there before.
        m_prompt.error(QStringLiteral("The play list could not be read:\n") + path + u'\n' + why);
        return false;
    }
    startPlaylist();
    return true;
}

bool PlayList::startFromPath()
{
    const QString path = m_host.currentPath();
    if (path.isEmpty() || m_host.isLoaded())
        return false;
    if (isPlaylistPath(path)) {
        startFromPlaylistFile(path);
        return true;
    }
    if (ensureProgramDirectory() && writeEntries(storable({path}), 0)) {
        showFileNumber();
        startPlaylist();
    }
    return true;
}

void PlayList::startPlaylist()
{
    m_count = 0;
    m_cursor = 0;
    m_active = false;
    closeIfLoaded();
    m_count = entryCountOf(m_file);
    m_cursor = -1;
    m_active = true;
    if (!m_hasHistory)
        m_played = 0;
    else
        syncHistory();

    // With "LoopPlaylist" on advancing never ends: give up after trying every entry once.
    qint64 tries = std::max(m_count, 1);
    if (m_hasHistory && m_host.randomOrder())
        tries += qint64(m_pool.size());
    const qint64 firstVisit = m_visited;
    bool more = advance();
    bool loaded = false;
    while (more) {
        // An advance that came round past the budget would only try a file a second time.
        if (m_visited - firstVisit > tries)
            break;
        if (m_host.openMedia()) {
            loaded = true;
            break;
        }
        if (m_visited - firstVisit >= tries)
            break;
        more = advance();
    }
    if (!loaded) {
        m_prompt.error(QStringLiteral("File not found in Playlist file - ") + m_fileTitle);
        return;
    }
    if (m_host.autoPlay() && m_host.isLoaded())
        m_host.play();
}

bool PlayList::advance()
{
    // One look at the file for all the empty entries an advance may pass over.
    ProfileFile::Batch once(m_file);
    return m_host.randomOrder() ? advanceRandom() : advanceSequential();
}

QString PlayList::readEntry(int index) const
{
    return m_file.readString(SectionName, entryKey(index));
}

void PlayList::closeIfLoaded()
{
    if (m_host.isLoaded())
        m_host.closeMedia();
}

bool PlayList::advanceSequential()
{
    if (!m_active)
        return true;
    bool wrapped = false;
    for (;;) {
        ++m_cursor;
        ++m_visited;
        if (m_cursor >= m_count) {
            m_cursor = 0;
            m_remaining = m_count - 2;
            // The end of the list; with "LoopPlaylist" on, also a second wrap in one advance
            // (a whole pass found nothing but empty entries) or a list without entries.
            if (!m_host.loopPlaylist() || wrapped || m_count <= 0) {
                closeIfLoaded();
                m_host.setCurrentPath(readEntry(0));
                m_shown = 0;
                showFileNumber();
                return false;
            }
            wrapped = true;
        }
        m_shown = m_cursor;
        m_remaining = m_count - m_cursor - 2;
        showFileNumber();
        const QString path = readEntry(m_cursor);
        m_host.setCurrentPath(path);
        if (!path.isEmpty())
            return true;
    }
}

void PlayList::newCycle()
{
    m_history.clear();
    m_pool.resize(std::max(m_count, 0));
    std::iota(m_pool.begin(), m_pool.end(), 0);
}

void PlayList::syncHistory()
{
    if (!m_hasHistory)
        return;
    // Keep the entries already played (those still in the list), in order; the rest are to come.
    const int count = std::max(m_count, 0);
    std::vector<char> played(count, 0);
    std::vector<int> kept;
    kept.reserve(m_history.size());
    for (const int r : m_history) {
        if (r >= 0 && r < count && !played[r]) {
            played[r] = 1;
            kept.push_back(r);
        }
    }
    m_history = std::move(kept);
    m_pool.clear();
    for (int i = 0; i < count; ++i) {
        if (!played[i])
            m_pool.push_back(i);
    }
    m_played = int(m_history.size());
}

bool PlayList::advanceRandom()
{
    if (!m_hasHistory) {
        m_hasHistory = true;
        newCycle();
        m_played = 0;
    }
    if (!m_active)
        return true;
    if (m_count <= 0) {
        m_shown = -1;
        m_remaining = -1;
        showFileNumber();
        m_host.setCurrentPath(QString());
        return false;
    }
    bool end = false;
    // Empty entries are passed over; a whole cycle of them ends the list.
    for (qint64 budget = qint64(m_pool.size()) + m_count + 1; budget > 0; --budget) {
        ++m_played;
        ++m_visited;
        m_remaining = m_count - m_played - 1;
        if (m_pool.empty()) {
            newCycle();
            m_played = 1;
            m_remaining = m_count - 2;
            if (!m_host.loopPlaylist())
                end = true;
        }
        const auto at = qsizetype(m_random.bounded(quint32(m_pool.size())));
        const int r = m_pool[at];
        m_pool[at] = m_pool.back();
        m_pool.pop_back();
        m_history.push_back(r);
        m_shown = r;
        showFileNumber();
        const QString path = readEntry(r);
        m_host.setCurrentPath(path);
        if (!path.isEmpty() || end)
            return !end;
    }
    return false;
}

void PlayList::dropOnWindow(const QStringList &paths)
{
    closeIfLoaded();
    m_host.setCurrentPath(QString());
    addDroppedFiles(paths);
}

void PlayList::addDroppedFiles(const QStringList &paths)
{
    m_host.bringToFront();
    const QStringList files = storable(paths);
    if (files.isEmpty() || !ensureProgramDirectory())
        return;
    const bool loaded = m_host.isLoaded();
    int first = 0;
    {
        ProfileFile::Batch batch(m_file);
        if (loaded) {
            while (!readEntry(first).isEmpty())
                ++first;
        }
    }
    if (!writeEntries(files, first))
        return;
    m_count = first + int(files.size());
    if (m_host.randomOrder() && m_count == 1) {
        m_hasHistory = false;
        m_history.clear();
        m_pool.clear();
        m_played = 0;
    } else {
        // Kept in step with the count even outside random mode, so switching it on later
        // draws from the whole list.
        syncHistory();
    }
    if (!m_host.isLoaded())
        startPlaylist();
    m_remaining = m_host.randomOrder() ? m_count - m_played - 1 : m_count - m_cursor - 2;
    showFileNumber();
}

QString PlayList::fileNumberText(int value, bool remainMode, bool loaded)
{
    if (value > 0) {
        const char *pad = value < 10 ? "   " : value < 100 ? "  " : value < 1000 ? " " : "";
        return QLatin1String(pad) + QString::number(value);
    }
    return remainMode && loaded ? QStringLiteral("   0") : QStringLiteral("----");
}

QString PlayList::fileNumberText() const
{
    const bool remain = m_host.showRemaining();
    return fileNumberText((remain ? m_remaining : m_shown) + 1, remain, m_host.isLoaded());
}

void PlayList::showFileNumber()
{
    m_host.showFileNumber(fileNumberText());
}

void PlayList::showCurrentNumber()
{
    m_host.setShowRemaining(false);
    showFileNumber();
}

void PlayList::showRemaining()
{
    m_host.setShowRemaining(true);
    showFileNumber();
}

void PlayList::resetQueue()
{
    m_hasHistory = false;
    m_history.clear();
    m_pool.clear();
    m_played = 0;
    m_shown = -1;
    m_remaining = -1;
    m_active = false;
    showFileNumber();
}

void PlayList::setIdle()
{
    m_shown = 0;
    m_active = false;
}
