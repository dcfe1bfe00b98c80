#include "PlaybackMedia.h"

#include "VideoCdMedia.h"
#include "TestMedia.h"

#include <QFile>

namespace PlaybackMedia {

QString videoCdDat()
{
    const QString dat = TestMedia::dir() + QStringLiteral("/AVSEQ01.DAT");
    if (QFile::exists(dat))
        return dat;
    // The VideoCD muxer writes 2324-byte packs, one to a sector.
    const QString mpeg = TestMedia::make(
        QStringLiteral("vcd-track.mpg"),
        {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=6", "-f", "lavfi", "-i",
         "sine=frequency=440:duration=6:sample_rate=44100", "-target", "pal-vcd", "-g", "15"});
    if (mpeg.isEmpty() || !VideoCdMedia::writeCdxa(mpeg, dat))
        return {};
    return dat;
}

QString longGopMpeg()
{
    return TestMedia::make(QStringLiteral("long-gop.mpg"),
                           {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=6", "-f", "lavfi", "-i",
                            "sine=frequency=330:duration=6:sample_rate=44100", "-c:v", "mpeg1video", "-b:v",
                            "1150k", "-g", "45", "-bf", "2", "-c:a", "mp2", "-f", "mpeg"});
}

QString silentVideo()
{
    return TestMedia::make(QStringLiteral("silent-h264.mp4"),
                           {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3", "-an", "-c:v",
                            "libx264", "-preset", "veryfast", "-g", "25", "-pix_fmt", "yuv420p"});
}

} // namespace PlaybackMedia
