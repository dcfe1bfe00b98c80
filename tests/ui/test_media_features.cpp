// What players of today add, on the real control window with real libmpv: subtitle and audio
// tracks from the menus, subtitle files beside a video (and only those), screenshots checked
// by their pixels against the frame, addresses played from a web server of the test's own,
// and a local playlist that names an address refused.
#include "StubHttpServer.h"
#include "TestMedia.h"
#include "WindowTest.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "skin/ScrollingDisplay.h"
#include "ui/Readouts.h"

#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace {

QString writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(text);
    return path;
}

QByteArray srt(const char *line)
{
    return QByteArray("1\n00:00:00,000 --> 00:00:05,000\n") + line + "\n";
}

// Two audio tracks in two languages and two subtitle tracks, 4 s.
QString multiTrackMkv()
{
    const QString dir = TestMedia::dir();
    const QString en = writeText(dir + QStringLiteral("/feat-en.srt"), srt("WWWWWWWWWW"));
    const QString de = writeText(dir + QStringLiteral("/feat-de.srt"), srt("MMMMMMMMMM"));
    return TestMedia::make(
        QStringLiteral("feat-multi.mkv"),
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=4", "-f", "lavfi", "-i", "sine=f=440:d=4", "-f",
         "lavfi", "-i", "sine=f=880:d=4", "-i", en, "-i", de, "-map", "0", "-map", "1", "-map", "2", "-map", "3",
         "-map", "4", "-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-c:a", "aac", "-c:s", "srt",
         "-metadata:s:a:0", "language=eng", "-metadata:s:a:0", "title=English", "-metadata:s:a:1", "language=fra",
         "-metadata:s:a:1", "title=Francais", "-metadata:s:s:0", "language=eng", "-metadata:s:s:0",
         "title=English subtitles", "-metadata:s:s:1", "language=ger", "-metadata:s:s:1", "title=Deutsch",
         "-disposition:s:0", "default"});
}

// A transport stream (plays as it arrives) and an HLS set cut from it at every second.
QString streamTs()
{
    return TestMedia::make(QStringLiteral("feat-stream.ts"),
                           {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=4", "-f", "lavfi", "-i",
                            "sine=f=440:d=4", "-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-c:a", "aac",
                            "-f", "mpegts"});
}

QString hlsPlaylist()
{
    const QString ts = streamTs();
    return TestMedia::make(QStringLiteral("feat-hls.m3u8"),
                           {"-i", ts, "-c", "copy", "-f", "hls", "-hls_time", "1", "-hls_list_size", "0",
                            "-hls_segment_filename", TestMedia::dir() + QStringLiteral("/feat-hls%d.ts")});
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The frame ffmpeg decodes at a time, for comparing the player's pictures with.
QImage referenceFrame(const QString &file, double seconds)
{
    const QString out = QDir::temp().filePath(QStringLiteral("kt-ref-%1.png").arg(QCoreApplication::applicationPid()));
    QProcess::execute(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", file, "-ss", QString::number(seconds),
                                                 "-frames:v", "1", "-update", "1", out});
    QImage image(out);
    QFile::remove(out);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel over a band of rows.
double difference(const QImage &a, const QImage &b, int top, int bottom)
{
    if (a.size() != b.size())
        return 1e9;
    double sum = 0;
    qint64 n = 0;
    for (int y = top; y < bottom; ++y) {
        const QRgb *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x, ++n)
            sum += (std::abs(qRed(pa[x]) - qRed(pb[x])) + std::abs(qGreen(pa[x]) - qGreen(pb[x]))
                    + std::abs(qBlue(pa[x]) - qBlue(pb[x])))
                   / 3.0;
    }
    return n ? sum / double(n) : 1e9;
}

// The web server answers on a thread of its own: libmpv fetches while the player's thread
// waits for it.
class ServerThread
{
public:
    explicit ServerThread(const QHash<QByteArray, StubHttpServer::Answer> &answers)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context, [&] {
                m_server = new StubHttpServer;
                for (auto it = answers.cbegin(); it != answers.cend(); ++it)
                    m_server->answer(it.key(), it.value());
            },
            Qt::BlockingQueuedConnection);
        m_port = m_server->serverPort();
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(&m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }
    int requestCount()
    {
        int n = 0;
        QMetaObject::invokeMethod(&m_context, [&] { n = int(m_server->requests.size()); }, Qt::BlockingQueuedConnection);
        return n;
    }

private:
    QThread m_thread;
    QObject m_context;
    StubHttpServer *m_server = nullptr;
    quint16 m_port = 0;
};

} // namespace

class TestMediaFeatures : public WindowTest
{
    Q_OBJECT

