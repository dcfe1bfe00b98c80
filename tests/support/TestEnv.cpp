#include "TestEnv.h"

#include <QDir>
#include <QSettings>

namespace {
QString baseTemp()
{
    QByteArray t = qgetenv("KT_TEST_TMP");
    if (t.isEmpty()) {
        // Never inside an earlier TestEnv's folder, which goes when that one does.
        if (!qEnvironmentVariableIsSet("KT_TEST_TMP_BASE"))
            qputenv("KT_TEST_TMP_BASE", QDir::tempPath().toLocal8Bit() + "/kt-test");
        t = qgetenv("KT_TEST_TMP_BASE");
    }
    QDir().mkpath(QString::fromLocal8Bit(t));
    return QString::fromLocal8Bit(t) + QStringLiteral("/env-XXXXXX");
}
} // namespace

TestEnv::TestEnv() : m_dir(baseTemp())
{
    const QString r = m_dir.path();
    for (const char *d : {"config", "data", "cache", "home", "tmp", "runtime"})
        QDir(r).mkpath(QString::fromLatin1(d));
    qputenv("XDG_CONFIG_HOME", (r + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (r + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (r + "/cache").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (r + "/runtime").toLocal8Bit());
    qputenv("HOME", (r + "/home").toLocal8Bit());
    qputenv("TMPDIR", (r + "/tmp").toLocal8Bit());
    QFile::setPermissions(r + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, r + "/config");
}

QProcessEnvironment TestEnv::processEnvironment() const
{
    return QProcessEnvironment::systemEnvironment();
}
