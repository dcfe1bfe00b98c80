#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <sys/file.h>
#include <unistd.h>

namespace {
const QString Id = QStringLiteral(KT_DESKTOP_ID);
const QString Installed = QStringLiteral("/usr/bin/kinetrope");

struct Run {
    int code = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 180000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, QStringLiteral("timed out: ") + program};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

bool packageInstalled()
{
    const Run q = run(QStringLiteral("dpkg-query"), {"-W", "-f=${Status}", "kinetrope"});
    return q.code == 0 && q.out.contains(QLatin1String("install ok installed"));
}

// apt waits for the package database while another installer holds it.
const QStringList Apt{"-y", "-q", "-o", "DPkg::Lock::Timeout=300"};
} // namespace

// The Debian package made from the build: what it holds, what it needs, and a real install,
// run and purge on this machine (a throwaway one in CI, where the tests run as root).
class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packageBuildsInstallsRunsAndPurges()
    {
        TestEnv env;
        const QString out = env.path(QStringLiteral("package"));
        const Run cpack = run(QStringLiteral(KT_CPACK),
                              {"-G", "DEB", "--config", QStringLiteral(KT_BUILD_DIR "/CPackConfig.cmake"), "-B", out});
        QVERIFY2(cpack.code == 0, qPrintable(cpack.out));
        const QString deb = QDir(out).filePath(QStringLiteral("kinetrope_" KT_VERSION "_amd64.deb"));
        QVERIFY2(QFileInfo(deb).isFile(), qPrintable(cpack.out));

        const Run contents = run(QStringLiteral("dpkg-deb"), {"-c", deb});
        QCOMPARE(contents.code, 0);
        for (const QString &f : {QStringLiteral("./usr/bin/kinetrope"), "./usr/share/applications/" + Id + ".desktop",
                                 "./usr/share/metainfo/" + Id + ".metainfo.xml",
                                 QStringLiteral("./usr/share/mime/packages/kinetrope.xml"),
                                 "./usr/share/icons/hicolor/48x48/apps/" + Id + ".png",
                                 "./usr/share/icons/hicolor/scalable/apps/" + Id + ".svg",
                                 QStringLiteral("./usr/share/man/man1/kinetrope.1.gz"),
                                 QStringLiteral("./usr/share/doc/kinetrope/copyright"),
                                 QStringLiteral("./usr/share/doc/kinetrope/readme.htm")}) {
            QVERIFY2(contents.out.contains(QLatin1Char(' ') + f + QLatin1Char('\n')), qPrintable(f));
        }
        // Owned by root, and nothing from the build tree.
        QVERIFY(!contents.out.contains(QLatin1String(KT_BUILD_DIR)));
        for (const QString &line : contents.out.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(line.contains(QLatin1String(" root/root ")), qPrintable(line));

        // The libraries linked, as dpkg-shlibdeps found them, and the plugins loaded at run time.
        const Run depends = run(QStringLiteral("dpkg-deb"), {"-f", deb, "Depends"});
        QCOMPARE(depends.code, 0);
        for (const char *d : {"libqt6widgets6", "libqt6dbus6", "libmpv2", "libpulse0", "libc6", "qt6-qpa-plugins",
                              "gstreamer1.0-plugins-bad"})
            QVERIFY2(depends.out.contains(QLatin1String(d)), qPrintable(depends.out));

        if (!QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty()) {
            const Run lintian = run(QStringLiteral("lintian"), {"--tag-display-limit", "0", deb});
            const QStringList errors = lintian.out.split(u'\n').filter(QRegularExpression(QStringLiteral("^E: ")));
            QVERIFY2(errors.isEmpty(), qPrintable(lintian.out));
            qInfo().noquote() << "lintian:" << (lintian.out.trimmed().isEmpty() ? QStringLiteral("clean") : lintian.out);
        }

        if (::geteuid() != 0)
            QSKIP("installing the package needs root");
        // One install at a time on this machine, whichever test run asks.
        QFile gate(QStringLiteral("/tmp/kinetrope-package-test.lock"));
        QVERIFY(gate.open(QIODevice::ReadWrite));
        QCOMPARE(::flock(gate.handle(), LOCK_EX), 0);
        if (packageInstalled())
            QSKIP("a kinetrope package is installed already; it is not ours to remove");

        const Run install = run(QStringLiteral("apt-get"), QStringList(Apt) << "install" << deb);
        QVERIFY2(install.code == 0 && packageInstalled(), qPrintable(install.out));
        const Run version = run(Installed, {"--version"}, 20000);
        const Run types = run(QStringLiteral("grep"), {"-c", "application/x-kinetrope-playlist", "/usr/share/mime/types"});
        const bool launcher = QFileInfo::exists("/usr/share/applications/" + Id + ".desktop");
        const Run purge = run(QStringLiteral("apt-get"), QStringList(Apt) << "purge" << "kinetrope");

        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("Kinetrope " KT_VERSION "\n"));
        QVERIFY(launcher);
        QVERIFY2(types.code == 0, "the installed type database does not know our lists");
        QVERIFY2(purge.code == 0 && !packageInstalled(), qPrintable(purge.out));
        QVERIFY(!QFileInfo::exists(Installed));
        QVERIFY(!QFileInfo::exists("/usr/share/applications/" + Id + ".desktop"));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
