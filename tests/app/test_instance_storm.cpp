// Many starts of the real program at once: fifty later starts with files fired at a running
// player, and twenty first starts racing each other.
#include "SessionBus.h"
#include "TestEnv.h"
#include "TestMedia.h"
#include "app/InstanceGuard.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestInstanceStorm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SessionBus> bus;
    std::vector<std::unique_ptr<QProcess>> running;

    QDBusConnection connection()
    {
        return QDBusConnection::connectToBus(bus->address(), QStringLiteral("storm-") + bus->address());
    }

    QString playingUrl()
    {
        QDBusInterface props(QStringLiteral("org.mpris.MediaPlayer2.kinetrope"), QStringLiteral("/org/mpris/MediaPlayer2"),
                             QStringLiteral("org.freedesktop.DBus.Properties"), connection());
        QDBusReply<QVariant> m = props.call(QStringLiteral("Get"), QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                            QStringLiteral("Metadata"));
        if (!m.isValid())
            return {};
        QVariantMap out;
        m.value().value<QDBusArgument>() >> out;
        return out.value(QStringLiteral("xesam:url")).toString();
    }

    // Players that own a media-player name on the bus.
    int playersOnTheBus()
    {
        const QStringList names = connection().interface()->registeredServiceNames();
        return int(std::count_if(names.begin(), names.end(),
                                 [](const QString &n) { return n.startsWith(QLatin1String("org.mpris.MediaPlayer2.kinetrope")); }));
    }

    QProcess *start(const QStringList &args)
    {
        auto p = std::make_unique<QProcess>();
        p->setProgram(QStringLiteral(KT_PROGRAM));
        p->setArguments(args);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start();
        running.push_back(std::move(p));
        return running.back().get();
    }

    QString guardServer()
    {
        ScriptedPrompt prompt;
        return InstanceGuard(QStringLiteral("kinetrope"), prompt).serverName();
    }

    bool guardAnswers()
    {
        QLocalSocket s;
        s.connectToServer(guardServer());
        const bool ok = s.waitForConnected(500);
        s.abort();
        return ok;
    }

    // Every key of the settings file and its value.
    static QMap<QString, QString> allSettings()
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(Key::Company), QStringLiteral("kinetrope"));
        QMap<QString, QString> out;
        for (const QString &k : s.allKeys())
            out.insert(k, s.value(k).toString());
        return out;
    }

    // The guard left nothing behind: no socket, and a lock nobody holds.
    void nothingLeftBehind()
    {
        ScriptedPrompt prompt;
        const InstanceGuard guard(QStringLiteral("kinetrope"), prompt);
        QVERIFY2(!QFileInfo::exists(guard.serverName()), qPrintable(guard.serverName()));
        const int fd = ::open(QFile::encodeName(guard.lockFileName()).constData(), O_RDWR);
        if (fd >= 0) {
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            ::close(fd);
        }
    }

    void quitPlayer(QProcess *p)
    {
        QDBusInterface root(QStringLiteral("org.mpris.MediaPlayer2.kinetrope"), QStringLiteral("/org/mpris/MediaPlayer2"),
                            QStringLiteral("org.mpris.MediaPlayer2"), connection());
        root.call(QStringLiteral("Quit"));
        QVERIFY(p->waitForFinished(15000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>();
        bus = std::make_unique<SessionBus>();
        QVERIFY(bus->start(env->path(QStringLiteral("tmp"))));
        SettingsStore s(QStringLiteral("kinetrope"));
        s.write(Key::SplashDisable, 1);
        s.write(Key::AutoUpdateNotification, 0);
        // Keys the program never writes: a lost write would lose them.
        for (int i = 0; i < 30; ++i)
            s.writeProfileString(QLatin1String(Key::Section), QStringLiteral("Storm Probe %1").arg(i), QString::number(i * 7));
    }

    void cleanup()
    {
        for (auto &p : running) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        running.clear();
        QDBusConnection::disconnectFromBus(QStringLiteral("storm-") + bus->address());
        bus.reset();
    }

    void fiftyLaterStartsWithFiles()
    {
        const QString clip = TestMedia::mp3Audio();
        QVERIFY(!clip.isEmpty());
        QStringList files;
        for (int i = 0; i < 50; ++i) {
            files << env->path(QStringLiteral("home/offer %1.mp3").arg(i));
            QVERIFY(QFile::copy(clip, files.back()));
        }
        QProcess *first = start({TestMedia::mpeg1Ps()});
        QTRY_VERIFY_WITH_TIMEOUT(guardAnswers(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(playingUrl(), QUrl::fromLocalFile(TestMedia::mpeg1Ps()).toString(), 15000);
        const QMap<QString, QString> before = allSettings();

        // Forty-nine at once, as fast as they can be started.
        QElapsedTimer t;
        t.start();
        std::vector<QProcess *> later;
        for (int i = 0; i < 49; ++i)
            later.push_back(start({files[i]}));
        for (QProcess *p : later) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        const qint64 stormMs = t.elapsed();
        QCOMPARE(first->state(), QProcess::Running);
        // It plays one of them, and the last offer of all is the one it ends on.
        QTRY_VERIFY_WITH_TIMEOUT(files.contains(QUrl(playingUrl()).toLocalFile()), 15000);
        QProcess *last = start({files[49]});
        QVERIFY(last->waitForFinished(30000));
        QCOMPARE(last->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(playingUrl(), QUrl::fromLocalFile(files[49]).toString(), 15000);
        SettingsStore s(QStringLiteral("kinetrope"));
        QTRY_COMPARE_WITH_TIMEOUT(s.read(Key::MultipleInstanceRunTimeFlag), 0, 5000);
        QCOMPARE(s.read(Key::MultipleInstanceRunTimeStr), QString());
        QCOMPARE(playersOnTheBus(), 1);

        quitPlayer(first);
        const QMap<QString, QString> after = allSettings();
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY2(after.contains(it.key()), qPrintable(QStringLiteral("lost: ") + it.key()));
        for (int i = 0; i < 30; ++i)
            QCOMPARE(after.value(QStringLiteral("Kinetrope/Storm Probe %1").arg(i)), QString::number(i * 7));
        nothingLeftBehind();
        qInfo("49 later starts at once in %lld ms, then one more: all exited 0, the player plays the last, "
              "%lld keys kept", static_cast<long long>(stormMs), static_cast<long long>(before.size()));
    }

    void twentyFirstStartsLeaveOnePlayer()
    {
        std::vector<QProcess *> players;
        for (int i = 0; i < 20; ++i)
            players.push_back(start({}));
        auto ended = [&] {
            return int(std::count_if(players.begin(), players.end(), [](QProcess *p) { return p->state() == QProcess::NotRunning; }));
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 19, 120000);
        QTest::qWait(1000);
        QCOMPARE(ended(), 19);
        QProcess *survivor = nullptr;
        for (QProcess *p : players) {
            if (p->state() != QProcess::NotRunning) {
                survivor = p;
                continue;
            }
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        QVERIFY(survivor);
        QVERIFY(guardAnswers());
        QTRY_COMPARE_WITH_TIMEOUT(playersOnTheBus(), 1, 10000);
        quitPlayer(survivor);
        nothingLeftBehind();
        // And the next start is a first start again.
        QProcess *next = start({TestMedia::mp3Audio()});
        QTRY_COMPARE_WITH_TIMEOUT(playingUrl(), QUrl::fromLocalFile(TestMedia::mp3Audio()).toString(), 15000);
        quitPlayer(next);
    }
};

QTEST_MAIN(TestInstanceStorm)
#include "test_instance_storm.moc"
