// VideoCD and SVCD discs from the VCD button to the last track, on disc folders made here
// and named by KINETROPE_OPTICAL_ROOTS: real control window, real libmpv, scripted prompts.
#include "StatusArea.h"
#include "TestEnv.h"
#include "TestMedia.h"
#include "VideoCdMedia.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/VideoCdSearch.h"
#include "playback/MediaGraph.h"
#include "playback/PlaybackText.h"
#include "playback/VideoView.h"
#include "skin/ScrollingDisplay.h"
#include "skin/SkinButton.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"
#include "ui/Readouts.h"
#include "ui/ScreenModes.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>

namespace {
const QByteArray Garbage = "This is plain text, not a video file.\n";

// Answers like ScriptedPrompt; first lets the test look at the window, or change the disc,
// while the question is open.
class DiscPrompt : public ScriptedPrompt
{
public:
    std::function<void(const PromptMessage &)> onMessage;
    PromptKind::Answer message(const PromptMessage &m) override
    {
        if (onMessage)
            onMessage(m);
        return ScriptedPrompt::message(m);
    }
};

bool put(const QString &path, const QString &from)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    return QFile::copy(from, path);
}

bool putBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void setRoots(const QStringList &roots)
{
    qputenv("KINETROPE_OPTICAL_ROOTS", roots.join(u':').toLocal8Bit());
}

// What a scrolling display circulates, whichever step it is at.
bool scrolls(const ScrollingDisplay *d, const QString &text)
{
    const QString now = d->scrollText();
    return d->isScrolling() && now.size() == text.size() && (text + text).contains(now);
}

// The file name of a path, and the folder it is in: "mpegav/avseq01.dat".
QString shortName(const QString &path)
{
    const QFileInfo f(path);
    return QFileInfo(f.path()).fileName() + u'/' + f.fileName();
}
} // namespace

class TestVideoCd : public QObject
{
    Q_OBJECT
    StatusArea tray;
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> store;
    DiscPrompt prompt;
    ProcessState process;
    std::unique_ptr<ControlWindow> w;
    QString vcd, svcd;

    QString dir(const QString &name)
    {
        const QString d = env->path(name);
        QDir().mkpath(d);
        return d;
    }

    void makeWindow()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    QString fileNumber() const { return w->readouts().text(DisplayId::FileNumber); }

