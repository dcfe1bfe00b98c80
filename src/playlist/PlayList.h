#pragma once

#include "playback/PlayQueue.h"
#include "playlist/ProfileFile.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <vector>

class Prompt;
class QueueHost;

// The play queue: the working playlist file "default.lst" in the program directory plus a few
// counters. Everything played goes through it; entries are read one at a time into the
// host's current path.
class PlayList : public PlayQueue
{
public:
    // The playlist file format.
    static constexpr const char *Section = "Kinetrope";
    static constexpr const char *EntryPrefix = "FileName";
    static constexpr const char *CountKey = "NumFiles";
    static constexpr const char *WorkingName = "default.lst";
    static QString entryKey(int index);
    // True for a path whose extension is "lst" in any case.
    static bool isPlaylistPath(const QString &path);

    // The number of entries a reader of the file takes: its count, but not beyond the last
    // entry it holds, nor far beyond the lines it has (a few bytes naming entry 2,000,000,000
    // must not cost the memory and time of a list that long).
    static int entryCountOf(ProfileFile &file);

    // The per-user data folder, where the working playlist lives.
    static QString defaultProgramDirectory();

    // programDirectory empty: defaultProgramDirectory(). It is created on first write.
    PlayList(QueueHost &host, Prompt &prompt, QString programDirectory = {});

    QString programDirectory() const { return m_programDir; }
    QString workingPlaylist() const;

    // Files chosen in the open dialog: written to the working playlist, then started.
    void startFromSelection(const QStringList &files);
    // A chosen or command-line playlist: copied over the working playlist, then started.
    // False (after a message) when it could not be copied; nothing is started then.
    bool startFromPlaylistFile(const QString &path);
    // The command-line file in the host's current path. False when that is empty or a file
    // is already loaded; true when a start was made.
    bool startFromPath();
    // Loads the counters from the working playlist and opens the first entry that opens.
    void startPlaylist();

    // PlayQueue
    int entryCount() const override { return m_count; }
    bool isActive() const override { return m_active; }
    bool advance() override;

    // Files dropped on the control window: the loaded file is closed and they become the list.
    void dropOnWindow(const QStringList &paths);
    // Files dropped on the drop button: appended to the running list (or started when nothing
    // is loaded).
    void addDroppedFiles(const QStringList &paths);

    // The file-number readout.
    void showFileNumber();
    void showCurrentNumber(); // button 1108
    void showRemaining();     // button 1109
    QString fileNumberText() const;
    static QString fileNumberText(int value, bool remainMode, bool loaded);

    // The player reset (open dialog, eject): counters and random history cleared, queue idle,
    // readout refreshed ("----"). Closing the file is the caller's part.
    void resetQueue();
    // "Create an empty Play List": the queue goes idle.
    void setIdle();

    // Name part of the file last chosen in a file dialog (quoted when nothing could be opened).
    void setFileTitle(const QString &title) { m_fileTitle = title; }
    QString fileTitle() const { return m_fileTitle; }

    // For tests and the benchmark.
    void seedRandom(quint32 seed) { m_random.seed(seed); }
    int cursor() const { return m_cursor; }
    int shownIndex() const { return m_shown; }
    int remaining() const { return m_remaining; }
    int playedCount() const { return m_played; }
    bool hasHistory() const { return m_hasHistory; }
    const std::vector<int> &history() const { return m_history; }

private:
    bool advanceSequential();
    bool advanceRandom();
    QString readEntry(int index) const;
    void closeIfLoaded();
    void newCycle();
    void syncHistory();
    // Paths a playlist line can hold; the others are named in one message.
    QStringList storable(const QStringList &paths);
    // Writes the entries from index first on, the empty terminator and the count.
    bool writeEntries(const QStringList &paths, int first);
    bool ensureProgramDirectory();

    QueueHost &m_host;
    Prompt &m_prompt;
    QString m_programDir;
    ProfileFile m_file;
    QString m_fileTitle;
    int m_count = 0;
    int m_cursor = -1;
    int m_shown = -1;
    int m_remaining = -1;
    int m_played = 0;
    bool m_active = false;
    // Entries looked at by advances, empty ones included: the start's budget counts these, so a
    // list of missing files among gaps costs one pass, not one pass per file.
    qint64 m_visited = 0;
    // Random order: the entries played in this cycle in order, and the ones still to come
    // (any order; one is drawn and swapped out, so an advance costs the same for any length).
    bool m_hasHistory = false;
    std::vector<int> m_history;
    std::vector<int> m_pool;
    QRandomGenerator m_random;
};
