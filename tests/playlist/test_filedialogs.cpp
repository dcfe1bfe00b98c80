#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHost.h"
#include "app/SettingsStore.h"
#include "playlist/FileDialogs.h"
#include "playlist/PlayList.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<TestHost> host;
    std::unique_ptr<PlayList> list;
    std::unique_ptr<FileDialogs> dialogs;

    QString file(const QString &rel, const QByteArray &bytes = "media")
    {
        const QString p = env->path(rel);
        writeRaw(p, bytes);
        return p;
    }
    void loadAndPlay(const QString &path)
    {
        list->startFromSelection({path});
        host->play();
        QVERIFY(host->loaded);
    }

private Q_SLOTS:
    void init()
    {
        dialogs.reset();
        list.reset();
        env.reset();
        env = std::make_unique<TestEnv>();
        settings = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        prompt = std::make_unique<ScriptedPrompt>();
        host = std::make_unique<TestHost>(*prompt);
        list = std::make_unique<PlayList>(*host, *prompt, env->path("prog"));
        dialogs = std::make_unique<FileDialogs>(*settings, *prompt, *list, *host);
    }

    void openStartsAPlaylistInAnyCaseAndRemembersTheFolder()
    {
        const QString a = file("films/a.mpg");
        const QString lst = file("films/x.LST", ("[Kinetrope]\r\nFileName0=" + a + "\r\nFileName1=\r\nNumFiles=1\r\n").toUtf8());
        prompt->queueFiles(QStringList{lst});
        dialogs->openFiles();
        const FileDialogRequest &r = prompt->fileRequests.at(0);
        QCOMPARE(r.mode, FileDialogRequest::OpenMany);
        QCOMPARE(r.title, QStringLiteral("Open a multimedia or playlist file... "));
        QCOMPARE(r.directory, QDir::currentPath());
        QCOMPARE(r.defaultSuffix, QStringLiteral("mpg"));
        QVERIFY(r.preview);
        QVERIFY(!r.showPatterns);
        QCOMPARE(r.filters.size(), 5);
        QVERIFY(r.filters[0].startsWith("Video/Audio Files *.mpg, *.avi, *.viv, *.vob, *.mpeg, *.mpv, *.mov, *.qt, *.dat *.mp2, "));
        QVERIFY(r.filters[0].endsWith("*.au *.aif *.aiff *.ifo)"));
        QCOMPARE(r.filters[1], QStringLiteral("Playlist Files *.lst (*.lst)"));
        QCOMPARE(r.filters[4], QStringLiteral("All Files *.* (*)"));

        QCOMPARE(readAll(list->workingPlaylist()), readAll(lst));
        QCOMPARE(host->opened, QStringList{a});
        QCOMPARE(list->fileTitle(), QStringLiteral("x.LST"));
        QCOMPARE(host->videoClosed, 1);
        QCOMPARE(settings->read(Key::LastDirectory), env->path("films"));

        // The next open starts there; a playlist chosen with a media file is a media file too.
        const QString y = file("films/y.avi");
        prompt->queueFiles(QStringList{lst, y});
        dialogs->openFiles();
        QCOMPARE(prompt->fileRequests.at(1).directory, env->path("films"));
        QCOMPARE(list->entryCount(), 2);
        ProfileFile working(list->workingPlaylist());
        QCOMPARE(working.readString("Kinetrope", "FileName0"), lst);
        QCOMPARE(working.readString("Kinetrope", "FileName1"), y);
        QCOMPARE(host->closes, 1); // the loaded file was closed first
        QVERIFY(!list->hasHistory());
    }

    void cancelledDialogsChangeNothing()
    {
        const QString a = file("a.mpg");
        loadAndPlay(a);
        const QByteArray before = readAll(list->workingPlaylist());
        dialogs->openFiles();
        dialogs->createEmptyPlaylist();
        dialogs->savePlaylistAs();
        QCOMPARE(prompt->fileRequests.size(), size_t(3));
        QVERIFY(host->playing);
        QCOMPARE(host->path, a);
        QCOMPARE(host->videoClosed, 0);
        QVERIFY(list->isActive());
        QCOMPARE(readAll(list->workingPlaylist()), before);
        QCOMPARE(settings->read(Key::LastDirectory, "none"), QStringLiteral("none"));
        QCOMPARE(settings->read(Key::LastPlayListDirectory, "none"), QStringLiteral("none"));
        QVERIFY(prompt->messages.empty());

        // Save File As closed the file for its dialog: it is opened again, stopped.
        dialogs->saveFileAs();
        QCOMPARE(host->path, a);
        QVERIFY(host->loaded);
        QVERIFY(!host->playing);
        QCOMPARE(QDir(env->root()).entryList({"*.mpg"}, QDir::Files), QStringList{"a.mpg"});
    }

    void createEmptyPlaylistCutsAnExistingListWithoutAsking()
    {
        const QString lst = file("lists/old.lst", "[Kinetrope]\r\nFileName0=/x\r\nNumFiles=1\r\n");
        loadAndPlay(file("a.mpg"));
        prompt->queueFiles(QStringList{lst});
        dialogs->createEmptyPlaylist();
        const FileDialogRequest &r = prompt->fileRequests.at(0);
        QCOMPARE(r.mode, FileDialogRequest::Save);
        QCOMPARE(r.title, QStringLiteral("Please Enter a new playlist filename"));
        QCOMPARE(r.filters, QStringList{"PlayList Files *.lst (*.lst)"});
        QCOMPARE(r.defaultSuffix, QStringLiteral("lst"));
        QVERIFY(!r.confirmOverwrite);
        QCOMPARE(QFileInfo(lst).size(), 0);
        QVERIFY(QFileInfo(lst).exists());
        QVERIFY(!host->loaded);
        QVERIFY(!list->isActive());
        QCOMPARE(list->shownIndex(), 0);
        QCOMPARE(settings->read(Key::LastDirectory), env->path("lists"));

        // A name without extension gets ".lst"; a folder that is not there gives a message.
        prompt->queueFiles(QStringList{env->path("lists/new")});
        dialogs->createEmptyPlaylist();
        QVERIFY(QFile::exists(env->path("lists/new.lst")));
        prompt->queueFiles(QStringList{env->path("nowhere/new.lst")});
        dialogs->createEmptyPlaylist();
        QCOMPARE(prompt->messages.size(), size_t(1));
        QVERIFY(prompt->messages[0].text.startsWith("The play list could not be created:"));
    }

    void saveFileAsCopiesAndGoesOnWithTheCopy()
    {
        dialogs->saveFileAs(); // nothing loaded: nothing asked
        QVERIFY(prompt->fileRequests.empty());

        const QString clip = file("a/clip.mpg", QByteArray(300000, 'v'));
        loadAndPlay(clip);
        QDir().mkpath(env->path("b"));
        prompt->queueFiles(QStringList{env->path("b/new")});
        dialogs->saveFileAs();
        const FileDialogRequest &r = prompt->fileRequests.at(0);
        QCOMPARE(r.title, QStringLiteral("Choose a new path and filename"));
        QCOMPARE(r.fileName, clip);
        QCOMPARE(r.defaultSuffix, QStringLiteral("mpg"));
        QCOMPARE(r.filters, QStringList{"Automatic (*)"});
        QCOMPARE(r.directory, list->programDirectory());
        const QString copy = env->path("b/new.mpg");
        QCOMPARE(readAll(copy), readAll(clip));
        QCOMPARE(host->path, copy);
        QVERIFY(host->loaded);
        QVERIFY(!host->playing);
        QCOMPARE(settings->read(Key::LastSaveDirectory), env->path("b"));

        // A copy that fails says so and goes on with the old file.
        prompt->queueFiles(QStringList{env->path("missing-folder/x.mpg")});
        dialogs->saveFileAs();
        QCOMPARE(prompt->fileRequests.at(1).directory, env->path("b"));
        QCOMPARE(prompt->messages.size(), size_t(1));
        QVERIFY(prompt->messages[0].text.startsWith("The file could not be copied:"));
        QCOMPARE(host->path, copy);
        QVERIFY(host->loaded);
        QVERIFY(!QFile::exists(env->path("missing-folder")));
    }

    void savePlaylistAsCopiesTheWorkingList()
    {
        dialogs->savePlaylistAs();
        QVERIFY(prompt->fileRequests.empty());
        loadAndPlay(file("a.mpg"));
        prompt->queueFiles(QStringList{env->path("keep")});
        dialogs->savePlaylistAs();
        const FileDialogRequest &r = prompt->fileRequests.at(0);
        QCOMPARE(r.title, QStringLiteral("Choose a filename to save playlist"));
        QCOMPARE(r.directory, list->programDirectory());
        QCOMPARE(r.defaultSuffix, QStringLiteral("lst"));
        QCOMPARE(readAll(env->path("keep.lst")), readAll(list->workingPlaylist()));
        QCOMPARE(settings->read(Key::LastPlayListDirectory), env->root());
        QVERIFY(host->playing);
    }
};

QTEST_GUILESS_MAIN(TestFileDialogs)
#include "test_filedialogs.moc"
