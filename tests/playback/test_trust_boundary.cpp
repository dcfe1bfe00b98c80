// The engine trusts no file and no configuration: with an mpv configuration and scripts in
// every place libmpv looks for them, and files that point at a web server or at other local
// files, neither the player's engine nor the open dialog's preview reads, runs or fetches
// anything but the file it was given.
#include "StubHttpServer.h"
#include "TestEnv.h"
#include "TestMedia.h"

#include "playback/MpvEngine.h"
#include "playlist/MediaPreview.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

class TestTrustBoundary : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<StubHttpServer> web;
    QStringList markers;

    void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A configuration folder that leaves a trace of every way it could be used.
    void plantConfiguration(const QString &dir, const QString &tag)
    {
        const QString log = env->path(QStringLiteral("traces/%1-log").arg(tag));
        const QString ipc = env->path(QStringLiteral("traces/%1-ipc").arg(tag));
        const QString ran = env->path(QStringLiteral("traces/%1-script").arg(tag));
        markers << log << ipc << ran;
        const QByteArray lua = "local f = io.open('" + QFile::encodeName(ran) + "', 'w') f:write('ran') f:close()\n";
        write(dir + QStringLiteral("/scripts/trace.lua"), lua);
        write(dir + QStringLiteral("/trace-explicit.lua"), lua);
        write(dir + QStringLiteral("/mpv.conf"),
              "speed=3\nvolume=7\nlog-file=" + QFile::encodeName(log) + "\ninput-ipc-server=" + QFile::encodeName(ipc)
                  + "\nscript=" + QFile::encodeName(dir) + "/trace-explicit.lua\nytdl=yes\n");
        write(dir + QStringLiteral("/input.conf"), "SPACE run touch " + QFile::encodeName(ran) + "\n");
    }

    QStringList pointingFiles()
    {
        const QByteArray url = "http://" + web->hostAndPort().toUtf8() + "/clip.mp4";
        const QByteArray local = QFile::encodeName(TestMedia::mpeg1Ps());
        const QString d = env->path(QStringLiteral("pointing/"));
        const struct {
            const char *name;
            QByteArray body;
        } files[] = {
            {"web.m3u", "#EXTM3U\n" + url + "\n"},
            {"web.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXTINF:4,\n" + url + "\n#EXT-X-ENDLIST\n"},
            {"web.pls", "[playlist]\nFile1=" + url + "\nNumberOfEntries=1\n"},
            {"web-edl.mkv", "# mpv EDL v0\n" + url + "\n"},
            {"web.edl", "# mpv EDL v0\n" + url + ",0,2\n"},
            {"web.cue", "FILE \"" + url + "\" MP4\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"},
            {"web.asx", "<asx version=\"3.0\"><entry><ref href=\"" + url + "\"/></entry></asx>"},
            {"web.txt", url + "\n"},
            {"web-as-video.avi", "#EXTM3U\n" + url + "\n"},
            {"local.m3u", "#EXTM3U\n" + local + "\n"},
            {"local.pls", "[playlist]\nFile1=" + local + "\nNumberOfEntries=1\n"},
            {"local-edl.mp4", "# mpv EDL v0\n" + local + "\n"},
            {"local.cue", "FILE \"" + local + "\" MP4\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"},
        };
        QStringList out;
        for (const auto &f : files) {
            write(d + QLatin1String(f.name), f.body);
            out << d + QLatin1String(f.name);
        }
        return out;
    }

    void noTraces()
    {
        for (const QString &m : markers)
            QVERIFY2(!QFileInfo::exists(m), qPrintable(m + QStringLiteral(" exists: a configuration was read")));
        QVERIFY2(web->requests.isEmpty(), qPrintable(QString::fromUtf8(web->requests.value(0).path)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        web = std::make_unique<StubHttpServer>();
        StubHttpServer::Answer clip;
        QFile f(TestMedia::h264Mp4());
        QVERIFY(f.open(QIODevice::ReadOnly));
        clip.body = f.readAll();
        web->answer("/clip.mp4", clip);
        // Where libmpv would look: MPV_HOME, the XDG folder, the old dot folder.
        plantConfiguration(env->path(QStringLiteral("mpv-home")), QStringLiteral("mpvhome"));
        qputenv("MPV_HOME", QFile::encodeName(env->path(QStringLiteral("mpv-home"))));
        const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
        plantConfiguration(xdg + QStringLiteral("/mpv"), QStringLiteral("xdg"));
        plantConfiguration(QDir::homePath() + QStringLiteral("/.mpv"), QStringLiteral("dot"));
    }

    void playerEngineReadsNothingAndFollowsNothing()
    {
        MpvEngine engine({QStringLiteral("ao=null")});
        QCOMPARE(engine.open(TestMedia::h264Mp4()), MediaEngine::OpenResult::Ok);
        engine.run();
        QTest::qWait(300);
        QCOMPARE(engine.appliedRate(), 1.0);
        for (const QString &file : pointingFiles()) {
            QVERIFY2(engine.open(file) == MediaEngine::OpenResult::Failed, qPrintable(file));
            QVERIFY(!engine.isOpen());
        }
        QTest::qWait(500); // a fetch started late would arrive by now
        noTraces();
        QCOMPARE(engine.open(TestMedia::mpeg1Ps()), MediaEngine::OpenResult::Ok);
    }

    void previewReadsNothingAndFollowsNothing()
    {
        MediaPreview p;
        QSignalSpy ready(&p, &MediaPreview::ready);
        p.showFile(TestMedia::h264Mp4());
        QVERIFY(ready.wait(15000));
        QCOMPARE(p.picture().size(), QSize(320, 240));
        for (const QString &file : pointingFiles()) {
            ready.clear();
            p.showFile(file);
            ready.wait(3000); // a file it takes for a playlist only clears the pane
            QVERIFY2(p.picture().isNull(), qPrintable(file));
            QVERIFY2(!p.durationText().startsWith(QLatin1String("Duration")), qPrintable(file + p.durationText()));
        }
        QTest::qWait(500);
        noTraces();
    }
};

QTEST_MAIN(TestTrustBoundary)
#include "test_trust_boundary.moc"
