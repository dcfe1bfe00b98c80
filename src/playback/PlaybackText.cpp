#include "PlaybackText.h"

#include <QDir>

#include <cmath>

namespace PlaybackText {

QString position(qint64 units, bool frameFormat, double fps)
{
    // A position before the start (a jog past it) reads as the start.
    const qint64 p = std::max<qint64>(0, units);
    qint64 whole;
    int fraction;
    if (frameFormat) {
        const double f = fps > 0 ? fps : 25.0;
        whole = qint64(double(p) / f);
        fraction = int(std::fmod(double(p), f)) + 1;
    } else {
        whole = p / 10000000;
        fraction = int((p % 10000000) / 100000); // hundredths of a second
    }
    const qint64 h = whole / 3600;
    const qint64 m = (whole / 60) % 60;
    const qint64 s = whole % 60;

    QString text;
    // Ten hours and more take as many digits as they need.
    if (h == 0)
        text += QLatin1String("  :");
    else if (h < 10)
        text += QLatin1Char(' ') + QString::number(h) + QLatin1Char(':');
    else
        text += QString::number(h) + QLatin1Char(':');

    // Whole hours keep their minutes: " 1:00:00.00".
    if (h == 0 && m == 0)
        text += QLatin1String("  :");
    else
        text += (m < 10 ? (h > 0 ? QLatin1String("0") : QLatin1String(" ")) : QLatin1String(""))
                + QString::number(m) + QLatin1Char(':');

    if (s != 0 || m != 0 || h != 0)
        text += (s < 10 ? ((m != 0 || h != 0) ? QLatin1String("0") : QLatin1String(" ")) : QLatin1String(""))
                + QString::number(s);
    else
        text += QLatin1String("  ");

    text += frameFormat ? QLatin1Char(':') : QLatin1Char('.');
    if (fraction < 10)
        text += whole == 0 ? QLatin1Char(' ') : QLatin1Char('0');
    text += QString::number(fraction);
    return text;
}

QString speed(double rate)
{
    if (rate < 1) {
        const QString one = QString::number(rate, 'f', 1);
        return QLatin1String(" 0.") + one.mid(one.indexOf(QLatin1Char('.')) + 1);
    }
    const QString digits = QString::number(rate, 'f', 0);
    return rate < 10 ? QLatin1Char(' ') + digits + QLatin1String(".0") : digits + QLatin1String(".0");
}

QString frameRate(double fps)
{
    return QString::asprintf(" %.2f FPS ", fps);
}

int speedCode(double rate)
{
    return rate >= 1 ? int(rate + 9) : int(rate * 10);
}

double rateForCode(int code)
{
    return code < 10 ? code * 0.1 : double(code - 9);
}

QString title(const QString &path)
{
    const QString sep = QDir::separator();
    const qsizetype cut = path.lastIndexOf(sep);
    QString name = cut < 0 ? path : path.mid(cut + 1);
    if (name.size() < 19)
        name = name.leftJustified(19, QLatin1Char(' '));
    return name + QLatin1Char(' ');
}

} // namespace PlaybackText
