// The DVD player dialog on GStreamer's real DVD navigator, on a small authored disc.
#include "TestDvd.h"
#include "TestEnv.h"
#include "VideoCdMedia.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/DvdNavigator.h"
#include "disc/DvdPicture.h"
#include "disc/DvdPlayerDialog.h"
#include "disc/VideoCdSearch.h"
#include "playback/MediaGraph.h"
#include "ui/ControlSet.h"
#include "ui/Commands.h"
#include "ui/ControlWindow.h"
#include "skin/SkinButton.h"

#include <QPushButton>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

bool yellow(const QImage &img, QPoint p)
{
    if (img.isNull() || !img.rect().contains(p))
        return false;
    const QColor c = img.pixelColor(p);
    return c.red() > 200 && c.green() > 200 && c.blue() < 90;
}

// Video pixels on the left edge of each button's frame.
constexpr QPoint FrameOne{162, 230};
constexpr QPoint FrameTwo{162, 350};

// A copy of the volume with every name in lower case, as an iso9660 mount shows it.
QString lowerCaseCopy(const QString &name)
{
    const QString copy = TestDvd::damagedCopy(name, {});
    QDir files(copy + QStringLiteral("/VIDEO_TS"));
    for (const QString &f : files.entryList(QDir::Files))
        files.rename(f, f.toLower());
    QDir(copy).rename(QStringLiteral("VIDEO_TS"), QStringLiteral("video_ts"));
    return copy;
}

} // namespace

