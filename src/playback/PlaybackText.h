#pragma once

#include <QString>
#include <QtGlobal>

// The texts the playback engine puts on the readouts.
namespace PlaybackText {

// Position text of a position in graph units (frames when frameFormat, else 100 ns):
// hours, minutes and seconds with blank padding, then ":" and the frame within the
// second (from 1), or "." and hundredths. 11 characters below 100 hours.
QString position(qint64 units, bool frameFormat, double fps);

// Play speed text: " 0.2", " 0.7", " 1.0", " 5.0", "10.0".
QString speed(double rate);

// Frame rate text for the clock display, " 25.00 FPS ".
QString frameRate(double fps);

// Speed slider code (1..19, 10 = normal) for a rate, and back.
int speedCode(double rate);
double rateForCode(int code);

// Title text: the file name, padded to 19 characters, and one blank.
QString title(const QString &path);

} // namespace PlaybackText
