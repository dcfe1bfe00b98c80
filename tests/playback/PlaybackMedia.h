#pragma once

#include <QString>

// Media the playback tests need beyond the shared set, made with ffmpeg at test time.
namespace PlaybackMedia {

// A VideoCD track file: an MPEG-1 program stream in 2324-byte packs (25 fps, 6 s, GOP 15),
// each pack in a 2352-byte Mode 2 Form 2 sector, under a RIFF "CDXA" header.
QString videoCdDat();
// An MPEG-1 program stream with long open groups of pictures: 45 frames (1.8 s), 6 s.
QString longGopMpeg();
// 320x240, 25 fps H.264 in MP4 without any audio, 3 s.
QString silentVideo();

} // namespace PlaybackMedia