    QMenu *submenu(const QString &title)
    {
        for (QAction *a : w->contextMenu()->actions()) {
            if (a->menu() && a->text() == title)
                return a->menu();
        }
        return nullptr;
    }
    // The sub-menu as it lists itself when opened: checked items marked with "*".
    QStringList items(const QString &title)
    {
        QMenu *m = submenu(title);
        if (!m)
            return {};
        Q_EMIT m->aboutToShow();
        QStringList out;
        for (QAction *a : m->actions()) {
            if (a->isVisible() && !a->isSeparator())
                out << (a->isChecked() ? QStringLiteral("*") : QString()) + a->text();
        }
        return out;
    }
    void trigger(const QString &title, const QString &text)
    {
        for (QAction *a : submenu(title)->actions()) {
            if (a->text() == text) {
                a->trigger();
                return;
            }
        }
        QFAIL(qPrintable(text));
    }
    QImage screenshot()
    {
        const QString file = w->screenshotFile();
        QFile::remove(file);
        w->contextMenu()->findChild<QAction *>(QStringLiteral("32905"))->trigger();
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>();
        freshStore();
    }
    void cleanup() { closeWindow(); }

    void tracksMenusAndScreenshots()
    {
        const QString mkv = multiTrackMkv();
        QVERIFY(!mkv.isEmpty());
        open(mkv);
        QTRY_VERIFY(w->graph().loaded());
        QCOMPARE(items(QStringLiteral("Audio track")),
                 (QStringList{"*English [eng]", "Francais [fra]"}));
        QCOMPARE(items(QStringLiteral("Subtitles")),
                 (QStringList{"*English subtitles [eng]", "Deutsch [ger]", "Off", "Load subtitle file…\tCtrl+L"}));
        trigger(QStringLiteral("Audio track"), QStringLiteral("Francais [fra]"));
        QCOMPARE(items(QStringLiteral("Audio track")), (QStringList{"English [eng]", "*Francais [fra]"}));

        // At one second, as shown: the picture is the frame of that time at the video's own
        // size, with the subtitle over its lower part.
        w->execute({Command::SeekTo, 1.0});
        const QImage reference = referenceFrame(mkv, 1.0);
        QCOMPARE(reference.size(), QSize(320, 240));
        const QString file = w->screenshotFile();
        QVERIFY(QFileInfo(file).fileName().startsWith(QStringLiteral("feat-multi 00-00-01.")));
        QVERIFY(file.startsWith(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)));
        const QImage withSubtitle = screenshot();
        QCOMPARE(withSubtitle.size(), QSize(320, 240));
        QVERIFY(w->readouts().clock()->scrollText().contains(QFileInfo(file).fileName()));
        QVERIFY2(difference(withSubtitle, reference, 0, 120) < 6, "the frame of that time");
        const double subtitled = difference(withSubtitle, reference, 150, 240);
        QVERIFY2(subtitled > 4, qPrintable(QString::number(subtitled)));

        // Off: the same frame without the text; then the other track, a different text.
        trigger(QStringLiteral("Subtitles"), QStringLiteral("Off"));
        QVERIFY(items(QStringLiteral("Subtitles")).contains(QStringLiteral("*Off")));
        const QImage plain = screenshot();
        QVERIFY2(difference(plain, reference, 0, 240) < 6, "no subtitle");
        trigger(QStringLiteral("Subtitles"), QStringLiteral("Deutsch [ger]"));
        const QImage german = screenshot();
        QVERIFY(difference(german, reference, 150, 240) > 4);
        QVERIFY(difference(german, withSubtitle, 150, 240) > 2);

