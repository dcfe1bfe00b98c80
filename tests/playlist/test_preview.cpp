#include "TestEnv.h"
#include "TestMedia.h"
#include "app/Prompt.h"
#include "playlist/FileDialogs.h"
#include "playback/MpvEngine.h"
#include "playlist/MediaPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestPreview : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init()
    {
        env.reset();
        env = std::make_unique<TestEnv>();
    }

    void durationTexts()
    {
        QCOMPARE(MediaPreview::durationText(4.02), QStringLiteral("0:04"));
        QCOMPARE(MediaPreview::durationText(65.5), QStringLiteral("1:06"));
        QCOMPARE(MediaPreview::durationText(3725), QStringLiteral("1:02:05"));
    }

    void showsAStillFrameAndTheDuration()
    {
        const QString mpg = TestMedia::mpeg1Ps();
        const QString mp4 = TestMedia::h264Mp4();
        QVERIFY(!mpg.isEmpty() && !mp4.isEmpty());
        MediaPreview p;
        p.show();
        QSignalSpy ready(&p, &MediaPreview::ready);

        // Running through files quickly previews only the one that stays selected.
        p.showFile(mp4);
        p.showFile(mpg);
        QVERIFY(ready.wait(15000));
        QCOMPARE(p.shownFile(), mpg);
        QCOMPARE(p.durationText(), QStringLiteral("Duration: 0:04"));
        QCOMPARE(p.picture().size(), QSize(352, 288));
        // The test picture is colourful, not a blank frame.
        const QImage img = p.picture();
        QSet<QRgb> colours;
        for (int x = 0; x < img.width(); x += 8)
            colours.insert(img.pixel(x, img.height() / 3));
        QVERIFY(colours.size() > 4);
        QTest::qWait(300);
        QCOMPARE(ready.size(), 1);

        p.showFile(mp4);
        QVERIFY(ready.wait(15000));
        QCOMPARE(p.picture().size(), QSize(320, 240));
    }

    void soundFilesAndBadFiles()
    {
        MediaPreview p;
        QSignalSpy ready(&p, &MediaPreview::ready);
        p.showFile(TestMedia::mp3Audio());
        QVERIFY(ready.wait(15000));
        QVERIFY(p.picture().isNull());
        QCOMPARE(p.durationText(), QStringLiteral("Duration: 0:03"));

        p.showFile(TestMedia::textAsAvi());
        QVERIFY(ready.wait(15000));
        QVERIFY(p.picture().isNull());
        QCOMPARE(p.durationText(), QStringLiteral("Cannot preview this file"));

        // Folders and playlists clear the pane.
        p.showFile(env->root());
        QTest::qWait(400);
        QCOMPARE(p.durationText(), QString());
        QCOMPARE(ready.size(), 2);
    }

    // libmpv follows these to the clip they name unless told not to; the preview decodes
    // whatever the dialog points at, so it must refuse them as the player does.
    void filesThatReferenceOthersAreRefusedByBoth()
    {
        const QStringList files = TestMedia::referencingFiles();
        QCOMPARE(files.size(), 3);
        MpvEngine engine({QStringLiteral("ao=null")});
        QCOMPARE(engine.open(TestMedia::h264Mp4()), MediaEngine::OpenResult::Ok);
        MediaPreview p;
        QSignalSpy ready(&p, &MediaPreview::ready);
        for (const QString &file : files) {
            QVERIFY2(!file.isEmpty(), "reference file not written");
            p.showFile(file);
            QVERIFY2(ready.wait(15000), qPrintable(file));
            QVERIFY2(p.picture().isNull(), qPrintable(file));
            QCOMPARE(p.durationText(), QStringLiteral("Cannot preview this file"));
            QCOMPARE(engine.open(file), MediaEngine::OpenResult::Failed);
            QVERIFY(!engine.isOpen());
        }
        // Neither is left unable to play the clip itself.
        p.showFile(TestMedia::h264Mp4());
        QVERIFY(ready.wait(15000));
        QCOMPARE(p.picture().size(), QSize(320, 240));
        QCOMPARE(engine.open(TestMedia::h264Mp4()), MediaEngine::OpenResult::Ok);
    }

    void openDialogShowsTheFiltersAndThePreview()
    {
        const QString dir = env->path("films");
        QDir().mkpath(dir);
        QFile::copy(TestMedia::mpeg1Ps(), dir + "/clip.mpg");
        QFile::copy(TestMedia::mpeg1Ps(), dir + "/LOUD.MPG");
        QFile(dir + "/notes.txt").open(QIODevice::WriteOnly);

        WidgetPrompt prompt;
        prompt.setPreviewFactory(MediaPreview::factory());
        FileDialogRequest r;
        r.mode = FileDialogRequest::OpenMany;
        r.title = "t";
        r.directory = dir;
        r.filters = FileDialogs::mediaFilters();
        r.preview = true;
        r.showPatterns = false;

        QStringList filterTexts, listed;
        QString previewText;
        QSize previewSize;
        QTimer::singleShot(0, [&] {
            auto *fd = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(fd);
            auto *combo = fd->findChild<QComboBox *>("fileTypeCombo");
            for (int i = 0; i < combo->count(); ++i)
                filterTexts << combo->itemText(i);
            auto *model = fd->findChild<QFileSystemModel *>();
            QTRY_VERIFY(model->rowCount(model->index(dir)) > 0);
            const QModelIndex root = model->index(dir);
            for (int i = 0; i < model->rowCount(root); ++i)
                listed << model->index(i, 0, root).data().toString();
            auto *pane = fd->findChild<MediaPreview *>();
            QVERIFY(pane);
            QSignalSpy ready(pane, &MediaPreview::ready);
            // As a click on the file does.
            auto *view = fd->findChild<QListView *>("listView");
            QVERIFY(view);
            view->setCurrentIndex(model->index(dir + "/LOUD.MPG"));
            QVERIFY(ready.wait(15000));
            previewText = pane->durationText();
            previewSize = pane->picture().size();
            fd->reject();
        });
        // Never hang on a failed check above.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                d->reject();
        });
        guard.start(40000);
        const FileDialogResult res = prompt.fileDialog(r);
        QVERIFY(!res.accepted);
        QCOMPARE(filterTexts.size(), 5);
        QCOMPARE(filterTexts[1], QStringLiteral("Playlist Files *.lst"));
        QCOMPARE(filterTexts[4], QStringLiteral("All Files *.*"));
        listed.sort();
        QCOMPARE(listed, (QStringList{"LOUD.MPG", "clip.mpg"}));
        QCOMPARE(previewText, QStringLiteral("Duration: 0:04"));
        QCOMPARE(previewSize, QSize(352, 288));
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
