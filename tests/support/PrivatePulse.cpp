#include "PrivatePulse.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <sys/prctl.h>

#include <csignal>

namespace {
void end(QProcess &p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.kill();
    p.waitForFinished(3000);
}
} // namespace

PrivatePulse::~PrivatePulse()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            end(m_server);
    }
}

bool PrivatePulse::start(const QString &folder)
{
    m_folder = folder;
    QDir(folder).mkpath(QStringLiteral("run"));
    QDir(folder).mkpath(QStringLiteral("config"));
    QFile::setPermissions(folder + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder + "/run");
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + "/config");
    // Else the server starts a session bus of its own under a display.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    m_server.setProcessEnvironment(env);
    // A test killed at its time-out takes its server with it.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.start(QStringLiteral("pulseaudio"),
                   {"-n", "--daemonize=no", "--use-pid-file=no", "--exit-idle-time=-1", "--disallow-exit=no",
                    "--log-target=file:" + folder + "/pulse.log",
                    "--load=module-null-sink sink_name=ci_sink sink_properties=device.description=CI-Null",
                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketPath()});
    if (!m_server.waitForStarted(5000))
        return false;
    qputenv("PULSE_SERVER", "unix:" + socketPath().toLocal8Bit());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && m_server.state() == QProcess::Running) {
        bool up = false;
        pactl({QStringLiteral("info")}, &up);
        if (up)
            return true;
        QThread::msleep(20);
    }
    return false;
}

void PrivatePulse::kill()
{
    end(m_server);
}

QString PrivatePulse::pactl(const QStringList &args, bool *ok)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    const bool done = p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = done;
    return done ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QString();
}

QList<quint32> PrivatePulse::volume(const QString &sink)
{
    // "Volume: front-left: 21627 /  33% / -28.89 dB,   front-right: 9000 /  14% / ..."
    QList<quint32> values;
    const QRegularExpression channel(QStringLiteral(R"(:\s+(\d+)\s+/)"));
    const QString line = pactl({QStringLiteral("get-sink-volume"), sink}).section(u'\n', 0, 0);
    for (const QRegularExpressionMatch &m : channel.globalMatch(line))
        values << m.captured(1).toUInt();
    return values;
}

SinkEvents::~SinkEvents()
{
    end(m_watch);
}

bool SinkEvents::start()
{
    m_watch.start(QStringLiteral("pactl"), {QStringLiteral("subscribe")});
    if (!m_watch.waitForStarted(5000))
        return false;
    // Subscribed once it tells of a client coming and going.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        PrivatePulse::pactl({QStringLiteral("info")});
        if (m_watch.waitForReadyRead(100)) {
            m_watch.readAll();
            return true;
        }
    }
    return false;
}

int SinkEvents::changes()
{
    // Events come within milliseconds of a change: read until none has come for a while.
    do {
        while (m_watch.canReadLine()) {
            if (m_watch.readLine().startsWith("Event 'change' on sink #"))
                ++m_changes;
        }
    } while (m_watch.waitForReadyRead(300));
    return m_changes;
}