        // The choices hold while the file is open, not for the next one.
        w->execute({Command::Play});
        QTest::qWait(300);
        QCOMPARE(items(QStringLiteral("Audio track")).value(1), QStringLiteral("*Francais [fra]"));
        w->execute({Command::Eject});
        w->playList().startFromSelection({mkv});
        QTRY_VERIFY(w->graph().loaded());
        QCOMPARE(items(QStringLiteral("Audio track")).value(0), QStringLiteral("*English [eng]"));
        QVERIFY(prompt.messages.empty());
    }

    void subtitleFilesBesideTheVideo()
    {
        const QString folder = env->path(QStringLiteral("films"));
        QDir().mkpath(folder);
        const QString film = folder + QStringLiteral("/film.mp4");
        QVERIFY(QFile::copy(TestMedia::h264Mp4(), film));
        writeText(folder + QStringLiteral("/film.srt"), srt("WWWWWWWWWW"));
        writeText(folder + QStringLiteral("/other.srt"), srt("MMMMMMMMMM"));
        writeText(folder + QStringLiteral("/film.en.srt"), srt("MMMMMMMMMM"));
        writeText(folder + QStringLiteral("/film2.srt"), srt("MMMMMMMMMM"));
        open(film);
        QTRY_VERIFY(w->graph().loaded());
        const QList<MediaTrack> subs = w->graph().engine().tracks(MediaEngine::TrackKind::Subtitle);
        QCOMPARE(subs.size(), 1);
        QVERIFY(subs[0].external);
        QVERIFY(subs[0].selected);
        const QImage shown = screenshot();
        const QImage reference = referenceFrame(film, 0);
        QVERIFY(difference(shown, reference, 150, 240) > 4);

        // Loaded by hand, any file will do; it shows at once.
        prompt.queueFiles({folder + QStringLiteral("/other.srt")});
        w->contextMenu()->findChild<QAction *>(QStringLiteral("32903"))->trigger();
        QCOMPARE(prompt.fileRequests.back().directory, folder);
        QCOMPARE(w->graph().engine().tracks(MediaEngine::TrackKind::Subtitle).size(), 2);
        QVERIFY(w->graph().engine().tracks(MediaEngine::TrackKind::Subtitle).at(1).selected);

        // Automatic subtitles off: nothing loads by itself.
        closeWindow();
        store->write(Key::AutoSubtitles, 0);
        open(film);
        QTRY_VERIFY(w->graph().loaded());
        QVERIFY(w->graph().engine().tracks(MediaEngine::TrackKind::Subtitle).isEmpty());
        QVERIFY(difference(screenshot(), reference, 0, 240) < 6);

        // The other text formats load the same way.
        closeWindow();
        store->write(Key::AutoSubtitles, 1);
        const QString talk = folder + QStringLiteral("/talk.mp4");
        QVERIFY(QFile::copy(TestMedia::h264Mp4(), talk));
        writeText(folder + QStringLiteral("/talk.vtt"), "WEBVTT\n\n00:00:00.000 --> 00:00:05.000\nWWWWWWWWWW\n");
        writeText(folder + QStringLiteral("/talk.ass"),
                  "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, "
                  "OutlineColour, Bold, Outline, Alignment, MarginV\nStyle: Default,Sans,28,&H00FFFFFF,&H00000000,0,2,2,20\n\n"
                  "[Events]\nFormat: Layer, Start, End, Style, Text\nDialogue: 0,0:00:00.00,0:00:05.00,Default,WWWWWWWWWW\n");
        open(talk);
        QTRY_VERIFY(w->graph().loaded());
        const QList<MediaTrack> both = w->graph().engine().tracks(MediaEngine::TrackKind::Subtitle);
        QCOMPARE(both.size(), 2);
        QVERIFY(both[0].external && both[1].external);
        QVERIFY(both[0].selected != both[1].selected);
        QVERIFY(difference(screenshot(), referenceFrame(talk, 0), 150, 240) > 4);
        QVERIFY(prompt.messages.empty());
    }

    void addressesFromTheUser()
    {
        const QString hls = hlsPlaylist();
        QVERIFY(!hls.isEmpty());
        QByteArray vod = readAll(hls);
        QByteArray live = vod;
        live.replace("#EXT-X-ENDLIST\n", "");
        QHash<QByteArray, StubHttpServer::Answer> answers;
        answers.insert("/clip.ts", {StubHttpServer::Mode::Body, 200, readAll(streamTs())});
        answers.insert("/cut.ts", {StubHttpServer::Mode::HalfThenDrop, 200, readAll(streamTs())});
        answers.insert("/unsized.ts", {StubHttpServer::Mode::Unsized, 200, readAll(streamTs())});
        answers.insert("/vod.m3u8", {StubHttpServer::Mode::Body, 200, vod});
        answers.insert("/live.m3u8", {StubHttpServer::Mode::Body, 200, live});
        for (int i = 0; i < 8; ++i) {
            const QString seg = QStringLiteral("feat-hls%1.ts").arg(i);
            if (QFile::exists(TestMedia::dir() + QLatin1Char('/') + seg))
                answers.insert("/" + seg.toLatin1(), {StubHttpServer::Mode::Body, 200, readAll(TestMedia::dir() + QLatin1Char('/') + seg)});
        }
        ServerThread server(answers);

        // A local playlist that names an address is refused, and nothing is fetched.
        const QString lst = writeText(env->path(QStringLiteral("web.lst")),
                                      "[Kinetrope]\r\nFileName0=" + server.url("/clip.ts").toUtf8()
                                          + "\r\nFileName1=\r\nNumFiles=1\r\n");
        const QString m3u = writeText(env->path(QStringLiteral("web.m3u")), server.url("/clip.ts").toUtf8() + "\n");
        open(lst);
        QTRY_VERIFY(!prompt.messages.empty());
        QVERIFY(!w->graph().loaded());
        prompt.messages.clear();
        w->playList().startFromSelection({m3u});
        QTRY_VERIFY(!prompt.messages.empty());
        QVERIFY(!w->graph().loaded());
        QCOMPARE(server.requestCount(), 0);
        prompt.messages.clear();

        // A file: plays in the same window with its title, from the menu's Open URL.
        QVERIFY(w->contextMenu()->findChild<QAction *>(QStringLiteral("32900"))->text().endsWith(QStringLiteral("\tCtrl+U")));

        prompt.queueText(server.url("/clip.ts"));
        w->contextMenu()->findChild<QAction *>(QStringLiteral("32900"))->trigger();
        QVERIFY(w->graph().loaded());
        QVERIFY(w->graph().engine().isStream());
        QTRY_VERIFY(w->graph().playing());
        // The title scrolls: somewhere in its turn.
        const QString title = w->readouts().title()->scrollText();
        QVERIFY2((title + title).contains(QStringLiteral("clip.ts"), Qt::CaseInsensitive), qPrintable(title));
        QTRY_VERIFY(w->graph().engine().position() > 0.5);
        QVERIFY(server.requestCount() > 0);

        // A playlist with its end, and a live one (which libmpv gives the length of what it
        // holds): the stop slider at its end, play going on.
        w->openAddress(server.url("/vod.m3u8"));
        QVERIFY(w->graph().loaded());
        QVERIFY(w->graph().engine().duration() > 3);
        w->openAddress(server.url("/live.m3u8"));
        QVERIFY(w->graph().loaded());
        const Transport &t = w->transport();
        QCOMPARE(t.stopSlider().value(), t.stopSlider().maximum());
        QTRY_VERIFY(w->graph().playing());
        QTRY_VERIFY(w->graph().engine().position() > 0.4);
        QVERIFY(w->graph().playing());
        QVERIFY(w->readouts().text(DisplayId::CurrentTime) != QStringLiteral("  :  :  . 1"));
        QVERIFY(prompt.messages.empty());

        // Sent without a length, as a live stream is: nothing to count down from, the time
        // shown is the time played, even where the display counts down for files.
        w->execute({Command::ToggleTimeRemaining});
        QVERIFY(w->toggles().timeRemaining);
        w->openAddress(server.url("/unsized.ts"));
        QVERIFY(w->graph().loaded());
        QCOMPARE(w->graph().engine().duration(), 0.0);
        QCOMPARE(t.stopSlider().value(), t.stopSlider().maximum());
        QTRY_VERIFY(w->graph().engine().position() > 1.0);
        // Seconds and frames played, no hours or minutes yet (the readout follows on its tick).
        const QRegularExpression played(QStringLiteral("^  :  : [1-3]:\\d\\d$"));
        QTRY_VERIFY2(played.match(w->readouts().text(DisplayId::CurrentTime)).hasMatch(),
                     qPrintable(w->readouts().text(DisplayId::CurrentTime)));
        // Its end is where the sending stopped, not where the first bytes did.
        double reached = 0;
        QTRY_VERIFY_WITH_TIMEOUT((reached = std::max(reached, w->graph().engine().position()), !w->graph().playing()), 15000);
        QVERIFY2(reached > 3.0 && reached < 5.0, qPrintable(QString::number(reached)));
        QCOMPARE(t.positionSlider().value(), 0); // back at the start, stopped
        w->execute({Command::ToggleTimeRemaining});
        QVERIFY(prompt.messages.empty());

        // Failures say what the engine said.
        w->openAddress(server.url("/missing.ts"));
        QVERIFY(!w->graph().loaded());
        QCOMPARE(prompt.messages.size(), size_t(1));
        QVERIFY2(prompt.messages[0].text.contains(QStringLiteral("404")),
                 qPrintable(prompt.messages[0].text.replace(QLatin1Char('\n'), QLatin1Char('|'))));
        prompt.messages.clear();
        // Not an address at all.
        w->openAddress(QStringLiteral("ftp://127.0.0.1/clip.ts"));
        QCOMPARE(prompt.messages.size(), size_t(1));
        prompt.messages.clear();

        // Cut off half-way: what came plays, and play ends where it stopped, or it fails with
        // a message; the window goes on either way.
        w->openAddress(server.url("/cut.ts"));
        if (w->graph().loaded()) {
            QTRY_VERIFY(w->graph().playing() || w->graph().engine().position() > 0);
            QTRY_VERIFY_WITH_TIMEOUT(!w->graph().playing(), 15000);
            QVERIFY(w->graph().engine().position() < 3.5);
        } else {
            QCOMPARE(prompt.messages.size(), size_t(1));
        }
        w->execute({Command::Eject});
        QVERIFY(!w->graph().loaded());
    }
};

QTEST_MAIN(TestMediaFeatures)
#include "test_media_features.moc"
