#pragma once

#include <QString>

// VideoCD and SVCD track files as a mounted disc shows them, made with ffmpeg at test time.
namespace VideoCdMedia {

// Wraps an MPEG program stream of 2324-byte packs (ffmpeg's VideoCD muxer writes them) into
// a RIFF/CDXA image of 2352-byte Mode 2 Form 2 sectors.
bool writeCdxa(const QString &mpegPath, const QString &datPath);

// A VideoCD track: MPEG-1 352x288 at 25 fps with MP2 sound, as CDXA; made once per length.
QString vcdTrack(int seconds);
// An SVCD track: MPEG-2 480x576 at 25 fps with MP2 sound in a program stream.
QString svcdTrack(int seconds);

} // namespace VideoCdMedia
