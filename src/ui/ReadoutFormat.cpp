#include "ReadoutFormat.h"

#include <array>

namespace Readout {

namespace {
const std::array<const char *, 12> MonthNames{" January", "February", "  March",   "  April",
                                              "   May",   "  June",   "  July",    " August",
                                              "September", " October", "November", "December"};
} // namespace

QString formatTimeOfDay(const QTime &time, bool hour24)
{
    int h = time.hour();
    if (!hour24) {
        if (h == 0)
            h = 12;
        else if (h > 12)
            h -= 12;
    }
    QString text = QStringLiteral("  ");
    if (h <= 9)
        text += QLatin1Char(' ');
    text += QString::number(h) + QLatin1Char(':')
          + QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')) + QLatin1Char(':')
          + QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0')) + QStringLiteral("  ");
    return text;
}

QString monthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(MonthNames[static_cast<size_t>(month - 1)]);
}

bool formatDate(const QDate &date, QString &out, int size, bool american)
{
    if (size < DateBufferSize)
        return false;
    const QString day = QString::number(date.day());
    const QString month = monthName(date.month());
    QString text = QStringLiteral(" ");
    text += american ? month + QLatin1Char(' ') + day : day + QLatin1Char(' ') + month;
    text += QLatin1Char(' ') + QString::number(date.year());
    // A year beyond four digits must not make the text outgrow its places.
    out = text.leftJustified(size - 1, QLatin1Char(' '), true);
    return true;
}

QString dateText(const QDate &date, bool american)
{
    QString text;
    formatDate(date, text, DateBufferSize, american);
    return text;
}

bool clockShowsTimeOfDay(bool paused, bool playing, bool videoRendered)
{
    return !paused && !(playing && videoRendered);
}

QString clockIdleText()
{
    return QStringLiteral("    :  :    ");
}

QString titleIdleText()
{
    return QString(DatePlaces, QLatin1Char(' '));
}

QString titleScrollText()
{
    return QStringLiteral("   Kinetrope V3.33  ");
}

} // namespace Readout
