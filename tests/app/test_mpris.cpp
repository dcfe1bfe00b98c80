#include "TestEnv.h"
#include "app/MprisService.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString BusName = QStringLiteral("org.mpris.MediaPlayer2.kinetrope");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr qint64 Second = 1000000;

// Stands in for the control window, which does not exist yet. It moves like the player:
// transport changes the status, jumps tell the service as the control window will.
class FakeControl : public MediaPlayerControl
{
public:
    QStringList calls;
    Status st = Status::Stopped;
    Metadata meta;
    qint64 pos = 0;
    double r = 1.0;
    double vol = 1.0;
    bool loaded = false;
    MprisService *service = nullptr;

    void load(const QString &title, qint64 lengthUs, const QString &url)
    {
        loaded = true;
        st = Status::Stopped;
        meta = {title, lengthUs, url};
        pos = 0;
    }
    void unload()
    {
        loaded = false;
        st = Status::Stopped;
        meta = {};
        pos = 0;
    }
    void jump(qint64 p)
    {
        pos = p;
        if (service)
            service->notifySeeked(pos);
    }

    void playPause() override
    {
        calls << QStringLiteral("playPause");
        if (loaded)
            st = st == Status::Playing ? Status::Paused : Status::Playing;
    }
    void play() override
    {
        calls << QStringLiteral("play");
        if (loaded)
            st = Status::Playing;
    }
    void pause() override
    {
        calls << QStringLiteral("pause");
        if (st == Status::Playing)
            st = Status::Paused;
    }
    void stop() override
    {
        calls << QStringLiteral("stop");
        if (loaded && st != Status::Stopped) {
            st = Status::Stopped;
            jump(0);
        }
    }
    void next() override
    {
        calls << QStringLiteral("next");
        jump(meta.lengthUs);
    }
    void previous() override
    {
        calls << QStringLiteral("previous");
        jump(0);
    }
    void seekBy(qint64 offsetUs) override
    {
        calls << QStringLiteral("seekBy %1").arg(offsetUs);
        jump(pos + offsetUs);
    }
    void setPositionUs(qint64 positionUs) override
    {
        calls << QStringLiteral("setPosition %1").arg(positionUs);
        jump(positionUs);
    }
    void openUri(const QString &uri) override { calls << QStringLiteral("open ") + uri; }
    void raise() override { calls << QStringLiteral("raise"); }
    void quit() override { calls << QStringLiteral("quit"); }

    Status status() const override { return st; }
    Metadata metadata() const override { return meta; }
    qint64 positionUs() const override { return pos; }
    double rate() const override { return r; }
    void setRate(double rate) override
    {
        calls << QStringLiteral("rate %1").arg(rate);
        r = rate;
    }
    double volume() const override { return vol; }
    void setVolume(double v) override
    {
        calls << QStringLiteral("volume %1").arg(v);
        vol = v;
    }
    bool isLoaded() const override { return loaded; }
};

// What a desktop client sees of the player's signals.
class Observer : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;

public Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == MprisService::PlayerInterface)
            changes << changed;
    }
    void seeked(qlonglong position) { seeks << position; }
};

struct Run {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

QVariantMap demarshalMap(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

} // namespace

// The MPRIS object on a private session bus, driven by the real playerctl.
class TestMpris : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    QProcess daemon;
    QString address;
    std::unique_ptr<FakeControl> control;
    std::unique_ptr<MprisService> service;
    std::unique_ptr<Observer> observer;

    static QDBusConnection serviceBus() { return QDBusConnection(QStringLiteral("kt-mpris-service")); }
    static QDBusConnection clientBus() { return QDBusConnection(QStringLiteral("kt-mpris-client")); }

