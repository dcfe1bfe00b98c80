// The update check against a web server of the test's own on 127.0.0.1: what it asks for and
// how, what it offers or tells for each answer, and a check that is busy, retried or cut off.
#include "FakeOpener.h"
#include "StubHttpServer.h"
#include "TestEnv.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "net/Connectivity.h"
#include "net/UpdateCheck.h"
#include "app/ProcessState.h"
#include "skin/ScrollingDisplay.h"
#include "skin/SkinButton.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"
#include "ui/Readouts.h"

#include <QNetworkInterface>
#include <QTimer>
#include <QtTest>

using Mode = StubHttpServer::Mode;
using Result = UpdateCheck::Result;

namespace {

// The system's word on the network, which a test machine always has, switched by the test.
class SwitchedNetwork : public Connectivity
{
public:
    bool up = false;

protected:
    bool networkUp() const override { return up; }
};

// An address of this machine that is not loopback, so that the network's state counts for it.
QHostAddress ownAddress()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries()) {
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.ip().isLoopback())
                return e.ip();
        }
    }
    return {};
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<FakeOpener> opener;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<StubHttpServer> server;
    ScriptedPrompt prompt;
    Connectivity connectivity;

    // One check to its end; the result.
    Result run(UpdateCheck &check, bool visible)
    {
        QSignalSpy done(&check, &UpdateCheck::finished);
        if (!check.start(visible))
            return Result::Aborted;
        if (!done.wait(30000))
            return Result::Aborted;
        return done.at(0).at(0).value<Result>();
    }
    void serve(const QByteArray &version, const QByteArray &message = "New things.")
    {
        server->answer("fullversion.txt", {Mode::Body, 200, version});
        server->answer("fullmessage.txt", {Mode::Body, 200, message});
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        opener = std::make_unique<FakeOpener>(env->path(QStringLiteral("bin")));
    }

    void init()
    {
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        QFile::remove(store->fileName());
        server = std::make_unique<StubHttpServer>();
        store->write(Key::UpdateServerHost, server->hostAndPort());
        prompt = ScriptedPrompt();
        opener->clear();
    }

    void aNewerVersionIsOffered()
    {
        serve("333\n", "Faster seeks.<b>bold</b>" + QByteArray(2000, 'x'));
        UpdateCheck check(*store, prompt, connectivity);
        QStringList progress;
        connect(&check, &UpdateCheck::progress, [&](const QString &t) { progress << t; });
        prompt.queueAnswer(PromptKind::AnswerNo);
        QCOMPARE(run(check, true), Result::Declined);
        QCOMPARE(progress, (QStringList{"Attempting an internet Connection. . .  ", "Internet connection established. . .  "}));
        QCOMPARE(prompt.messages.size(), size_t(2));
        const PromptMessage &offer = prompt.messages[0];
        QCOMPARE(offer.caption, QStringLiteral("Get Kinetrope V3.33 now?"));
        // The message cut at 1021 characters, then the version line; shown as plain text.
        const QString message = QStringLiteral("Faster seeks.<b>bold</b>") + QString(2000, 'x');
        QCOMPARE(offer.text, message.left(1021) + QStringLiteral("\r\rVersion 3.33 of Kinetrope is available\r"
                                                                 "Do you want to download it now?\r"));
        QVERIFY(offer.plainText && offer.onTop);
        QCOMPARE(offer.buttons, PromptKind::YesNo);
        QCOMPARE(offer.icon, PromptKind::Question);
        QCOMPARE(prompt.messages[1].text, QStringLiteral("Update request cancelled."));
        QCOMPARE(prompt.messages[1].caption, QStringLiteral("Cancellation"));
        QCOMPARE(check.reached(), 0);
        // Two requests, from the network itself, as Kinetrope, unencoded.
        QCOMPARE(server->requests.size(), 2);
        QVERIFY(server->requests[0].path.endsWith("ftp///fullversion.txt"));
        QVERIFY(server->requests[1].path.endsWith("ftp///fullmessage.txt"));
        const auto &h = server->requests[0].headers;
        QCOMPARE(h.value("user-agent"), QByteArray("Kinetrope"));
        QCOMPARE(h.value("accept-encoding"), QByteArray("identity"));
        QVERIFY(h.value("cache-control").contains("no-cache") || h.value("pragma").contains("no-cache"));
        // Yes opens the download page in the browser, and says nothing more.
        prompt = ScriptedPrompt();
        prompt.queueAnswer(PromptKind::AnswerYes);
        QCOMPARE(run(check, true), Result::Opened);
        QCOMPARE(prompt.messages.size(), size_t(1));
        QTRY_COMPARE(opener->opened(),
                     QStringList{QStringLiteral("http://%1/download/full/kinetrope.asp").arg(server->hostAndPort())});
        QCOMPARE(check.reached(), 1);
        QCOMPARE(check.downloadStarted(), 1);
        QVERIFY(!check.wantsRetry());
    }

    void answersThatAreNotNewer_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("caption");
        QTest::newRow("332") << QByteArray("332") << 200 << int(Result::UpToDate) << "You're up to date!";
        QTest::newRow("older") << QByteArray("  120 beta") << 200 << int(Result::UpToDate) << "You're up to date!";
        QTest::newRow("404") << QByteArray("333") << 404 << int(Result::NoConnection) << "No Connection?";
        QTest::newRow("a web page") << QByteArray("<html>oops</html>") << 200 << int(Result::NoConnection)
                                    << "No Connection?";
        QTest::newRow("server error") << QByteArray("333") << 500 << int(Result::NoConnection) << "No Connection?";
    }

    void answersThatAreNotNewer()
    {
        QFETCH(QByteArray, version);
        QFETCH(int, status);
        QFETCH(int, result);
        QFETCH(QString, caption);
        server->answer("fullversion.txt", {Mode::Body, status, version});
        server->answer("fullmessage.txt", {Mode::Body, 200, "hi"});
        UpdateCheck check(*store, prompt, connectivity);
        QCOMPARE(run(check, true), Result(result));
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].caption, caption);
        QCOMPARE(prompt.messages[0].icon, PromptKind::Information);
        QCOMPARE(check.reached(), result == int(Result::UpToDate) ? 1 : 0);
    }

    void hostileServers()
    {
        UpdateCheck check(*store, prompt, connectivity);
        // 50 MiB: one kilobyte is read and the transfer stops there.
        server->answer("fullversion.txt", {Mode::Body, 200, "332\n" + QByteArray(50 << 20, 'x')});
        server->answer("fullmessage.txt", {Mode::Body, 200, "hi"});
        QCOMPARE(run(check, false), Result::UpToDate);
        QVERIFY2(server->bytesSent() < 16 << 20, qPrintable(QString::number(server->bytesSent())));
        // A redirect loop is given up after three: four requests, each of which Qt may send a
        // second time when the server closes the connection under it.
        server->requests.clear();
        server->answer("fullversion.txt", {Mode::RedirectLoop, 302, {}});
        QCOMPARE(run(check, false), Result::NoConnection);
        QVERIFY2(server->requests.size() <= 8, qPrintable(QString::number(server->requests.size())));
        // Nothing listening: no connection, and the timer will try again.
        store->write(Key::UpdateServerHost, QStringLiteral("127.0.0.1:1"));
        QCOMPARE(run(check, false), Result::NoConnection);
        QVERIFY(check.wantsRetry());
        QVERIFY(prompt.messages.empty()); // an unseen check only ever offers
    }

    void oneCheckAtATimeAndCutOffByExit()
    {
        server->answer("fullversion.txt", {Mode::Silence, 200, {}});
        {
            UpdateCheck check(*store, prompt, connectivity);
            QSignalSpy done(&check, &UpdateCheck::finished);
            QVERIFY(check.start(true));
            QVERIFY(check.busy());
            QVERIFY(!check.start(true));
            QTRY_COMPARE(server->requests.size(), 1);
            QTest::qWait(200);
            QCOMPARE(server->requests.size(), 1);
            QCOMPARE(done.size(), 0);
        } // the window closes mid-check
        QTest::qWait(200);
        QVERIFY(prompt.messages.empty());
    }

    void theButtonChecksOnceAtATime()
    {
        serve("332");
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        ProcessState process;
        ControlWindow w(*store, prompt, process);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SkinButton *button = w.controls().button(ButtonId::Update);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton); // busy: starts nothing
        QTRY_COMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("You're up to date!"));
        QCOMPARE(server->requests.size(), 2);
        // The clock, which told the progress, shows the time again.
        QTRY_VERIFY(!w.readouts().clock()->isScrolling());
    }

    void theCheckAtStartUpRetriesUntilItGetsThrough()
    {
        // Start-up checks unseen; the first try finds nothing listening.
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 1);
        store->write(Key::UpdateServerHost, QStringLiteral("127.0.0.1:1"));
        ProcessState process;
        ControlWindow w(*store, prompt, process);
        w.show();
        UpdateCheck &check = w.updateCheck();
        QVERIFY(check.busy());
        QTimer *retry = w.timer(ControlWindow::UpdateTimer);
        QVERIFY(retry->isActive());
        QCOMPARE(retry->interval(), 600000);
        QList<Result> results;
        QList<bool> retries;
        connect(&check, &UpdateCheck::finished, &w, [&](Result r) {
            results << r;
            retries << check.wantsRetry();
            // The file appears after a try that found it missing, before the timer can try again.
            if (results.size() == 2) {
                serve("333");
                prompt.queueAnswer(PromptKind::AnswerNo);
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 30000);
        QCOMPARE(results[0], Result::NoConnection);
        QVERIFY(retries[0]);
        QVERIFY(prompt.messages.empty());
        QVERIFY(!w.readouts().clock()->isScrolling());
        // The retries, sooner than ten minutes: the server lacks the file, then has it.
        store->write(Key::UpdateServerHost, server->hostAndPort());
        retry->setInterval(20);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, 30000);
        QCOMPARE(results, (QList<Result>{Result::NoConnection, Result::NoConnection, Result::Declined}));
        QCOMPARE(retries, (QList<bool>{true, true, false}));
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Get Kinetrope V3.33 now?"));
        QCOMPARE(server->requests.size(), 3);
        QVERIFY(server->requests[1].path.endsWith("ftp///fullversion.txt"));
        QVERIFY(server->requests[2].path.endsWith("ftp///fullmessage.txt"));
        // Through to the server: the timer goes on but asks no more, and the unseen "no" tells nothing.
        QSignalSpy ticks(retry, &QTimer::timeout);
        QTRY_VERIFY(ticks.size() >= 3);
        QVERIFY(!check.busy());
        QCOMPARE(server->requests.size(), 3);
        QCOMPARE(results.size(), 3);
        QCOMPARE(prompt.messages.size(), size_t(1));
    }

    // No network: the button's check says so on the clock and in its box without asking
    // anyone, the start-up check is tried again quietly, and the first try once the network
    // is back gets through. Servers on this machine's loopback are reached all the same.
    void withoutANetwork()
    {
        SwitchedNetwork network;
        QVERIFY(network.canReach(server->hostAndPort()));
        QVERIFY(network.canReach(QStringLiteral("localhost:8080")));
        QVERIFY(!network.canReach(QStringLiteral("updates.example.org")));
        const QHostAddress own = ownAddress();
        if (own.isNull())
            QSKIP("this machine has no address but loopback");
        server = std::make_unique<StubHttpServer>(own);
        serve("333");
        store->write(Key::UpdateServerHost, server->hostAndPort());
        QVERIFY(!network.canReach(server->hostAndPort()));
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 1);
        ProcessState process;
        ControlWindow w(*store, prompt, process, nullptr, &network);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        UpdateCheck &check = w.updateCheck();
        QVERIFY(!check.busy()); // over before any request could start
        QCOMPARE(check.reached(), 0);
        QVERIFY(check.wantsRetry());
        QVERIFY(prompt.messages.empty());

        // What the clock circulates after each step of the button's check, from its first letter.
        QStringList shown;
        connect(&check, &UpdateCheck::progress, &w, [&](const QString &text) {
            const ScrollingDisplay *clock = w.readouts().clock();
            const QString circling = clock->scrollText();
            const qsizetype at = (circling + circling).indexOf(text);
            shown << (clock->isScrolling() && circling.size() == text.size() && at >= 0
                          ? circling.mid(at) + circling.left(at) : circling);
        });
        QTest::mouseClick(w.controls().button(ButtonId::Update), Qt::LeftButton);
        QCOMPARE(shown, (QStringList{"Attempting an internet Connection. . .  ", " No connection available. . .  "}));
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(prompt.messages[0].text, QStringLiteral("Kinetrope could not establish an internet connection!"));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("No Connection?"));
        QTRY_VERIFY(!w.readouts().clock()->isScrolling());

        // The timer's tries while the network is down ask nothing and tell nothing.
        QTimer *retry = w.timer(ControlWindow::UpdateTimer);
        QVERIFY(retry->isActive());
        QCOMPARE(retry->interval(), 600000);
        QSignalSpy done(&check, &UpdateCheck::finished);
        retry->setInterval(20);
        QTRY_VERIFY(done.size() >= 3);
        for (const QList<QVariant> &r : done)
            QCOMPARE(r.at(0).value<Result>(), Result::NoConnection);
        QVERIFY(check.wantsRetry());
        QVERIFY(server->requests.isEmpty());
        QCOMPARE(prompt.messages.size(), size_t(1));
        QCOMPARE(shown.size(), 2);

        // Back: the next try reaches the same host, offers, and no more tries follow.
        prompt.queueAnswer(PromptKind::AnswerNo);
        network.up = true;
        QTRY_COMPARE_WITH_TIMEOUT(prompt.messages.size(), size_t(2), 30000);
        QCOMPARE(prompt.messages[1].caption, QStringLiteral("Get Kinetrope V3.33 now?"));
        QTRY_VERIFY(!check.busy());
        QVERIFY(!check.wantsRetry());
        QCOMPARE(server->requests.size(), 2);
        QTest::qWait(100);
        QCOMPARE(server->requests.size(), 2);
        QCOMPARE(prompt.messages.size(), size_t(2));
        QCOMPARE(shown.size(), 2);
    }

    void slowServersAreCutOffByTimeAndSize()
    {
        UpdateCheck check(*store, prompt, connectivity);
        QCOMPARE(check.timeout(), UpdateCheck::DefaultTimeoutMs);
        // Pieces that fill the kilobyte well within the time: its first 1024 bytes are kept,
        // what the server goes on sending is not.
        const QByteArray version = "333 " + QByteArray(96, '.');
        const QByteArray news = "Faster seeks <b>and</b> a new look. " + QByteArray(64, '-');
        server->answer("fullversion.txt", {Mode::Trickle, 200, version, 5});
        server->answer("fullmessage.txt", {Mode::Trickle, 200, news, 5});
        prompt.queueAnswer(PromptKind::AnswerNo);
        QCOMPARE(run(check, true), Result::Declined);
        QCOMPARE(check.bytesKept(), qsizetype(UpdateCheck::ReadLimit));
        QVERIFY(server->bytesSent() > 2 * UpdateCheck::ReadLimit);
        QCOMPARE(server->requests.size(), 2);
        QString sent;
        while (sent.size() < UpdateCheck::ReadLimit)
            sent += QString::fromLatin1(news);
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Get Kinetrope V3.33 now?"));
        QCOMPARE(prompt.messages[0].text, sent.left(UpdateCheck::MessageLimit)
                                              + QStringLiteral("\r\rVersion 3.33 of Kinetrope is available\r"
                                                               "Do you want to download it now?\r"));

        // A byte now and then, a start and then nothing, or nothing at all: given up when the
        // time is up, and what did come is no answer.
        check.setTimeout(300);
        const StubHttpServer::Answer slow[] = {
            {Mode::Trickle, 200, "3", 100}, {Mode::Trickle, 200, "33", 3600000}, {Mode::Silence, 200, {}}};
        for (const StubHttpServer::Answer &a : slow) {
            server->requests.clear();
            prompt = ScriptedPrompt();
            server->answer("fullversion.txt", a);
            QCOMPARE(run(check, true), Result::NoConnection);
            QCOMPARE(prompt.messages.size(), size_t(1));
            QCOMPARE(prompt.messages[0].text, QStringLiteral("Kinetrope could not establish an internet connection!"));
            QCOMPARE(prompt.messages[0].caption, QStringLiteral("No Connection?"));
            QCOMPARE(server->requests.size(), 1);
            QVERIFY(check.bytesKept() < UpdateCheck::ReadLimit);
            QCOMPARE(check.reached(), 0);
            QVERIFY(check.wantsRetry());
        }
    }

    void versionText()
    {
        int v = 0;
        QVERIFY(UpdateCheck::versionOf(" +334xyz", &v));
        QCOMPARE(v, 334);
        QVERIFY(UpdateCheck::versionOf("99999999999999999999", &v));
        QCOMPARE(v, INT_MAX);
        QVERIFY(!UpdateCheck::versionOf("v3.34", &v));
        QCOMPARE(UpdateCheck::messageOf(QByteArray("one\0two", 7)), QStringLiteral("one"));
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_update_check.moc"