class TestDvdPlayer : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompt prompt;
    DvdToggles toggles;
    QString disc;

    bool only(const char *name)
    {
        // The runs without a decoder or without the DVD elements take one case each.
        const QByteArray wanted = qgetenv("KT_DVD_CASE");
        return wanted.isEmpty() ? qstrcmp(name, "noDecoder") && qstrcmp(name, "noPlugins") : wanted == name;
    }

    QPoint widgetPoint(DvdPlayerDialog &d, QPoint video)
    {
        const QRectF r = d.picture()->pictureRect();
        return QPoint(int(r.left() + video.x() * r.width() / 720.0), int(r.top() + video.y() * r.height() / 576.0));
    }

    void startOnDisc(DvdPlayerDialog &d)
    {
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_VERIFY_WITH_TIMEOUT(d.navigator().ready(), 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(d.navigator().frameCount() > 3 && d.navigator().title() == 0, qPrintable(QStringLiteral("frames %1 title %2").arg(d.navigator().frameCount()).arg(d.navigator().title())), 10000);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>();
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        prompt = ScriptedPrompt();
        toggles = DvdToggles();
        if (qEnvironmentVariableIsEmpty("KT_DVD_CASE") || qgetenv("KT_DVD_CASE") == "noDecoder") {
            disc = TestDvd::volume();
            QVERIFY(!disc.isEmpty());
        }
        qputenv("KINETROPE_OPTICAL_ROOTS", disc.toLocal8Bit());
    }

    // Found, asked about, played: the menu, its highlight under the pointer, a click into
    // title 2, the root menu on a right click, Esc and full screen.
    void menuAndPointer()
    {
        if (!only("menuAndPointer"))
            QSKIP("another run");
        DvdPlayerDialog d(*store, prompt, toggles);
        QCOMPARE(d.windowTitle(), QStringLiteral("Kinetrope DVD Player"));
        QVERIFY(d.searchForDvd()); // the first search takes it unasked
        QVERIFY(prompt.messages.empty());
        startOnDisc(d);
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].text, "Found a DVD in drive " + disc + "/ Play this one?");
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Found DVD"));
        QCOMPARE(prompt.messages[0].buttons, PromptKind::YesNo);
        QCOMPARE(d.volumePath(), disc + "/VIDEO_TS/VIDEO_TS.IFO");
        QCOMPARE(d.picture()->geometry(), DvdPlayerDialog::PicturePlace);
        QCOMPARE(d.picture()->windowTitle(), d.volumePath());
        for (auto [id, text] : {std::pair{14, "Pause"}, {8, "Stop"}, {9, "Cue"}, {10, "Review"}, {6, "Prev Chapter"},
                                {7, "Next Chapter"}, {1074, "Reverse Play"}, {3, "&Browse"}, {4, "&Full Screen"},
                                {13, "Resume"}, {12, "Menu"}, {1106, "1x"}, {1114, "10x"}, {2, "E&xit"}})
            QCOMPARE(d.button(id)->text(), QString::fromUtf8(text));

        // The pointer over the second button lights its frame, and only its frame, in the
        // navigator's picture and on the screen.
        QTest::mouseMove(d.picture(), widgetPoint(d, {360, 350}));
        QTRY_VERIFY_WITH_TIMEOUT(yellow(d.navigator().frame(), FrameTwo), 5000);
        QVERIFY(!yellow(d.navigator().frame(), FrameOne));
        QTRY_VERIFY(yellow(d.picture()->grab().toImage(), widgetPoint(d, FrameTwo) + QPoint(1, 0)));
        QTest::mouseMove(d.picture(), widgetPoint(d, {360, 230}));
        QTRY_VERIFY_WITH_TIMEOUT(yellow(d.navigator().frame(), FrameOne), 5000);
        QVERIFY(!yellow(d.navigator().frame(), FrameTwo));

        // A click plays title 2; the dialog goes with the pointer while the button is held.
        QTest::mouseMove(d.picture(), widgetPoint(d, {360, 350}));
        QTest::qWait(300);
        const QPoint before = d.pos();
        QTest::mousePress(d.picture(), Qt::LeftButton, {}, widgetPoint(d, {360, 350}));
        QTRY_COMPARE_WITH_TIMEOUT(d.navigator().title(), 2, 5000);
        QMouseEvent drag(QEvent::MouseMove, QPointF(widgetPoint(d, {360, 350}) + QPoint(30, 20)),
                         QPointF(d.picture()->mapToGlobal(widgetPoint(d, {360, 350}) + QPoint(30, 20))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(d.picture(), &drag);
        QTRY_COMPARE(d.pos(), before + QPoint(30, 20));
        QTest::mouseRelease(d.picture(), Qt::LeftButton, {}, widgetPoint(d, {360, 350}));
        QVERIFY(!yellow(d.navigator().frame(), FrameTwo)); // the title, no menu

        // A right click goes back to the root menu; Resume returns to the title.
        QTest::mouseClick(d.picture(), Qt::RightButton, {}, QPoint(100, 100));
        QTRY_COMPARE_WITH_TIMEOUT(d.navigator().title(), 0, 5000);
        d.button(DvdPlayerDialog::ResumeButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(d.navigator().title(), 2, 5000);

        // Esc never closes the windowed dialog; full screen it only leaves full screen.
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        d.button(DvdPlayerDialog::FullScreenButton)->click();
        QVERIFY(d.fullScreen());
        QVERIFY(d.picture()->isWindow());
        QTRY_VERIFY(d.picture()->isFullScreen());
        QCOMPARE(d.picture()->windowTitle(), d.volumePath());
        QTest::keyClick(d.picture(), Qt::Key_M); // the dialog's keys reach the picture
        QTRY_COMPARE_WITH_TIMEOUT(d.navigator().title(), 0, 5000);
        QTest::keyClick(d.picture(), Qt::Key_Escape);
        QVERIFY(!d.fullScreen());
        QVERIFY(!d.picture()->isWindow());
        QCOMPARE(d.picture()->geometry(), DvdPlayerDialog::PicturePlace);
        QVERIFY(d.isVisible());

        // Paused here, then a new dialog starts its disc playing, and its first Pause pauses.
        d.button(DvdPlayerDialog::PauseButton)->click();
        QVERIFY(toggles.paused);
        QCOMPARE(d.button(DvdPlayerDialog::PauseButton)->text(), QStringLiteral("Play"));
        d.button(DvdPlayerDialog::ExitButton)->click();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.navigator().ready());

        DvdPlayerDialog again(*store, prompt, toggles);
        again.searchForDvd();
        startOnDisc(again);
        QVERIFY(!toggles.paused);
        again.button(DvdPlayerDialog::PauseButton)->click();
        QCOMPARE(again.button(DvdPlayerDialog::PauseButton)->text(), QStringLiteral("Play"));
        QVERIFY(toggles.paused);
    }

    // Chapters, forward scan rates from buttons and keys, and reverse play back to the start.
    void chaptersAndScans()
    {
        if (!only("chaptersAndScans"))
            QSKIP("another run");
        DvdPlayerDialog d(*store, prompt, toggles);
        d.searchForDvd();
        startOnDisc(d);
        DvdNavigator &nav = d.navigator();
        QCOMPARE(nav.playNextChapter(), DvdNavigator::Result::Unexpected); // a menu has none
        using R = DvdNavigator::Result;
        const std::pair<R, const char *> texts[] = {
            {R::Ok, ""},
            {R::NotImplemented, "Method is not supported"},
            {R::Pointer, " Out of memory (insufficient buffer space)."},
            {R::Fail, "Failure"},
            {R::Unexpected, "DVD is not initialized, or domain is not DVD_DOMAIN_Title"},
            {R::Inhibited, "Requested action inhibited."},
            {R::NotSupported, "Requested action is not supported"},
            {R::OutOfMemory, " Out of memory (insufficient buffer space)."},
            {R::InvalidArg, "Input argument is invalid"}};
        for (auto [result, text] : texts)
            QCOMPARE(DvdNavigator::resultText(result), QString::fromLatin1(text));
        QCOMPARE(nav.mouseActivate({360, 230}), DvdNavigator::Result::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(nav.title(), 1, 5000);
        QCOMPARE(nav.chapter(), 1);
        QTest::keyClick(&d, Qt::Key_N);
        QTRY_COMPARE_WITH_TIMEOUT(nav.chapter(), 2, 5000);
        QTRY_VERIFY(nav.position() >= 3.9);
        QTest::keyClick(&d, Qt::Key_P);
        QTRY_COMPARE_WITH_TIMEOUT(nav.chapter(), 1, 5000);
        d.button(DvdPlayerDialog::NextChapterButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(nav.chapter(), 2, 5000);

        auto rateSeen = [&](double r) {
            return QTest::qWaitFor([&] { return qFuzzyCompare(nav.rate(), r); }, 5000);
        };
        d.button(DvdPlayerDialog::CueButton)->click();
        QVERIFY(rateSeen(5.0));
        // End alternates 2.0 and 1.0, starting at 2.0.
        for (double r : {2.0, 1.0, 2.0}) {
            QTest::keyClick(&d, Qt::Key_End);
            QVERIFY2(rateSeen(r), qPrintable(QString::number(nav.rate())));
        }
        QTest::keyClick(&d, Qt::Key_3);
        QVERIFY(rateSeen(3.0));
        // Back to the first chapter, so that ten times the speed cannot run off the title's end.
        d.button(DvdPlayerDialog::PrevChapterButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(nav.chapter(), 1, 5000);
        d.button(1114)->click(); // 10x
        QVERIFY(rateSeen(10.0));
        d.button(1106)->click(); // 1x
        QVERIFY(rateSeen(1.0));
        d.button(DvdPlayerDialog::PrevChapterButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(nav.chapter(), 1, 5000);
        QTest::keyClick(&d, Qt::Key_0); // ten times, as 10x
        QVERIFY(rateSeen(10.0));
        QTest::keyClick(&d, Qt::Key_1);
        QVERIFY(rateSeen(1.0));

        // Reverse play steps back through the title to its start, then plays on at 1.0.
        d.button(DvdPlayerDialog::PrevChapterButton)->click();
        d.button(DvdPlayerDialog::NextChapterButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(nav.chapter() == 2 && nav.position() > 4.0, 5000);
        QSignalSpy ended(&nav, &DvdNavigator::reverseEnded);
        const double from = nav.position();
        d.button(DvdPlayerDialog::ReversePlayButton)->click();
        QVERIFY(nav.reversing());
        QTRY_VERIFY_WITH_TIMEOUT(nav.position() < from - 1.0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
        QVERIFY(!nav.reversing());
        QCOMPARE(nav.title(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(nav.position() > 0.5 && nav.position() < 3.0, 5000);
        QCOMPARE(nav.rate(), 1.0);

        // Home steps back too: at 2.0 first, then at 1.0, taking twice as long from as far.
        auto homeSpeed = [&] {
            d.button(DvdPlayerDialog::NextChapterButton)->click();
            if (!QTest::qWaitFor([&] { return nav.chapter() == 2 && nav.position() > 4.5; }, 5000))
                return 0.0;
            const qsizetype before = ended.size();
            const double start = nav.position();
            QElapsedTimer t;
            t.start();
            QTest::keyClick(&d, Qt::Key_Home);
            if (!nav.reversing() || !QTest::qWaitFor([&] { return ended.size() > before; }, 20000))
                return 0.0;
            return start / (t.elapsed() / 1000.0);
        };
        const double fast = homeSpeed();
        QVERIFY(toggles.homeFast);
        const double slow = homeSpeed();
        QVERIFY(!toggles.homeFast);
        QVERIFY2(slow > 0.3 && fast > 1.5 * slow, qPrintable(QStringLiteral("%1 %2").arg(fast).arg(slow)));
        QCOMPARE(nav.title(), 1);
    }

    // Browse: the damaged copies give their texts and leave the dialog usable; a good
    // volume then plays; the folder is remembered.
    void browseAndDamage()
    {
        if (!only("browseAndDamage"))
            QSKIP("another run");
        qputenv("KINETROPE_OPTICAL_ROOTS", QByteArray());
        const QString noTitles = TestDvd::damagedCopy("dvd-no-vmg", {"VIDEO_TS.IFO", "VIDEO_TS.BUP"});
        const QString noTitleSet = TestDvd::damagedCopy("dvd-no-vts", {"VTS_01_0.IFO", "VTS_01_0.BUP"});
        prompt.queueFiles({noTitles + "/VIDEO_TS/VIDEO_TS.IFO"});
        prompt.queueFiles({noTitleSet + "/VIDEO_TS/VIDEO_TS.IFO"});
        prompt.queueFiles({disc + "/VIDEO_TS/VTS_01_0.IFO"});
        DvdPlayerDialog d(*store, prompt, toggles);
        QVERIFY(!d.searchForDvd());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::qWait(200);
        QVERIFY(prompt.messages.empty()); // nothing found, nothing asked: an empty dialog
        d.button(DvdPlayerDialog::PauseButton)->click(); // idle without a disc
        QCOMPARE(d.button(DvdPlayerDialog::PauseButton)->text(), QStringLiteral("Pause"));

        d.button(DvdPlayerDialog::BrowseButton)->click();
        QCOMPARE(prompt.fileRequests.size(), size_t(1));
        const FileDialogRequest &r = prompt.fileRequests[0];
        QCOMPARE(r.title, QStringLiteral("Select DVD-Video Volume"));
        QCOMPARE(r.filters, (QStringList{"IFO Files (*.ifo)", "All Files (*)"}));
        QCOMPARE(r.fileName, QStringLiteral("*.ifo"));
        QCOMPARE(r.directory, QDir::homePath());
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(1), 20000);
        QCOMPARE(prompt.messages[0].text, QStringLiteral("Could not read title information for DVD."));
        QCOMPARE(store->read(Key::LastDVDDirectory), noTitles + "/VIDEO_TS");

        d.button(DvdPlayerDialog::BrowseButton)->click();
        QCOMPARE(prompt.fileRequests[1].fileName, noTitles + "/VIDEO_TS/VIDEO_TS.IFO");
        QCOMPARE(prompt.fileRequests[1].directory, noTitles + "/VIDEO_TS");
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(2), 20000);
        QVERIFY(prompt.messages[1].text.startsWith(QStringLiteral("Could not read DVD. This may be because the DVD is encrypted")));
        QVERIFY(!d.navigator().ready());

        // Any IFO of the volume names its folder.
        d.button(DvdPlayerDialog::BrowseButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.navigator().ready() && d.navigator().frameCount() > 0, 20000);
        QCOMPARE(prompt.messages.size(), size_t(2));
        QCOMPARE(d.navigator().device(), disc + "/VIDEO_TS");

        // A volume whose menu is a pipe nobody writes to never shows a picture: given up after
        // the start-up time, and the dialog stays usable.
        const QString stuck = TestDvd::damagedCopy(QStringLiteral("dvd-stuck"), {});
        const QString menuVob = stuck + QStringLiteral("/VIDEO_TS/VTS_01_0.VOB");
        QVERIFY(QFile::remove(menuVob));
        QCOMPARE(mkfifo(QFile::encodeName(menuVob).constData(), 0600), 0);
        // Whatever happens below, the reader goes in the end: a thread left waiting at the pipe
        // would hold up the test's exit.
        const auto unblock = qScopeGuard([&menuVob] {
            const int writer = ::open(QFile::encodeName(menuVob).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        });
        prompt.queueFiles({stuck + "/VIDEO_TS/VIDEO_TS.IFO"});
        QElapsedTimer waited;
        waited.start();
        d.button(DvdPlayerDialog::BrowseButton)->click();
        QVERIFY(d.navigator().building());
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(3), DvdNavigator::PrerollTimeoutMs + 10000);
        QCOMPARE(prompt.messages[2].text, QStringLiteral("The DVD did not start within 15 seconds."));
        // Not before its time, give or take the 5 % a coarse timer may come early by.
        QVERIFY2(waited.elapsed() >= DvdNavigator::PrerollTimeoutMs * 9 / 10,
                 qPrintable(QString::number(waited.elapsed())));
        QVERIFY(!d.navigator().building() && !d.navigator().ready());
        // The reader still waits at the pipe: a writer that comes and goes lets it fail and go.
        const int writer = ::open(QFile::encodeName(menuVob).constData(), O_WRONLY | O_NONBLOCK);
        QVERIFY(writer >= 0);
        ::close(writer);
        d.button(DvdPlayerDialog::BrowseButton)->click(); // still browses, from the volume tried last
        QCOMPARE(prompt.fileRequests.back().fileName, stuck + "/VIDEO_TS/VIDEO_TS.IFO");

        // Closed while a disc is still starting: nothing is left behind to call back.
        {
            DvdPlayerDialog quick(*store, prompt, toggles);
            quick.navigator().build(disc + "/VIDEO_TS");
            QVERIFY(quick.navigator().building());
        }
        QTest::qWait(1500);
        QCOMPARE(prompt.messages.size(), size_t(3));
    }

    // Two drives, the first showing its names in lower case: the dialog asks about each, No
    // goes on to the next, and No to both leaves it empty. A volume gone between its first
    // picture and the start of play is an invalid argument; a disc that fails while playing
    // is told once, and the dialog still browses and exits.
    void drivesAskedAndDiscsLost()
    {
        if (!only("drivesAskedAndDiscsLost"))
            QSKIP("another run");
        const QString lower = lowerCaseCopy(QStringLiteral("dvd-lower"));
        qputenv("KINETROPE_OPTICAL_ROOTS", (lower + u':' + disc).toLocal8Bit());
        auto asked = [](const QString &root) { return "Found a DVD in drive " + root + "/ Play this one?"; };
        {
            DvdPlayerDialog d(*store, prompt, toggles);
            QVERIFY(d.searchForDvd());
            QCOMPARE(d.volumePath(), lower + "/video_ts/video_ts.ifo");
            prompt.queueAnswer(PromptKind::AnswerNo);
            d.show();
            QTRY_COMPARE(prompt.messages.size(), size_t(2));
            QCOMPARE(prompt.messages[0].text, asked(lower));
            QCOMPARE(prompt.messages[1].text, asked(disc));
            QCOMPARE(d.volumePath(), disc + "/VIDEO_TS/VIDEO_TS.IFO");
            QCOMPARE(d.navigator().device(), disc + "/VIDEO_TS");
        }
        {
            DvdPlayerDialog d(*store, prompt, toggles);
            d.searchForDvd();
            prompt.queueAnswer(PromptKind::AnswerNo);
            prompt.queueAnswer(PromptKind::AnswerNo);
            d.show();
            QTRY_COMPARE(prompt.messages.size(), size_t(4));
            QCOMPARE(prompt.messages[2].text, asked(lower));
            QCOMPARE(prompt.messages[3].text, asked(disc));
            QTest::qWait(300);
            QVERIFY(d.isVisible());
            QVERIFY(!d.navigator().building() && !d.navigator().ready());
            QVERIFY(d.picture()->frame().isNull());
        }
        prompt = ScriptedPrompt();

        // Renamed away as its first picture comes: the start finds no volume, says so and lets go.
        const QString gone = TestDvd::damagedCopy(QStringLiteral("dvd-gone"), {});
        QDir(gone + QStringLiteral("-moved")).removeRecursively();
        qputenv("KINETROPE_OPTICAL_ROOTS", gone.toLocal8Bit());
        {
            DvdPlayerDialog d(*store, prompt, toggles);
            d.searchForDvd();
            connect(&d.navigator(), &DvdNavigator::frameReady, &d, [&gone] {
                if (QFileInfo::exists(gone))
                    QDir().rename(gone, gone + QStringLiteral("-moved"));
            });
            d.show();
            QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(2), 20000);
            QCOMPARE(prompt.messages[1].text, QStringLiteral("Input argument is invalid"));
            QVERIFY(prompt.messages[1].caption.isEmpty());
            QTRY_VERIFY(!d.navigator().ready());
            QVERIFY(d.isVisible());
        }

        // The lower-case volume plays, full screen at once as "DvdAutoFull" asks; its title
        // cut short under it stops the disc with the pipeline's words.
        prompt = ScriptedPrompt();
        qputenv("KINETROPE_OPTICAL_ROOTS", lower.toLocal8Bit());
        DvdPlayerDialog d(*store, prompt, toggles);
        d.setAutoFullScreen(1);
        d.searchForDvd();
        startOnDisc(d);
        QCOMPARE(d.navigator().device(), lower + "/video_ts");
        QVERIFY(d.fullScreen());
        QTRY_VERIFY(d.picture()->isWindow() && d.picture()->isFullScreen());
        QCOMPARE(d.navigator().mouseActivate({360, 230}), DvdNavigator::Result::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(d.navigator().title() == 1 && d.navigator().position() > 0.5, 5000);
        QCOMPARE(prompt.messages.size(), size_t(1));
        {
            QFile vob(lower + QStringLiteral("/video_ts/vts_01_1.vob"));
            QVERIFY(vob.resize(0));
        }
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(2), 15000);
        QVERIFY2(prompt.messages[1].text.startsWith(QStringLiteral("Could not read DVD.")),
                 qPrintable(prompt.messages[1].text));
        QVERIFY(prompt.messages[1].caption.isEmpty());
        QCOMPARE(prompt.messages[1].icon, PromptKind::Stop);
        QVERIFY(!d.navigator().ready());
        QVERIFY(!d.fullScreen());
        QVERIFY(!d.picture()->isWindow());
        QVERIFY(d.picture()->frame().isNull());
        QTest::qWait(500);
        QCOMPARE(prompt.messages.size(), size_t(2)); // once
        d.button(DvdPlayerDialog::PauseButton)->click();
        QCOMPARE(d.button(DvdPlayerDialog::PauseButton)->text(), QStringLiteral("Pause"));
        prompt.queueFiles({disc + "/VIDEO_TS/VIDEO_TS.IFO"});
        d.button(DvdPlayerDialog::BrowseButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.navigator().ready() && d.navigator().frameCount() > 0, 20000);
        QCOMPARE(prompt.messages.size(), size_t(2));
        d.button(DvdPlayerDialog::ExitButton)->click();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.navigator().ready());
    }

    // The DVD button: a VideoCD plays instead of an empty dialog when one is found.
    // The DVD button: a VideoCD alone plays unasked, without the dialog; a DVD is asked about
    // and its menu comes up in the dialog; with neither the dialog opens empty.
    void dvdButton()
    {
        if (!only("dvdButton"))
            QSKIP("another run");
        const QString vcd = env->path(QStringLiteral("vcd"));
        QVERIFY(QDir().mkpath(vcd + QStringLiteral("/MPEGAV")));
        QVERIFY(QFile::copy(VideoCdMedia::vcdTrack(1), vcd + QStringLiteral("/MPEGAV/AVSEQ01.DAT")));
        const QString empty = env->path(QStringLiteral("empty"));
        QVERIFY(QDir().mkpath(empty));
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        store->write(Key::DvdAutoFull, 1);
        ProcessState process;
        ControlWindow w(*store, prompt, process);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.controls().button(ButtonId::Dvd)->toolTip(), QStringLiteral("Play a DVD - Attempts to find a DVD"));

        bool dialogSeen = false, menuShown = false, fullScreen = false;
        int patienceMs = 20000; // for the menu to come up
        QElapsedTimer open;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            auto *dvd = qobject_cast<DvdPlayerDialog *>(QApplication::activeModalWidget());
            if (!dvd)
                return;
            if (!dialogSeen)
                open.start();
            dialogSeen = true;
            const DvdNavigator &nav = dvd->navigator();
            menuShown = nav.ready() && nav.title() == 0 && !dvd->picture()->frame().isNull();
            fullScreen = dvd->fullScreen() && dvd->picture()->isWindow() && dvd->picture()->isFullScreen();
            if (menuShown || open.elapsed() > patienceMs)
                dvd->button(DvdPlayerDialog::ExitButton)->click();
        });
        watcher.start(50);

        qputenv("KINETROPE_OPTICAL_ROOTS", (empty + u':' + vcd).toLocal8Bit());
        w.controls().button(ButtonId::Dvd)->click();
        QVERIFY(!dialogSeen);
        QVERIFY(w.videoCd().active());
        QCOMPARE(w.currentPath(), vcd + QStringLiteral("/MPEGAV/AVSEQ01.DAT"));
        QVERIFY(w.graph().playing());
        QVERIFY(prompt.messages.empty());
        w.execute({Command::Eject});

        qputenv("KINETROPE_OPTICAL_ROOTS", (empty + u':' + disc).toLocal8Bit());
        prompt.queueAnswer(PromptKind::AnswerYes);
        w.controls().button(ButtonId::Dvd)->click();
        QVERIFY(dialogSeen);
        QVERIFY(menuShown);
        QVERIFY(fullScreen); // "DvdAutoFull"
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Found DVD"));
        QVERIFY2(prompt.messages[0].text.startsWith(QStringLiteral("Found a DVD in drive ") + disc),
                 qPrintable(prompt.messages[0].text));
        QVERIFY(!w.videoCd().active());

        qputenv("KINETROPE_OPTICAL_ROOTS", empty.toLocal8Bit());
        dialogSeen = menuShown = false;
        patienceMs = 1500;
        w.controls().button(ButtonId::Dvd)->click();
        QVERIFY(dialogSeen);
        QVERIFY(!menuShown);
        QVERIFY(!fullScreen); // nothing to show full screen
        QCOMPARE(prompt.messages.size(), size_t(1));
    }

    void noDecoder()
    {
        if (!only("noDecoder"))
            QSKIP("runs as test_dvd_no_decoder");
        DvdPlayerDialog d(*store, prompt, toggles);
        d.searchForDvd();
        d.show();
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(3), 20000);
        QCOMPARE(prompt.messages[1].text,
                 QStringLiteral("Kinetrope could not locate a DVD decoder on your system.\r\n\r\nYou must install a "
                                "DVD/MPEG-2 hardware,\r\nor software decoder."));
        QCOMPARE(prompt.messages[1].caption, QStringLiteral("Fatal Error"));
        QCOMPARE(prompt.messages[2].text, QStringLiteral("Error Rendering DVD!"));
        QVERIFY(d.isVisible());
        QVERIFY(d.navigator().frame().isNull());
        d.button(DvdPlayerDialog::ExitButton)->click();
        QVERIFY(!d.isVisible());
    }

    void noPlugins()
    {
        if (!only("noPlugins"))
            QSKIP("runs as test_dvd_no_plugins");
        QVERIFY(!DvdNavigator::softwareInstalled());
        DvdPlayerDialog d(*store, prompt, toggles);
        d.show();
        QTRY_VERIFY(!d.isVisible());
        QCOMPARE(prompt.messages.size(), size_t(2));
        QCOMPARE(prompt.messages[0].text, QStringLiteral("Error Building DVD Graph"));
        QVERIFY(prompt.messages[0].caption.isEmpty());
        QCOMPARE(prompt.messages[1].text, QStringLiteral("DVD software not installed properly.\nPress OK to end the app."));
        QCOMPARE(prompt.messages[1].caption, QStringLiteral("Error"));
        QCOMPARE(prompt.messages[1].icon, PromptKind::Stop);
    }
};

QTEST_MAIN(TestDvdPlayer)
#include "test_dvd_player.moc"