    // The service answers on this thread, so the client must keep the event loop running.
    Run playerctl(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        p.setProcessEnvironment(e);
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        p.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("kinetrope")} + args);
        timeout.start(10000);
        if (p.state() != QProcess::NotRunning)
            loop.exec();
        Run r;
        r.finished = p.state() == QProcess::NotRunning && p.exitStatus() == QProcess::NormalExit;
        if (!r.finished) {
            p.kill();
            p.waitForFinished(2000);
        }
        r.exitCode = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return r;
    }

    QString ctl(const QStringList &args)
    {
        const Run r = playerctl(args);
        if (!r.finished || r.exitCode != 0)
            qWarning().noquote() << "playerctl" << args.join(u' ') << "failed:" << r.exitCode << r.err;
        return r.out;
    }

    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(BusName, MprisService::ObjectPath, interface, method);
        m.setArguments(args);
        return clientBus().call(m, QDBus::BlockWithGui, 5000);
    }

    QVariant get(const QString &interface, const QString &name)
    {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().at(0).value<QDBusVariant>().variant();
    }

    QDBusMessage set(const QString &name, const QVariant &value)
    {
        return call(Properties, QStringLiteral("Set"),
                    {MprisService::PlayerInterface, name, QVariant::fromValue(QDBusVariant(value))});
    }

    // Everything the service sent before this round trip has reached the observer.
    void settle()
    {
        get(MprisService::PlayerInterface, QStringLiteral("PlaybackStatus"));
        QCoreApplication::processEvents();
    }

    void loadClip(const QString &title = QStringLiteral("Clip One"),
                  const QString &url = QStringLiteral("file:///media/clip%20one.mp4"))
    {
        control->load(title, 20 * Second, url);
        service->notifyStateChanged();
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(),
                 "dbus-daemon is missing (scripts/install-deps.sh)");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("playerctl")).isEmpty(),
                 "playerctl is missing (scripts/install-deps.sh)");

        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--print-address"),
                      QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                      QStringLiteral("--address=unix:dir=") + env->path(QStringLiteral("tmp"))});
        QVERIFY(daemon.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(daemon.canReadLine(), 10000);
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        QVERIFY(!address.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());

        QVERIFY(QDBusConnection::connectToBus(address, QStringLiteral("kt-mpris-service")).isConnected());
        QVERIFY(QDBusConnection::connectToBus(address, QStringLiteral("kt-mpris-client")).isConnected());
        QVERIFY(serviceBus().registerService(BusName));
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("kt-mpris-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kt-mpris-service"));
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) {
            daemon.kill();
            daemon.waitForFinished(2000);
        }
    }

    void init()
    {
        control = std::make_unique<FakeControl>();
        service = std::make_unique<MprisService>(serviceBus(), *control);
        control->service = service.get();
        QVERIFY(service->isRegistered());
        observer = std::make_unique<Observer>();
        QVERIFY(clientBus().connect(BusName, MprisService::ObjectPath, Properties,
                                    QStringLiteral("PropertiesChanged"), observer.get(),
                                    SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(clientBus().connect(BusName, MprisService::ObjectPath, MprisService::PlayerInterface,
                                    QStringLiteral("Seeked"), observer.get(), SLOT(seeked(qlonglong))));
        // playerctl must find the player before any test relies on it.
        QTRY_VERIFY_WITH_TIMEOUT(playerctl({QStringLiteral("-l")}).out.split(u'\n').contains(
                                     QStringLiteral("kinetrope")),
                                 10000);
    }

    void cleanup()
    {
        clientBus().disconnect(BusName, MprisService::ObjectPath, Properties,
                               QStringLiteral("PropertiesChanged"), observer.get(),
                               SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        clientBus().disconnect(BusName, MprisService::ObjectPath, MprisService::PlayerInterface,
                               QStringLiteral("Seeked"), observer.get(), SLOT(seeked(qlonglong)));
        service.reset();
        control.reset();
        observer.reset();
    }

    void rootInterfaceAndWireTypes()
    {
        const QString root = MprisService::RootInterface;
        QCOMPARE(get(root, QStringLiteral("Identity")).toString(), QStringLiteral("Kinetrope"));
        QCOMPARE(get(root, QStringLiteral("DesktopEntry")).toString(), QStringLiteral("org.ostrevan.Kinetrope"));
        QCOMPARE(get(root, QStringLiteral("CanQuit")).toBool(), true);
        QCOMPARE(get(root, QStringLiteral("CanRaise")).toBool(), true);
        QCOMPARE(get(root, QStringLiteral("HasTrackList")).toBool(), false);
        QCOMPARE(get(root, QStringLiteral("SupportedUriSchemes")).toStringList(),
                 (QStringList{QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")}));
        const QStringList mimes = get(root, QStringLiteral("SupportedMimeTypes")).toStringList();
        QVERIFY(mimes.contains(QStringLiteral("video/mp4")));
        QVERIFY(mimes.contains(QStringLiteral("audio/mpeg")));

        // Raise and Quit answer first and act afterwards.
        QCOMPARE(call(root, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(call(root, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(control->calls, (QStringList{QStringLiteral("raise"), QStringLiteral("quit")}));

        // The declared types are the ones the protocol prescribes.
        const QDBusMessage xml = call(QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                      QStringLiteral("Introspect"));
        const QString text = xml.arguments().value(0).toString();
        QVERIFY(text.contains(QStringLiteral("<property name=\"Metadata\" type=\"a{sv}\" access=\"read\"")));
        QVERIFY(text.contains(QStringLiteral("<property name=\"Position\" type=\"x\" access=\"read\"")));
        QVERIFY(text.contains(QStringLiteral("<property name=\"Rate\" type=\"d\" access=\"readwrite\"")));
        QVERIFY(text.contains(QStringLiteral("<property name=\"Volume\" type=\"d\" access=\"readwrite\"")));
        QVERIFY(text.contains(QStringLiteral("<signal name=\"Seeked\">")));
        QVERIFY(text.contains(QStringLiteral("<method name=\"SetPosition\">")));

        // Nothing loaded: only the no-track id.
        QVariantMap meta = demarshalMap(get(MprisService::PlayerInterface, QStringLiteral("Metadata")));
        QCOMPARE(meta.keys(), QStringList{QStringLiteral("mpris:trackid")});
        QCOMPARE(meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(), MprisService::NoTrack);

        loadClip();
        meta = demarshalMap(get(MprisService::PlayerInterface, QStringLiteral("Metadata")));
        QCOMPARE(meta.value(QStringLiteral("mpris:trackid")).metaType(), QMetaType::fromType<QDBusObjectPath>());
        QCOMPARE(meta.value(QStringLiteral("mpris:length")).metaType(), QMetaType::fromType<qlonglong>());
        QCOMPARE(meta.value(QStringLiteral("mpris:length")).toLongLong(), 20 * Second);
        QCOMPARE(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Clip One"));
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("Volume")).toDouble(), 1.0);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("MinimumRate")).toDouble(), 0.1);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("MaximumRate")).toDouble(), 10.0);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("CanControl")).toBool(), true);
    }

    void transportThroughPlayerctl()
    {
        // Nothing loaded: the playing state cannot change, and playerctl sees no track.
        QCOMPARE(ctl({QStringLiteral("status")}), QStringLiteral("Stopped"));
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("CanPlay")).toBool(), false);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("CanGoNext")).toBool(), false);
        // Next and Previous ask nothing of the control without a file.
        call(MprisService::PlayerInterface, QStringLiteral("Next"));
        call(MprisService::PlayerInterface, QStringLiteral("Previous"));
        // The play/pause key with nothing loaded still reaches the control (it prompts for a
        // file), but only after the reply.
        call(MprisService::PlayerInterface, QStringLiteral("PlayPause"));
        QTRY_COMPARE(control->calls, QStringList{QStringLiteral("playPause")});
        control->calls.clear();

        loadClip();
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("CanPlay")).toBool(), true);
        const struct {
            const char *command;
            const char *call;
            const char *status;
        } steps[] = {
            {"play", "play", "Playing"},       {"pause", "pause", "Paused"},
            {"play-pause", "playPause", "Playing"}, {"play-pause", "playPause", "Paused"},
            {"play", "play", "Playing"},       {"stop", "stop", "Stopped"},
            {"pause", "pause", "Stopped"},     {"play-pause", "playPause", "Playing"},
        };
        for (const auto &step : steps) {
            control->calls.clear();
            const Run r = playerctl({QString::fromLatin1(step.command)});
            QVERIFY2(r.finished && r.exitCode == 0, qPrintable(r.err));
            QCOMPARE(control->calls, QStringList{QString::fromLatin1(step.call)});
            QCOMPARE(ctl({QStringLiteral("status")}), QString::fromLatin1(step.status));
        }

        control->calls.clear();
        control->pos = 7 * Second;
        ctl({QStringLiteral("next")});
        QCOMPARE(control->calls, QStringList{QStringLiteral("next")});
        QCOMPARE(control->pos, 20 * Second);
        ctl({QStringLiteral("previous")});
        QCOMPARE(control->calls, (QStringList{QStringLiteral("next"), QStringLiteral("previous")}));
        QCOMPARE(control->pos, 0);
    }

    void metadataAndTrackIds()
    {
        loadClip();
        QCOMPARE(ctl({QStringLiteral("metadata"), QStringLiteral("title")}), QStringLiteral("Clip One"));
        QCOMPARE(ctl({QStringLiteral("metadata"), QStringLiteral("mpris:length")}), QStringLiteral("20000000"));
        QCOMPARE(ctl({QStringLiteral("metadata"), QStringLiteral("xesam:url")}),
                 QStringLiteral("file:///media/clip%20one.mp4"));
        QCOMPARE(ctl({QStringLiteral("metadata"), QStringLiteral("--format"),
                      QStringLiteral("{{mpris:trackid}} {{duration(mpris:length)}}")}),
                 QStringLiteral("'/org/kinetrope/track/1' 0:20")); // playerctl quotes object paths

        // Asking again, or a notice without a change, keeps the id and says nothing.
        settle();
        observer->changes.clear();
        service->notifyStateChanged();
        QCOMPARE(service->trackId().path(), QStringLiteral("/org/kinetrope/track/1"));
        settle();
        QVERIFY(observer->changes.isEmpty());

        // Another file: a new id, published with the rest of the metadata.
        loadClip(QStringLiteral("Clip Two"), QStringLiteral("file:///media/two.mkv"));
        QTRY_COMPARE(observer->changes.size(), 1);
        QVariantMap changed = observer->changes.takeFirst();
        QCOMPARE(changed.keys(), QStringList{QStringLiteral("Metadata")});
        QVariantMap meta = demarshalMap(changed.value(QStringLiteral("Metadata")));
        QCOMPARE(meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 QStringLiteral("/org/kinetrope/track/2"));
        QCOMPARE(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Clip Two"));
        QCOMPARE(ctl({QStringLiteral("metadata"), QStringLiteral("title")}), QStringLiteral("Clip Two"));

        // Unloading withdraws the track and everything that needs one.
        control->unload();
        service->notifyStateChanged();
        QTRY_COMPARE(observer->changes.size(), 1);
        changed = observer->changes.takeFirst();
        QCOMPARE(demarshalMap(changed.value(QStringLiteral("Metadata"))).keys(),
                 QStringList{QStringLiteral("mpris:trackid")});
        for (const char *name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
            QCOMPARE(changed.value(QString::fromLatin1(name)).toBool(), false);
        QVERIFY(!changed.contains(QStringLiteral("PlaybackStatus"))); // it was stopped already

        // The same file loaded again is a new track.
        loadClip(QStringLiteral("Clip Two"), QStringLiteral("file:///media/two.mkv"));
        QCOMPARE(service->trackId().path(), QStringLiteral("/org/kinetrope/track/3"));
    }

    void positionAndSeeks()
    {
        // Without a file there is nothing to seek in.
        call(MprisService::PlayerInterface, QStringLiteral("Seek"), {QVariant::fromValue(qlonglong(Second))});
        QVERIFY(control->calls.isEmpty());

        loadClip();
        control->pos = 3 * Second;
        control->st = MediaPlayerControl::Status::Paused; // playerctl reads 0 while stopped
        service->notifyStateChanged();
        QCOMPARE(ctl({QStringLiteral("position")}).toDouble(), 3.0);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("Position")).toLongLong(), 3 * Second);

        // Absolute, then relative both ways; one Seeked each although the control also
        // reports its own jump.
        settle();
        ctl({QStringLiteral("position"), QStringLiteral("7")});
        QCOMPARE(control->pos, 7 * Second);
        ctl({QStringLiteral("position"), QStringLiteral("5+")});
        QCOMPARE(control->pos, 12 * Second);
        ctl({QStringLiteral("position"), QStringLiteral("2-")});
        QCOMPARE(control->pos, 10 * Second);
        QTRY_COMPARE(observer->seeks, (QList<qlonglong>{7 * Second, 12 * Second, 10 * Second}));
        QCOMPARE(control->calls, (QStringList{QStringLiteral("setPosition 7000000"), QStringLiteral("seekBy 5000000"),
                                              QStringLiteral("seekBy -2000000")}));
        QCOMPARE(ctl({QStringLiteral("position")}).toDouble(), 10.0);

        // Before the start: to the start. Past the end: the next-track request.
        observer->seeks.clear();
        control->calls.clear();
        ctl({QStringLiteral("position"), QStringLiteral("60-")});
        QCOMPARE(control->calls, QStringList{QStringLiteral("setPosition 0")});
        ctl({QStringLiteral("position"), QStringLiteral("60+")});
        QCOMPARE(control->calls, (QStringList{QStringLiteral("setPosition 0"), QStringLiteral("next")}));
        // An offset that would overflow the position is still just past the end.
        call(MprisService::PlayerInterface, QStringLiteral("Seek"),
             {QVariant::fromValue(std::numeric_limits<qlonglong>::max())});
        QCOMPARE(control->calls.last(), QStringLiteral("next"));
        QTRY_COMPARE(observer->seeks, (QList<qlonglong>{0, 20 * Second, 20 * Second}));

        // SetPosition ignores a stale track, a negative position and one past the end.
        control->calls.clear();
        const auto setPosition = [this](const QString &track, qlonglong position) {
            return call(MprisService::PlayerInterface, QStringLiteral("SetPosition"),
                        {QVariant::fromValue(QDBusObjectPath(track)), QVariant::fromValue(position)});
        };
        QCOMPARE(setPosition(QStringLiteral("/org/kinetrope/track/99"), Second).type(), QDBusMessage::ReplyMessage);
        setPosition(service->trackId().path(), -1);
        setPosition(service->trackId().path(), 20 * Second + 1);
        QVERIFY(control->calls.isEmpty());
        setPosition(service->trackId().path(), 20 * Second);
        QCOMPARE(control->calls, QStringList{QStringLiteral("setPosition 20000000")});

        // A jump the owner makes on its own goes out at once.
        observer->seeks.clear();
        service->notifySeeked(4 * Second);
        QTRY_COMPARE(observer->seeks, QList<qlonglong>{4 * Second});
    }

    void stateChangesAreSignalled()
    {
        loadClip();
        QTRY_COMPARE(observer->changes.size(), 1);
        QVariantMap changed = observer->changes.takeFirst();
        for (const char *name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
            QCOMPARE(changed.value(QString::fromLatin1(name)).toBool(), true);
        QVERIFY(changed.contains(QStringLiteral("Metadata")));

        // A request that changes the status publishes just that, and never the position.
        ctl({QStringLiteral("play")});
        QTRY_COMPARE(observer->changes.size(), 1);
        changed = observer->changes.takeFirst();
        QCOMPARE(changed.keys(), QStringList{QStringLiteral("PlaybackStatus")});
        QCOMPARE(changed.value(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));

        // A change made by the player itself is published when the owner says so.
        control->st = MediaPlayerControl::Status::Paused;
        control->r = 0.5;
        service->notifyStateChanged();
        QTRY_COMPARE(observer->changes.size(), 1);
        changed = observer->changes.takeFirst();
        QCOMPARE(changed.value(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
        QCOMPARE(changed.value(QStringLiteral("Rate")).toDouble(), 0.5);
        QCOMPARE(changed.size(), 2);

        // A seek moves only the position: Seeked, no PropertiesChanged.
        ctl({QStringLiteral("position"), QStringLiteral("1+")});
        QTRY_COMPARE(observer->seeks.size(), 1);
        settle();
        QVERIFY(observer->changes.isEmpty());
    }

    void rateAndOpenUri()
    {
        loadClip();
        settle();
        observer->changes.clear();
        QCOMPARE(set(QStringLiteral("Rate"), 2.0).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(control->r, 2.0);
        QTRY_COMPARE(observer->changes.size(), 1);
        QCOMPARE(observer->changes.takeFirst().value(QStringLiteral("Rate")).toDouble(), 2.0);
        QCOMPARE(get(MprisService::PlayerInterface, QStringLiteral("Rate")).toDouble(), 2.0);

        // Out of range is ignored; zero means pause.
        set(QStringLiteral("Rate"), 50.0);
        set(QStringLiteral("Rate"), 0.05);
        set(QStringLiteral("Rate"), -1.0);
        QCOMPARE(control->r, 2.0);
        control->calls.clear();
        control->st = MediaPlayerControl::Status::Playing;
        set(QStringLiteral("Rate"), 0.0);
        QCOMPARE(control->calls, QStringList{QStringLiteral("pause")});
        QCOMPARE(control->r, 2.0);
        // The volume is the sound server's: playerctl sets it through the control, and
        // the change comes back to clients.
        settle();
        observer->changes.clear();
        ctl({QStringLiteral("volume"), QStringLiteral("0.25")});
        QCOMPARE(control->vol, 0.25);
        QTRY_COMPARE(observer->changes.size(), 1);
        QCOMPARE(observer->changes.takeFirst().value(QStringLiteral("Volume")).toDouble(), 0.25);

        // Local files and web addresses are handed on after the reply; anything else is refused.
        control->calls.clear();
        const Run remote = playerctl({QStringLiteral("open"), QStringLiteral("https://example.com/a.mp4")});
        QVERIFY(remote.finished);
        QTRY_COMPARE(control->calls, QStringList{QStringLiteral("open https://example.com/a.mp4")});
        control->calls.clear();
        const QDBusMessage refused = call(MprisService::PlayerInterface, QStringLiteral("OpenUri"),
                                          {QStringLiteral("ftp://example.com/a.mp4")});
        QCOMPARE(refused.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(call(MprisService::PlayerInterface, QStringLiteral("OpenUri"), {QStringLiteral("not a uri")}).type(),
                 QDBusMessage::ErrorMessage);
        QCOMPARE(ctl({QStringLiteral("open"), QStringLiteral("file:///media/new%20clip.mp4")}), QString());
        QTRY_COMPARE(control->calls, QStringList{QStringLiteral("open file:///media/new%20clip.mp4")});
    }
};

QTEST_GUILESS_MAIN(TestMpris)
#include "test_mpris.moc"
