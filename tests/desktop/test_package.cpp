#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QSet>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <gst/gst.h>
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

// Every package a relation field names, alternatives included, without versions.
QSet<QString> named(const QString &field)
{
    QSet<QString> names;
    for (const QString &alternative : field.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts))
        names.insert(alternative.section(u'(', 0, 0).trimmed());
    names.remove(QString());
    return names;
}

// The Debian package that holds a file on this machine ("pkg:arch: /path").
QString owner(const QString &file)
{
    const QString real = QFileInfo(file).canonicalFilePath(); // dpkg knows /usr/lib, not /lib
    const Run r = run(QStringLiteral("dpkg-query"), {"-S", real});
    return r.code == 0 ? r.out.section(QStringLiteral(": "), 0, 0).section(u':', 0, 0).trimmed() : QString();
}

QString pluginFile(GstPluginFeature *feature)
{
    GstPlugin *plugin = gst_plugin_feature_get_plugin(feature);
    if (!plugin)
        return QString();
    const QString file = QString::fromUtf8(gst_plugin_get_filename(plugin));
    gst_object_unref(plugin);
    return file;
}

QString elementOwner(const char *name)
{
    GstElementFactory *f = gst_element_factory_find(name);
    if (!f)
        return QString();
    const QString file = pluginFile(GST_PLUGIN_FEATURE(f));
    gst_object_unref(f);
    return owner(file);
}

// The packages holding a decoder for these caps, whichever GStreamer would pick.
QSet<QString> decoderOwners(const char *caps)
{
    QSet<QString> owners;
    GList *decoders = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_MARGINAL);
    GstCaps *c = gst_caps_from_string(caps);
    for (GList *l = decoders; l; l = l->next) {
        if (gst_element_factory_can_sink_any_caps(GST_ELEMENT_FACTORY(l->data), c))
            owners.insert(owner(pluginFile(GST_PLUGIN_FEATURE(l->data))));
    }
    gst_caps_unref(c);
    gst_plugin_feature_list_free(decoders);
    return owners;
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

        // The libraries linked, as dpkg-shlibdeps found them, and the plugins loaded at run time:
        // whichever package this machine's dpkg says holds each of them.
        const Run depends = run(QStringLiteral("dpkg-deb"), {"-f", deb, "Depends"});
        const Run recommends = run(QStringLiteral("dpkg-deb"), {"-f", deb, "Recommends"});
        QCOMPARE(depends.code, 0);
        QCOMPARE(recommends.code, 0);
        const QSet<QString> needed = named(depends.out), wanted = named(recommends.out) | needed;
        for (const char *d : {"libqt6widgets6", "libqt6dbus6", "libmpv2", "libpulse0", "libc6", "libgstreamer1.0-0"})
            QVERIFY2(needed.contains(QLatin1String(d)), qPrintable(depends.out));
        const QString xcb = owner(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqxcb.so");
        QVERIFY2(!xcb.isEmpty() && needed.contains(xcb), qPrintable(xcb + " not in " + depends.out));
        QVERIFY(gst_init_check(nullptr, nullptr, nullptr));
        // The DVD player's elements; without a picture decoder no disc plays.
        for (const char *e : {"rsndvdbin", "dvdspu", "videoconvert", "appsink", "queue", "audioconvert",
                              "audioresample", "pulsesink", "fakesink"}) {
            const QString p = elementOwner(e);
            QVERIFY2(!p.isEmpty() && needed.contains(p),
                     qPrintable(QLatin1String(e) + " is in '" + p + "', not in " + depends.out));
        }
        const std::pair<const char *, bool> decoders[] = {
            {"video/mpeg, mpegversion=(int)2, systemstream=(boolean)false", true},
            {"audio/x-ac3", true},
            {"audio/mpeg, mpegversion=(int)1, layer=(int)2", true},
            {"audio/x-private1-lpcm", false}}; // a disc plays without it, silent
        for (const auto &[caps, required] : decoders) {
            const QSet<QString> owners = decoderOwners(caps);
            const QString field = required ? QStringLiteral("Depends") : QStringLiteral("Recommends");
            QVERIFY2(owners.intersects(required ? needed : wanted),
                     qPrintable(QStringLiteral("no decoder for %1 in the package's %2; they are in: %3")
                                    .arg(QLatin1String(caps), field, QStringList(owners.begin(), owners.end()).join(u' '))));
        }

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
