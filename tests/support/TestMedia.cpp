#include "TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QUuid>

#include <sys/stat.h>

namespace TestMedia {

QString dir()
{
    QByteArray base = qgetenv("KT_TEST_TMP");
    const QString d = (base.isEmpty() ? QDir::tempPath() + "/kt-test" : QString::fromLocal8Bit(base))
                      + QStringLiteral("/media");
    QDir().mkpath(d);
    return d;
}

QString make(const QString &fileName, const QStringList &ffmpegArgs)
{
    const QString out = dir() + '/' + fileName;
    if (QFile::exists(out))
        return out;
    const QString tmp = dir() + "/." + QUuid::createUuid().toString(QUuid::WithoutBraces) + '-' + fileName;
    QStringList args{"-nostdin", "-loglevel", "error", "-y"};
    args << ffmpegArgs << tmp;
    QProcess p;
    p.start(QStringLiteral(KT_FFMPEG), args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        qWarning("ffmpeg failed for %s: %s", qPrintable(fileName), p.readAllStandardError().constData());
        QFile::remove(tmp);
        return {};
    }
    QFile::rename(tmp, out); // loses the race harmlessly when another test made it first
    QFile::remove(tmp);
    return out;
}

QString mpeg1Ps()
{
    return make("clip-mpeg1.mpg",
                {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=4",
                 "-f", "lavfi", "-i", "sine=frequency=440:duration=4:sample_rate=44100",
                 "-c:v", "mpeg1video", "-b:v", "1150k", "-g", "12", "-bf", "2",
                 "-c:a", "mp2", "-b:a", "224k", "-f", "mpeg"});
}

QString h264Mp4()
{
    return make("clip-h264.mp4",
                {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=4",
                 "-f", "lavfi", "-i", "sine=frequency=660:duration=4",
                 "-c:v", "libx264", "-preset", "veryfast", "-g", "25", "-pix_fmt", "yuv420p",
                 "-c:a", "aac", "-shortest"});
}

QString mp3Audio()
{
    return make("tone.mp3", {"-f", "lavfi", "-i", "sine=frequency=550:duration=3", "-c:a", "libmp3lame"});
}

QString textAsAvi()
{
    const QString out = dir() + "/not-a-video.avi";
    if (!QFile::exists(out)) {
        QFile f(out);
        if (f.open(QIODevice::WriteOnly))
            f.write("This is plain text, not a video file.\n");
    }
    return out;
}

QString truncated()
{
    const QString out = dir() + "/truncated.mp4";
    if (QFile::exists(out))
        return out;
    QFile src(h264Mp4());
    if (!src.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = src.read(20 * 1024);
    QFile f(out);
    if (f.open(QIODevice::WriteOnly))
        f.write(head);
    return out;
}

namespace {
QString written(const QString &fileName, const QByteArray &bytes)
{
    const QString out = dir() + '/' + fileName;
    if (QFile::exists(out))
        return out;
    QSaveFile f(out);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(bytes);
    return f.commit() ? out : QString();
}
} // namespace

QString noiseAsMkv()
{
    // Seeded, so every run probes the same bytes.
    QRandomGenerator random(20240611);
    QByteArray bytes(5 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return written(QStringLiteral("noise.mkv"), bytes);
}

QString fifoAsMp4()
{
    const QString out = dir() + "/pipe.mp4";
    if (!QFileInfo::exists(out) && ::mkfifo(QFile::encodeName(out).constData(), 0600) != 0)
        return {};
    return out;
}

QStringList referencingFiles()
{
    const QString clip = h264Mp4();
    if (clip.isEmpty())
        return {};
    const QByteArray path = QFile::encodeName(clip);
    const QByteArray name = QFile::encodeName(QFileInfo(clip).fileName());
    return {written(QStringLiteral("edl-reference.mkv"), "# mpv EDL v0\n" + path + '\n'),
            written(QStringLiteral("reference.cue"),
                    "FILE \"" + name + "\" MP4\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"),
            written(QStringLiteral("reference.m3u"), "#EXTM3U\n" + path + '\n')};
}

} // namespace TestMedia
