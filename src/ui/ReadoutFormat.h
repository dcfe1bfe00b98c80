#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The texts of the clock and title-and-date readouts. Pure: the caller passes the time.
namespace Readout {

inline constexpr int ClockPlaces = 12;
inline constexpr int DatePlaces = 19;
inline constexpr int DateBufferSize = DatePlaces + 1;

// "  h:mm:ss  " with one more leading blank for a one-digit hour; always 12 characters.
// The 12-hour form shows midnight and noon as 12.
QString formatTimeOfDay(const QTime &time, bool hour24);

// Month names with their own leading blanks; month 1..12, else empty.
QString monthName(int month);

// " December 7 2001" (American order) or " 7 December 2001", padded with blanks to
// size - 1 characters. False, leaving 'out' untouched, when size is below 20.
bool formatDate(const QDate &date, QString &out, int size, bool american);
// The 19-character date text the title-and-date readout shows.
QString dateText(const QDate &date, bool american);

// The clock readout owns its display while stopped, and while playing without video.
bool clockShowsTimeOfDay(bool paused, bool playing, bool videoRendered);

// Start-up texts: the clock's placeholder, the blank title display and the title scroll.
QString clockIdleText();
QString titleIdleText();
QString titleScrollText();

} // namespace Readout