    // Plays on until the disc ends, noting each track as it starts.
    QStringList playedToTheEnd(int timeoutMs = 40000)
    {
        QStringList played;
        QElapsedTimer t;
        t.start();
        while (w->videoCd().active() && t.elapsed() < timeoutMs) {
            const QString now = shortName(w->currentPath());
            if (w->graph().playing() && (played.isEmpty() || played.last() != now))
                played << now;
            QTest::qWait(10);
        }
        return played;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tray.start());
        vcd = VideoCdMedia::vcdTrack(1);
        svcd = VideoCdMedia::svcdTrack(1);
        QVERIFY(!vcd.isEmpty());
        QVERIFY(!svcd.isEmpty());
        QVERIFY(!TestMedia::mpeg1Ps().isEmpty());
    }

    void init()
    {
        env = std::make_unique<TestEnv>();
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        prompt = DiscPrompt();
        process = ProcessState();
    }

    void cleanup()
    {
        w.reset();
        QTest::qWait(50);
        qunsetenv("KINETROPE_OPTICAL_ROOTS");
    }

    // The disc as the kernel's default mount shows it: everything in lower case.
    void lowerCaseDiscPlaysEveryTrackInOrder()
    {
        const QString disc = dir("disc");
        for (int n = 1; n <= 10; ++n) {
            const QString name = disc + QStringLiteral("/mpegav/avseq%1.dat").arg(n, 2, 10, QLatin1Char('0'));
            QVERIFY(n == 5 ? putBytes(name, Garbage) : put(name + (n == 10 ? ";1" : ""), vcd));
        }
        QVERIFY(putBytes(dir("audio") + "/track01.cda", "RIFF....CDDA"));
        setRoots({dir("empty"), env->path("audio"), disc});
        store->write(Key::AskSearchPref, 0);
        makeWindow();
        QCOMPARE(w->controls().button(ButtonId::VideoCd)->toolTip(),
                 QStringLiteral("Play a VideoCD - Attempts to find a VideoCD or SVideoCD"));

        QTest::mouseClick(w->controls().button(ButtonId::VideoCd), Qt::LeftButton);
        QVERIFY(w->videoCd().active());
        QVERIFY(w->graph().playing());
        QCOMPARE(fileNumber(), QStringLiteral(" VCD"));
        QVERIFY(scrolls(w->readouts().title(), PlaybackText::title(w->currentPath())));
        const QStringList played = playedToTheEnd();
        QCOMPARE(played, (QStringList{"mpegav/avseq01.dat", "mpegav/avseq02.dat", "mpegav/avseq03.dat",
                                      "mpegav/avseq04.dat", "mpegav/avseq06.dat", "mpegav/avseq07.dat",
                                      "mpegav/avseq08.dat", "mpegav/avseq09.dat", "mpegav/avseq10.dat;1"}));
        // Stopped after the last, the damaged track skipped without a word.
        QVERIFY(!w->videoCd().active());
        QVERIFY(!w->graph().loaded());
        QVERIFY(!w->graph().videoCdFound());
        QCOMPARE(fileNumber(), QStringLiteral("----"));
        QCOMPARE(prompt.messages.size(), size_t(0));
    }

    // Nothing there, Retry after the disc went in, No to it, then Yes with the bumper first.
    void askedRetriedDeclinedThenBumperFirst()
    {
        const QString disc = dir("disc");
        QVERIFY(putBytes(dir("audio") + "/Track 01.wav", "RIFF....WAVE"));
        setRoots({env->path("audio"), disc});
        store->write(Key::Preferences, 1);
        makeWindow();

        QStringList clockAtQuestions, titleAtQuestions;
        prompt.onMessage = [&](const PromptMessage &m) {
            clockAtQuestions << w->readouts().text(DisplayId::Clock);
            titleAtQuestions << (scrolls(w->readouts().title(), "Searching for a VCD...") ? "searching" : "");
            if (m.text == QStringLiteral("A VideoCD was not found")) {
                put(disc + "/CDI/CDI_BUM.DAT", vcd);
                put(disc + "/MPEGAV/AVSEQ01.DAT", vcd);
                put(disc + "/MPEGAV/AVSEQ02.DAT", vcd);
            }
        };
        prompt.queueAnswer(PromptKind::AnswerRetry);
        prompt.queueAnswer(PromptKind::AnswerNo);
        QTest::mouseClick(w->controls().button(ButtonId::VideoCd), Qt::LeftButton);
        QCOMPARE(prompt.messages.size(), size_t(3));
        const PromptMessage &none = prompt.messages[0];
        QCOMPARE(none.text, QStringLiteral("A VideoCD was not found"));
        QCOMPARE(none.caption, QStringLiteral("Error"));
        QCOMPARE(none.buttons, PromptKind::RetryCancel);
        QCOMPARE(none.icon, PromptKind::Stop);
        const PromptMessage &question = prompt.messages[1];
        QCOMPARE(question.text, "Found a VideoCD in drive " + disc + "  Attempt to play this one?");
        QCOMPARE(question.caption, QStringLiteral("Found a VideoCD"));
        QCOMPARE(question.buttons, PromptKind::YesNo);
        const PromptMessage &declined = prompt.messages[2];
        QCOMPARE(declined.text, QStringLiteral("No more VideoCD's were found"));
        QCOMPARE(declined.caption, QStringLiteral("Error"));
        QCOMPARE(declined.buttons, PromptKind::Ok);
        QCOMPARE(declined.icon, PromptKind::Stop);
        // While it looks the title display scrolls; each answer of the search finds it back.
        QCOMPARE(titleAtQuestions, (QStringList{"", "searching", ""}));
        QVERIFY(!w->readouts().title()->isScrolling());
        QVERIFY(!w->readouts().text(DisplayId::Clock).contains("Looking"));
        QVERIFY(!w->graph().loaded());
        QVERIFY(!w->videoCd().active());

        prompt.messages.clear();
        prompt.queueAnswer(PromptKind::AnswerYes);
        w->execute({Command::PlayVideoCd});
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(clockAtQuestions.last(), QStringLiteral("Looking for VCD"));
        QCOMPARE(titleAtQuestions.last(), QStringLiteral("searching"));
        QCOMPARE(w->videoCd().track(), 0);
        QCOMPARE(fileNumber(), QStringLiteral(" VCD"));
        const QStringList played = playedToTheEnd();
        QCOMPARE(played, (QStringList{"CDI/CDI_BUM.DAT", "MPEGAV/AVSEQ01.DAT", "MPEGAV/AVSEQ02.DAT"}));
        QCOMPARE(prompt.messages.size(), size_t(1));
    }

    // An SVCD in mixed case; full screen, the button only leaves it; another open ends the disc.
    void svcdStepsAndOtherOpensEndIt()
    {
        const QString disc = dir("svcd");
        QVERIFY(put(disc + "/MPEG2/AVSEQ01.MPG", svcd));
        QVERIFY(put(disc + "/MPEG2/avseq02.mpg", svcd));
        QVERIFY(put(disc + "/MPEG2/AVSEQ03.MPG;1", svcd));
        setRoots({disc + "/"});
        makeWindow();

        w->execute({Command::PlayVideoCd});
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].text, "Found a SVCD in drive " + disc + "  Attempt to play this one?");
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Found a VideoCD"));
        QVERIFY(w->graph().playing());
        QCOMPARE(fileNumber(), QStringLiteral("SVCD"));

        // Full screen only once there is a picture: a view resized before its first frame
        // can stay blank.
        QTRY_VERIFY(qobject_cast<VideoView *>(w->graph().picture())->framesDrawn() > 0);
        w->execute({Command::FullScreen});
        QTRY_COMPARE(w->screenModes().mode(), ScreenModes::Mode::FullScreen);
        QVERIFY(w->graph().playing());
        w->execute({Command::PlayVideoCd});
        QVERIFY(w->screenModes().windowed());
        QVERIFY(!w->graph().playing());
        QVERIFY(w->graph().loaded());
        QCOMPARE(prompt.messages.size(), size_t(1)); // nothing searched
        QVERIFY(w->videoCd().active());

        w->execute({Command::Play});
        QCOMPARE(playedToTheEnd(), (QStringList{"MPEG2/AVSEQ01.MPG", "MPEG2/avseq02.mpg", "MPEG2/AVSEQ03.MPG;1"}));
        QVERIFY(!w->graph().loaded());

        // Yes by default; then a file from the open dialog takes over.
        w->execute({Command::PlayVideoCd});
        QVERIFY(w->videoCd().active());
        prompt.queueFiles(QStringList{TestMedia::mpeg1Ps()});
        w->execute({Command::OpenFile});
        QVERIFY(!w->videoCd().active());
        QVERIFY(!w->graph().videoCdTrack());
        QVERIFY(!w->graph().videoCdFound());
        QCOMPARE(w->currentPath(), TestMedia::mpeg1Ps());
        QCOMPARE(fileNumber(), QStringLiteral("   1"));
    }

    // At launch: silence without a disc, no question with one; a disc taken out ends at the
    // next track; an undecodable first track speaks for the disc, and only for it.
    void launchAndBadDiscs()
    {
        store->write(Key::AutoPlayVcd, 1);
        setRoots({dir("empty")});
        makeWindow();
        QTest::qWait(600);
        QCOMPARE(prompt.messages.size(), size_t(0));
        QVERIFY(!w->graph().loaded());
        w.reset();

        const QString disc = dir("disc");
        QVERIFY(put(disc + "/MPEGAV/AVSEQ01.DAT", vcd));
        QVERIFY(put(disc + "/MPEGAV/AVSEQ02.DAT", vcd));
        setRoots({disc});
        makeWindow();
        QTRY_VERIFY(w->videoCd().active());
        QTRY_VERIFY(w->graph().playing());
        QCOMPARE(prompt.messages.size(), size_t(0));
        QVERIFY(QDir(disc).removeRecursively());
        QTRY_VERIFY_WITH_TIMEOUT(!w->videoCd().active(), 30000);
        QVERIFY(!w->graph().loaded());
        QCOMPARE(shortName(w->currentPath()), QStringLiteral("MPEGAV/AVSEQ01.DAT"));
        QCOMPARE(prompt.messages.size(), size_t(0));
        w.reset();

        store->write(Key::AutoPlayVcd, 0);
        store->write(Key::AskSearchPref, 0);
        QVERIFY(putBytes(disc + "/MPEGAV/AVSEQ01.DAT", Garbage));
        makeWindow();
        w->execute({Command::PlayVideoCd});
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].text, QStringLiteral("No suitable codec found to decode the VideoCD\n "));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Error"));
        QVERIFY(!w->graph().loaded());
        QVERIFY(!w->videoCd().active());
        prompt.queueFiles(QStringList{TestMedia::textAsAvi()});
        w->execute({Command::OpenFile});
        QVERIFY(prompt.messages.size() >= 2);
        QVERIFY(prompt.messages[1].text.startsWith("No suitable codec found to decode file\n"));

        // A bumper without tracks plays, and that is the disc.
        const QString bumperOnly = dir("bumper");
        QVERIFY(put(bumperOnly + "/CDI/CDI_BUM.DAT", vcd));
        setRoots({bumperOnly});
        w->preferences().set(Key::Preferences, 1);
        prompt.messages.clear();
        w->execute({Command::PlayVideoCd});
        QCOMPARE(w->videoCd().track(), 0);
        QCOMPARE(playedToTheEnd(), QStringList{"CDI/CDI_BUM.DAT"});
        QVERIFY(!w->graph().loaded());
        QCOMPARE(prompt.messages.size(), size_t(0));

        // No optical volume at all.
        setRoots({});
        prompt.messages.clear();
        prompt.queueAnswer(PromptKind::AnswerCancel);
        w->execute({Command::PlayVideoCd});
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].text, QStringLiteral("A VideoCD was not found"));
    }
};

QTEST_MAIN(TestVideoCd)
#include "test_videocd.moc"
