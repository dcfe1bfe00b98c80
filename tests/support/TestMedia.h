#pragma once

#include <QString>
#include <QStringList>

// Small media files made with ffmpeg at test time. Each is made once per build tree and
// shared by the tests; concurrent makers write to a temporary name and rename.
namespace TestMedia {

QString dir();
// Runs ffmpeg with the given arguments (output appended) unless the file already exists.
// Returns the absolute path, or an empty string when ffmpeg failed.
QString make(const QString &fileName, const QStringList &ffmpegArgs);

QString mpeg1Ps();    // 352x288, 25 fps, MPEG-1 video with MP2 audio in a program stream, 4 s
QString h264Mp4();    // 320x240, 25 fps, H.264 with AAC in MP4, 4 s
QString mp3Audio();   // 3 s of tone, no video
QString textAsAvi();  // a text file named .avi
QString truncated();  // the first 20 KiB of h264Mp4 with the index lost
QString noiseAsMkv(); // 5 MiB of pseudo-random bytes named .mkv
QString fifoAsMp4();  // a named pipe called .mp4, with no writer
// Small text files that name h264Mp4 for libmpv to follow: an EDL named .mkv, a cue
// sheet, an M3U playlist.
QStringList referencingFiles();

} // namespace TestMedia
