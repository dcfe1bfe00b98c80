#include "TestEnv.h"
#include "TestFiles.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playlist/FileListEditorDialog.h"
#include "playlist/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace {
quint64 inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}
} // namespace

class TestListEditor : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ScriptedPrompt> prompt;

    // A list as the program writes it.
    QString makeList(const QString &name, const QStringList &paths)
    {
        const QString path = env->path(name);
        ProfileFile f(path);
        ProfileFile::Batch b(f);
        for (int i = 0; i < paths.size(); ++i)
            f.writeString("Kinetrope", QStringLiteral("FileName%1").arg(i), paths[i]);
        f.writeString("Kinetrope", QStringLiteral("FileName%1").arg(paths.size()), "");
        f.writeInt("Kinetrope", "NumFiles", int(paths.size()));
        return path;
    }
    std::unique_ptr<FileListEditorDialog> open(const QString &path)
    {
        auto d = std::make_unique<FileListEditorDialog>(*settings, *prompt);
        prompt->queueFiles(QStringList{path});
        if (!d->choosePlaylist())
            return nullptr;
        return d;
    }

private Q_SLOTS:
    void init()
    {
        env.reset();
        env = std::make_unique<TestEnv>();
        settings = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        prompt = std::make_unique<ScriptedPrompt>();
    }

    void fiveEditedToThreeRewritesInPlace()
    {
        const QString lst = makeList("five.lst", {"/m/0", "/m/1", "/m/2", "/m/3", "/m/4"});
        auto d = open(lst);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Kinetrope File List Editor"));
        const FileDialogRequest &r = prompt->fileRequests.at(0);
        QCOMPARE(r.mode, FileDialogRequest::OpenOrNew);
        QCOMPARE(r.title, QStringLiteral("Choose a playlist to edit OR Enter a new playlist name"));
        QCOMPARE(r.directory, QDir::currentPath());
        QCOMPARE(r.defaultSuffix, QStringLiteral("lst"));
        QCOMPARE(settings->read(Key::LastDirectory), env->root());
        QCOMPARE(settings->read(Key::PlayListFilename), lst);
        QCOMPARE(d->entries(), (QStringList{"/m/0", "/m/1", "/m/2", "/m/3", "/m/4"}));

        d->listWidget()->setCurrentRow(1);
        d->deleteEntry();
        d->listWidget()->setCurrentRow(3);
        d->findChild<QPushButton *>("delete")->click();
        QCOMPARE(prompt->messages.size(), size_t(2));
        QCOMPARE(prompt->messages[0].text, QStringLiteral("Are You Sure?"));
        QCOMPARE(prompt->messages[0].caption, QStringLiteral("Confirm"));
        QCOMPARE(prompt->messages[0].buttons, PromptKind::YesNo);
        QCOMPARE(prompt->messages[0].icon, PromptKind::Question);
        QVERIFY(d->isModified());
        d->acceptList();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(readAll(lst), QByteArray("[Kinetrope]\r\nFileName0=/m/0\r\nFileName1=/m/2\r\nFileName2=/m/3\r\n"
                                          "FileName3=\r\nFileName4=/m/4\r\nFileName5=\r\nNumFiles=3\r\n"));
        // Read back: the stale entry past the terminator is not shown.
        auto again = open(lst);
        QCOMPARE(again->entries(), (QStringList{"/m/0", "/m/2", "/m/3"}));
    }

    void acceptWithoutChangesWritesNothing()
    {
        // A new name creates an empty file; Accept leaves it empty.
        const QString fresh = env->path("new");
        auto d = open(fresh);
        QVERIFY(d);
        QCOMPARE(d->playlistPath(), fresh + ".lst");
        QVERIFY(d->entries().isEmpty());
        d->acceptList();
        QCOMPARE(QFileInfo(fresh + ".lst").size(), 0);

        const QString lst = makeList("l.lst", {"/a", "/b"});
        const QByteArray before = readAll(lst);
        const quint64 inode = inodeOf(lst);
        d = open(lst);
        d->moveUp();   // no selection: nothing
        d->listWidget()->setCurrentRow(0);
        d->moveUp();   // first entry: nothing
        d->listWidget()->setCurrentRow(1);
        d->moveDown(); // last entry: nothing
        QVERIFY(!d->isModified());
        d->findChild<QPushButton *>("accept")->click();
        QCOMPARE(readAll(lst), before);
        QCOMPARE(inodeOf(lst), inode);

        // Cancel after changes writes nothing either.
        d = open(lst);
        d->listWidget()->setCurrentRow(0);
        d->moveDown();
        QCOMPARE(d->entries(), (QStringList{"/b", "/a"}));
        QCOMPARE(d->listWidget()->currentRow(), 1);
        d->moveUp();
        QCOMPARE(d->listWidget()->currentRow(), 0);
        QVERIFY(d->isModified());
        d->findChild<QPushButton *>("cancel")->click();
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(inodeOf(lst), inode);
    }

    void addReplaceAndConfirmations()
    {
        const QString lst = makeList("l.lst", {"/a"});
        auto d = open(lst);
        // Replace All cancelled: nothing changes, nothing is remembered.
        d->replaceAll();
        FileDialogRequest r = prompt->fileRequests.back();
        QCOMPARE(r.title, QStringLiteral("Choose one or more files..."));
        QCOMPARE(r.mode, FileDialogRequest::OpenMany);
        QCOMPARE(r.directory, env->root()); // "Last Directory" written by the start
        QCOMPARE(r.defaultSuffix, QStringLiteral("MPG"));
        QVERIFY(r.preview);
        QCOMPARE(r.filters.size(), 5);
        QVERIFY(!d->isModified());

        prompt->queueFiles(QStringList{"/films/x.avi", "/films/y.avi"});
        d->addFiles();
        QCOMPARE(prompt->fileRequests.back().title, QStringLiteral("Choose one or more files to add..."));
        QCOMPARE(settings->read(Key::LastDirectory), QStringLiteral("/films"));
        QCOMPARE(d->entries(), (QStringList{"/a", "/films/x.avi", "/films/y.avi"}));

        // Pending edits survive a cancelled Replace All; No keeps the list; Yes clears it.
        d->replaceAll();
        QCOMPARE(prompt->fileRequests.back().directory, QStringLiteral("/films"));
        QCOMPARE(d->entries().size(), 3);
        d->listWidget()->setCurrentRow(0);
        prompt->queueAnswer(PromptKind::AnswerNo);
        d->deleteEntry();
        prompt->queueAnswer(PromptKind::AnswerNo);
        d->clearAll();
        QCOMPARE(d->entries().size(), 3);
        d->acceptList();
        QCOMPARE(ProfileFile(lst).readInt("Kinetrope", "NumFiles", 0), 3);

        d = open(lst);
        prompt->queueFiles(QStringList{"/z/1.mpg"});
        d->replaceAll();
        QCOMPARE(d->entries(), QStringList{"/z/1.mpg"});
        d->clearAll();
        QVERIFY(d->entries().isEmpty());
        d->acceptList();
        QCOMPARE(ProfileFile(lst).readInt("Kinetrope", "NumFiles", -1), 0);
        QCOMPARE(ProfileFile(lst).readString("Kinetrope", "FileName0"), QString());
    }

    void longPathsScrollSideways()
    {
        const QString longPath = "/" + QString(200, u'w') + "/end.mpg"; // within the 259 read
        const QString lst = makeList("l.lst", {"/short", longPath});
        auto d = open(lst);
        QVERIFY(d->horizontalExtent() >= QFontMetrics(d->listWidget()->font()).horizontalAdvance(longPath));
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QTRY_VERIFY(d->listWidget()->horizontalScrollBar()->maximum() > 0);
        d->listWidget()->horizontalScrollBar()->setValue(d->listWidget()->horizontalScrollBar()->maximum());
        QCOMPARE(d->listWidget()->horizontalScrollBar()->value(), d->listWidget()->horizontalScrollBar()->maximum());
    }

    void refusedChoicesAndTheButtons()
    {
        // No name: the editor does not show.
        FileListEditorDialog d(*settings, *prompt);
        QCOMPARE(d.run(), int(QDialog::Rejected));
        QVERIFY(!d.isVisible());

        // A file with content that is not a playlist is left alone.
        const QString movie = env->path("movie.avi");
        QFile f(movie);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF....AVI ");
        f.close();
        QVERIFY(!open(movie));
        QVERIFY(prompt->messages.back().text.contains("not a play list"));
        QCOMPARE(readAll(movie), QByteArray("RIFF....AVI "));

        // Every button, with its text; Accept ends a modal run.
        const QString lst = makeList("l.lst", {"/a"});
        FileListEditorDialog e(*settings, *prompt);
        const QList<QPair<const char *, const char *>> buttons{
            {"accept", "&Accept"}, {"cancel", "&Cancel"}, {"delete", "&Delete"}, {"clearAll", "C&lear All"},
            {"add", "A&dd"}, {"moveDown", "&Move Down"}, {"moveUp", "Move &Up"}, {"replaceAll", "&Replace All"}};
        for (const auto &[name, text] : buttons) {
            auto *b = e.findChild<QPushButton *>(name);
            QVERIFY2(b, name);
            QCOMPARE(b->text(), QString::fromLatin1(text));
        }
        prompt->queueFiles(QStringList{lst});
        QTimer::singleShot(0, &e, [&e] { e.findChild<QPushButton *>("accept")->click(); });
        QCOMPARE(e.run(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestListEditor)
#include "test_listeditor.moc"
