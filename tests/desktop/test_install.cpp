#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString Id = QStringLiteral(KT_DESKTOP_ID);

struct Run {
    int code = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(90000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}
} // namespace

// An install into a fresh prefix holds everything a desktop needs, and the desktop's own
// tools accept it.
class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void installTreeIsCompleteAndValid()
    {
        TestEnv env;
        const QString prefix = env.path(QStringLiteral("prefix"));
        const Run install = run(QStringLiteral(KT_CMAKE), {"--install", KT_BUILD_DIR, "--prefix", prefix});
        QVERIFY2(install.code == 0, qPrintable(install.out));
        const QDir root(prefix);

        const QStringList files{
            "bin/kinetrope",
            "share/applications/" + Id + ".desktop",
            "share/metainfo/" + Id + ".metainfo.xml",
            "share/mime/packages/kinetrope.xml",
            "share/icons/hicolor/scalable/apps/" + Id + ".svg",
            "share/man/man1/kinetrope.1.gz",
            "share/doc/kinetrope/readme.htm",
            "share/doc/kinetrope/documentation/assoc.htm",
            "share/doc/kinetrope/LICENSE",
            "share/doc/kinetrope/copyright",
            "share/doc/kinetrope/changelog.gz",
        };
        for (const QString &f : files)
            QVERIFY2(QFileInfo(root.filePath(f)).isFile(), qPrintable(f));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("bin/kinetrope"))).isExecutable());
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString png = root.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(Id));
            QImageReader reader(png);
            QCOMPARE(reader.size(), QSize(size, size));
        }

        // The launcher: valid, offering our lists and the common media, claiming our windows.
        const QString entry = root.filePath("share/applications/" + Id + ".desktop");
        const Run validate = run(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY2(validate.code == 0 && validate.out.trimmed().isEmpty(), qPrintable(validate.out));
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("kinetrope %F"));
        QCOMPARE(desktop.value(QStringLiteral("Icon")).toString(), Id);
        QCOMPARE(desktop.value(QStringLiteral("StartupWMClass")).toString(), QStringLiteral(KT_WINDOW_CLASS));
        QCOMPARE(desktop.value(QStringLiteral("GenericName")).toString(), QStringLiteral("Media Player"));
        QFile raw(entry);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(raw.readAll());
        QVERIFY(text.contains(QLatin1String("\nCategories=AudioVideo;Player;Video;\n")));
        for (const char *type : {"application/x-kinetrope-playlist;", "video/mp4;", "video/x-matroska;", "audio/mpeg;", "audio/flac;"})
            QVERIFY2(text.contains(QLatin1String(type)), type);

        const Run appstream = run(QStringLiteral("appstreamcli"),
                                  {"validate", "--no-net", root.filePath("share/metainfo/" + Id + ".metainfo.xml")});
        QVERIFY2(appstream.code == 0, qPrintable(appstream.out));

        // The file type: the database accepts it, and a list is known by its first line.
        const Run mime = run(QStringLiteral("update-mime-database"), {root.filePath(QStringLiteral("share/mime"))});
        QVERIFY2(mime.code == 0, qPrintable(mime.out));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("share/mime/application/x-kinetrope-playlist.xml"))).isFile());
        QProcessEnvironment penv = QProcessEnvironment::systemEnvironment();
        penv.insert(QStringLiteral("XDG_DATA_DIRS"), root.filePath(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
        const QString home = env.path(QStringLiteral("home"));
        auto write = [&](const QString &name, const QByteArray &content) {
            QFile f(QDir(home).filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
        };
        QVERIFY(write(QStringLiteral("evening"), "[Kinetrope]\r\nFileName0=/m/a.mp4\r\nFileName1=\r\nNumFiles=1\r\n"));
        QVERIFY(write(QStringLiteral("notes"), "[Other]\r\nkey=value\r\n"));
        QVERIFY(write(QStringLiteral("Mix.LST"), "[Kinetrope]\r\nNumFiles=0\r\n"));
        // A child process: the type database is read once per process, from XDG_DATA_DIRS.
        QProcess probe;
        probe.setProcessEnvironment(penv);
        probe.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--mime-types"), home + "/evening", home + "/notes", home + "/Mix.LST"});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"application/x-kinetrope-playlist", "text/plain", "application/x-kinetrope-playlist"}));
    }
};

int main(int argc, char **argv)
{
    // The probe the test starts in a fresh type database: the type of each file named.
    if (argc > 1 && qstrcmp(argv[1], "--mime-types") == 0) {
        QCoreApplication app(argc, argv);
        QMimeDatabase db;
        for (int i = 2; i < argc; ++i)
            std::printf("%s\n", qPrintable(db.mimeTypeForFile(QString::fromLocal8Bit(argv[i])).name()));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestInstall t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_install.moc"
