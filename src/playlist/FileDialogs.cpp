#include "FileDialogs.h"

#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playlist/FileCopy.h"
#include "playlist/PlayList.h"
#include "playlist/QueueHost.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A filter shows its own text only; the patterns follow in parentheses for the dialog.
// Patterns match without regard to case.
QString filter(const char *text, const char *patterns)
{
    return QLatin1String(text) + QLatin1String(" (") + QLatin1String(patterns) + u')';
}

FileDialogRequest saveRequest(const QString &title, const QStringList &filters, const QString &suffix,
                              const QString &directory)
{
    FileDialogRequest r;
    r.mode = FileDialogRequest::Save;
    r.title = title;
    r.filters = filters;
    r.defaultSuffix = suffix;
    r.directory = directory;
    r.confirmOverwrite = false; // none of these dialogs ever asked
    r.showPatterns = false;
    return r;
}

QString orCurrentDirectory(const QString &dir)
{
    return dir.isEmpty() ? QDir::currentPath() : dir;
}

} // namespace

QStringList FileDialogs::mediaFilters()
{
    return {
        filter("Video/Audio Files *.mpg, *.avi, *.viv, *.vob, *.mpeg, *.mpv, *.mov, *.qt, *.dat *.mp2, "
               "*.mp3, *.mpe, *.mpa, *.wav, *.snd, *.au, *.aif, *.aiff, *.ifo",
               "*.mpg *.avi *.viv *.vob *.mpeg *.mpv *.mov *.qt *.dat *.mp2 *.mp3 *.mpe *.mpa *.wav *.snd "
               "*.au *.aif *.aiff *.ifo"),
        filter("Playlist Files *.lst", "*.lst"),
        filter("WMT Files *.asf, *.wma, *.wmv", "*.asf *.wma *.wmv"),
        filter("Midi Files *.mid, *.midi, *.rmi", "*.mid *.midi *.rmi"),
        // "*.*" meant every file, with or without a dot.
        filter("All Files *.*", "*"),
    };
}

QStringList FileDialogs::playlistFilters()
{
    return {filter("PlayList Files *.lst", "*.lst")};
}

QString FileDialogs::withDefaultSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + suffix;
}

QString FileDialogs::folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

FileDialogs::FileDialogs(SettingsStore &settings, Prompt &prompt, PlayList &playList, QueueHost &host)
    : m_settings(settings), m_prompt(prompt), m_playList(playList), m_host(host)
{
}

void FileDialogs::openFiles()
{
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenMany;
    r.title = OsVersionCode >= 3 ? QStringLiteral("Open a multimedia or playlist file... ")
                                 : QStringLiteral("Open a multimedia, playlist file or preview a file... ");
    r.directory = orCurrentDirectory(m_settings.read(Key::LastDirectory, QString()));
    r.filters = mediaFilters();
    r.defaultSuffix = QStringLiteral("mpg");
    r.preview = true;
    r.showPatterns = false;
    const FileDialogResult res = m_prompt.fileDialog(r);
    // A cancelled dialog changes nothing: the loaded file plays on.
    if (!res.accepted || res.files.isEmpty())
        return;

    m_host.closeVideoWindow();
    if (m_host.isLoaded())
        m_host.closeMedia();
    m_playList.resetQueue();
    m_host.setCurrentPath(QString());
    const QString first = res.files.first();
    m_settings.write(Key::LastDirectory, folderOf(first));
    m_playList.setFileTitle(QFileInfo(first).fileName());
    // A multiple selection never counts as a playlist.
    if (res.files.size() == 1 && PlayList::isPlaylistPath(first))
        m_playList.startFromPlaylistFile(first);
    else
        m_playList.startFromSelection(res.files);
}

void FileDialogs::createEmptyPlaylist()
{
    const FileDialogRequest r = saveRequest(QStringLiteral("Please Enter a new playlist filename"),
                                            playlistFilters(), QStringLiteral("lst"),
                                            orCurrentDirectory(m_settings.read(Key::LastDirectory, QString())));
    const FileDialogResult res = m_prompt.fileDialog(r);
    if (!res.accepted || res.files.isEmpty())
        return;

    m_host.closeVideoWindow();
    m_playList.setIdle();
    if (m_host.isLoaded())
        m_host.closeMedia();
    const QString path = withDefaultSuffix(res.files.first(), QStringLiteral("lst"));
    m_settings.write(Key::LastDirectory, folderOf(path));
    QString why;
    if (!writeEmptyFile(path, &why))
        m_prompt.error(QStringLiteral("The play list could not be created:\n") + path + u'\n' + why);
}

void FileDialogs::saveFileAs()
{
    if (!m_host.isLoaded())
        return;
    const QString old = m_host.currentPath();
    const QString suffix = QFileInfo(old).suffix();
    m_host.closeMedia();

    FileDialogRequest r = saveRequest(QStringLiteral("Choose a new path and filename"),
                                      {filter("Automatic", "*")}, suffix,
                                      m_settings.read(Key::LastSaveDirectory, m_playList.programDirectory()));
    r.fileName = old;
    const FileDialogResult res = m_prompt.fileDialog(r);

    QString target = old;
    if (res.accepted && !res.files.isEmpty()) {
        target = withDefaultSuffix(res.files.first(), suffix);
        m_settings.write(Key::LastSaveDirectory, folderOf(target));
        QString why;
        if (!copyFileAtomically(old, target, &why)) {
            m_prompt.error(QStringLiteral("The file could not be copied:\n") + old + QStringLiteral("\nto\n")
                           + target + u'\n' + why);
            target = old; // go on with the file we have
        }
    }
    // Cancelled too: the file closed for the dialog is opened again, stopped.
    m_host.setCurrentPath(target);
    m_host.openMedia();
}

void FileDialogs::savePlaylistAs()
{
    if (!m_host.isLoaded())
        return;
    const FileDialogRequest r = saveRequest(
        QStringLiteral("Choose a filename to save playlist"), playlistFilters(), QStringLiteral("lst"),
        m_settings.read(Key::LastPlayListDirectory, m_playList.programDirectory()));
    const FileDialogResult res = m_prompt.fileDialog(r);
    if (!res.accepted || res.files.isEmpty())
        return;
    const QString target = withDefaultSuffix(res.files.first(), QStringLiteral("lst"));
    m_settings.write(Key::LastPlayListDirectory, folderOf(target));
    QString why;
    if (!copyFileAtomically(m_playList.workingPlaylist(), target, &why))
        m_prompt.error(QStringLiteral("The play list could not be saved:\n") + target + u'\n' + why);
}
