#include "FaderMath.h"

#include <algorithm>
#include <cmath>

namespace FaderMath {

namespace {

qint64 left(const MixerValues &v) { return v.isEmpty() ? 0 : v[0]; }
qint64 right(const MixerValues &v) { return v.size() > 1 ? v[1] : left(v); }
qint64 level(const MixerValues &v) { return v.size() > 1 ? std::max(left(v), right(v)) : left(v); }

quint32 unit(double x)
{
    return std::isnan(x) ? 0 : quint32(std::clamp<double>(std::trunc(x), 0, 4294967295.0));
}

} // namespace

Scale scale(quint32 minimum, quint32 maximum, int steps, bool vertical)
{
    Scale s;
    s.range = qint64(maximum) - qint64(minimum);
    s.steps = int(std::clamp<qint64>(steps, 1, std::max<qint64>(1, s.range)));
    s.stepSize = std::max<qint64>(1, s.range / s.steps);
    s.vertical = vertical;
    return s;
}

std::optional<int> position(SubType type, const Scale &s, const MixerValues &values, double &ratio)
{
    const qint64 l = level(values);
    if (values.size() > 1 && l > 0)
        ratio = double(right(values) - left(values)) / double(l);
    qint64 p = 0;
    switch (type) {
    case Left: p = left(values) / s.stepSize; break;
    case Right: p = right(values) / s.stepSize; break;
    case Main: p = l / s.stepSize; break;
    case Balance:
        if (l <= 0)
            return std::nullopt;
        p = qint64(std::trunc((ratio + 1) * s.steps * 0.5));
        break;
    }
    // Above 100 % the slider stands at its end; it does not wrap past the other.
    p = std::clamp<qint64>(p, 0, s.steps);
    return int(s.vertical ? s.steps - p : p);
}

MixerValues values(SubType type, const Scale &s, int position, const MixerValues &current, double ratio)
{
    const qint64 p = std::clamp<qint64>(s.vertical ? s.steps - position : position, 0, s.steps);
    // In 64 bits and floating point: a * b * 2 leaves 32 bits from a = 16384, b = 65536.
    const qint64 a = p * s.stepSize;
    const qint64 b = level(current);
    MixerValues v = current.isEmpty() ? MixerValues{0} : current;
    const bool two = v.size() > 1;
    if (s.range <= 0)
        return v; // a control without a range has nothing to move
    switch (type) {
    case Left: v[0] = unit(a); break;
    case Right: v[two ? 1 : 0] = unit(a); break;
    case Main:
        if (!two) {
            v[0] = unit(a);
        } else if (ratio > 0) {
            v[1] = unit(a);
            v[0] = unit((1 - ratio) * double(a));
        } else {
            v[0] = unit(a);
            v[1] = unit(double(a) * (ratio + 1));
        }
        break;
    case Balance: {
        if (!two)
            break;
        const double d = double(s.range);
        if (double(a) > d / 2) {
            v[1] = unit(b);
            v[0] = unit((1 - double(a) / d) * 2 * double(b));
        } else {
            v[1] = unit(double(a) * double(b) * 2 / d);
            v[0] = unit(b);
        }
        break;
    }
    }
    return v;
}

} // namespace FaderMath
