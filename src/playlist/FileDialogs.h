#pragma once

#include <QString>
#include <QStringList>

class PlayList;
class Prompt;
class QueueHost;
class SettingsStore;

// The four file commands of the File menu, each built on a file dialog.
class FileDialogs
{
public:
    // Titles and filters chose between two forms by the system's age; every system we run on
    // counts as the newest ("later than XP").
    static constexpr int OsVersionCode = 5;

    // The filters of the open dialogs, in order: media, playlists, WMT, MIDI, all files.
    static QStringList mediaFilters();
    static QStringList playlistFilters();
    // Name and extension of a chosen file, with the default extension added when it has none.
    static QString withDefaultSuffix(const QString &path, const QString &suffix);
    // The folder a chosen file lies in (the folder the user browsed to).
    static QString folderOf(const QString &path);

    FileDialogs(SettingsStore &settings, Prompt &prompt, PlayList &playList, QueueHost &host);

    // "&Open a File or Play List" (57601, also the open button): media files or one playlist.
    void openFiles();
    // "&Create an empty Play List" (32790): an empty .lst for the editor to fill.
    void createEmptyPlaylist();
    // "Save &File As" (32775): copies the loaded file and goes on with the copy.
    void saveFileAs();
    // "&Save Current as Play List" (32780): copies the working playlist.
    void savePlaylistAs();

private:
    SettingsStore &m_settings;
    Prompt &m_prompt;
    PlayList &m_playList;
    QueueHost &m_host;
};
