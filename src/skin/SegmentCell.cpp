#include "SegmentCell.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace Segments {

namespace {

constexpr PointType M = PointType::Move;
constexpr PointType L = PointType::Line;
constexpr PointType C = PointType::Curve;

// Mirrors on the 49 x 83 grid: V flips top and bottom, H left and right, C both.
enum class Mirror { V, H, C };

Outline mirrored(const Outline &o, Mirror m)
{
    Outline r = o;
    for (OutlinePoint &p : r) {
        if (m != Mirror::V)
            p.x = WideCellWidth - 1 - p.x;
        if (m != Mirror::H)
            p.y = CellHeight - 1 - p.y;
    }
    return r;
}

std::vector<Outline> sevenSegment(bool smooth)
{
    if (!smooth) {
        const Outline s0{{5, 4, M}, {12, 11, L}, {36, 11, L}, {43, 4, L}};
        const Outline s1{{4, 6, M}, {4, 40, L}, {11, 36, L}, {11, 13, L}};
        const Outline s3{{6, 41, M}, {14, 45, L}, {34, 45, L}, {42, 41, L}, {34, 37, L}, {14, 37, L}};
        return {s0, s1, mirrored(s1, Mirror::H), s3, mirrored(s1, Mirror::V),
                mirrored(s1, Mirror::C), mirrored(s0, Mirror::V)};
    }
    const Outline s0{{6, 4, M}, {5, 5, C}, {5, 6, C}, {8, 9, C}, {12, 11, L}, {36, 11, L}, {39, 4, L}};
    const Outline s1{{4, 9, M}, {4, 39, L}, {6, 40, C}, {7, 40, C}, {9, 38, C}, {11, 36, L}, {11, 12, L}};
    const Outline s2{{37, 36, M}, {39, 38, C}, {41, 40, C}, {42, 40, L}, {44, 39, L},
                     {44, 6, L},  {42, 4, C},  {41, 4, C},  {39, 8, C},  {37, 12, L}};
    const Outline s3{{8, 41, M}, {12, 45, L}, {36, 45, L}, {40, 41, L}, {36, 37, L}, {12, 37, L}};
    return {s0, s1, s2, s3, mirrored(s1, Mirror::V), mirrored(s2, Mirror::V), mirrored(s0, Mirror::V)};
}

std::vector<Outline> fourteenSegment(bool smooth)
{
    Outline a, b, c, d, e;
    if (!smooth) {
        a = {{20, 13, M}, {20, 36, L}, {24, 40, L}, {28, 36, L}, {28, 13, L}};
        // The trailing move opens an empty figure, which draws nothing.
        b = {{5, 5, M}, {15, 35, L}, {20, 37, L}, {18, 25, L}, {20, 13, M}};
        c = {{6, 41, M}, {14, 45, L}, {18, 45, L}, {22, 41, L}, {18, 37, L}, {14, 37, L}};
        d = {{4, 7, M}, {4, 40, L}, {11, 36, L}, {11, 26, L}};
        e = {{6, 4, M}, {11, 11, L}, {37, 11, L}, {42, 4, L}};
    } else {
        a = {{20, 12, M}, {20, 25, L}, {22, 36, C}, {23, 39, C}, {24, 40, C}, {25, 39, C}, {26, 36, C},
             {28, 25, L}, {28, 12, L}, {26, 10, C}, {24, 9, C},  {22, 10, C}, {20, 12, L}};
        b = {{10, 10, M}, {10, 13, C}, {11, 20, C}, {13, 28, C}, {21, 38, L},
             {21, 37, L}, {19, 26, C}, {15, 16, C}, {11, 10, C}, {10, 10, L}};
        c = {{8, 41, M}, {12, 45, L}, {16, 45, L}, {23, 41, L}, {16, 37, L}, {12, 37, L}};
        d = {{4, 7, M},   {4, 39, L},  {5, 40, C}, {6, 40, C}, {9, 37, C},
             {11, 33, C}, {11, 25, L}, {9, 14, C}, {5, 6, C},  {4, 7, L}};
        e = {{8, 4, M},  {7, 5, C},   {7, 6, C},   {9, 8, C},  {12, 9, C}, {14, 11, L},
             {19, 11, L}, {21, 9, C},  {24, 7, C},  {27, 9, C}, {29, 11, L}, {34, 11, L},
             {36, 9, C},  {39, 8, C},  {41, 6, C},  {41, 5, C}, {40, 4, L}};
    }
    return {a,
            b,
            mirrored(b, Mirror::H),
            mirrored(b, Mirror::V),
            mirrored(b, Mirror::C),
            mirrored(a, Mirror::V),
            c,
            mirrored(c, Mirror::H),
            d,
            mirrored(d, Mirror::V),
            mirrored(e, Mirror::V),
            mirrored(d, Mirror::C),
            mirrored(d, Mirror::H),
            e};
}

std::vector<Outline> narrowCell()
{
    return {{{4, 23, M}, {4, 32, L}, {13, 32, L}, {13, 23, L}},
            {{4, 50, M}, {4, 59, L}, {13, 59, L}, {13, 50, L}},
            {{4, 68, M}, {4, 77, L}, {13, 77, L}, {13, 68, L}}};
}

constexpr std::array<unsigned, 10> SevenDigits{0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25, 0x7F, 0x6F};
constexpr std::array<unsigned, 10> FourteenDigits{0x3F00, 0x1800, 0x36C0, 0x3CC0, 0x19C0,
                                                  0x2DC0, 0x2FC0, 0x3800, 0x3FC0, 0x3DC0};
constexpr std::array<unsigned, 26> Letters{
    0x3BC0, 0x3CA1, 0x2700, 0x3C21, 0x27C0, 0x23C0, 0x2F80, 0x1BC0, 0x2421, 0x1E00, 0x0354, 0x0700, 0x1B06,
    0x1B12, 0x3F00, 0x33C0, 0x3F10, 0x33D0, 0x2DC0, 0x2021, 0x1F00, 0x030C, 0x1B18, 0x001E, 0x11E0, 0x240C};

// A cubic over the parameter range -1..1: x(t) = a0 + a1 t + a2 t^2 + a3 t^3, y alike.
struct Cubic {
    double x[4];
    double y[4];

    Cubic(QPointF p, QPointF c1, QPointF c2, QPointF e)
    {
        const double px[4] = {p.x(), c1.x(), c2.x(), e.x()};
        const double py[4] = {p.y(), c1.y(), c2.y(), e.y()};
        coefficients(px, x);
        coefficients(py, y);
    }
    static void coefficients(const double v[4], double a[4])
    {
        a[3] = ((v[3] - v[0]) + 3 * (v[1] - v[2])) / 8;
        a[2] = 3 * (v[0] + v[3] - v[1] - v[2]) / 8;
        a[1] = (v[3] - v[0]) / 2 - a[3];
        a[0] = (v[0] + v[3]) / 2 - a[2];
    }
    static double at(const double a[4], double t) { return a[0] + t * (a[1] + t * (a[2] + t * a[3])); }
    static double slope(const double a[4], double t) { return a[1] + t * (2 * a[2] + t * 3 * a[3]); }

    double distance2(QPointF s, double t) const
    {
        const double dx = at(x, t) - s.x(), dy = at(y, t) - s.y();
        return dx * dx + dy * dy;
    }
    // Half the derivative of distance2 with respect to t.
    double derivative(QPointF s, double t) const
    {
        const double dx = at(x, t) - s.x(), dy = at(y, t) - s.y();
        return dx * slope(x, t) + dy * slope(y, t);
    }

    // Squared distance from s to the nearest point: a coarse scan of 2n steps over the
    // range, then secant steps on the derivative from the best scan point.
    double nearest2(QPointF s, int n) const
    {
        const double dt = 2.0 / (2 * n);
        double best = -1, bestD = std::numeric_limits<double>::max();
        for (int i = 0;; ++i) {
            const double t = -1 + i * dt;
            if (t > 1.01)
                break;
            if (derivative(s, t) == 0)
                return distance2(s, t);
            const double d = distance2(s, t);
            if (d < bestD) {
                bestD = d;
                best = t;
            }
        }
        double t0 = best + dt <= 1 ? best + dt : best - dt;
        double t1 = best;
        double f0 = derivative(s, t0), f1 = derivative(s, t1);
        // The secant settles in a few steps; the bound only guards against a cycle.
        for (int i = 0; i < 64 && f1 != 0 && f1 != f0; ++i) {
            const double t2 = std::clamp(t1 - f1 * (t1 - t0) / (f1 - f0), -1.0, 1.0);
            const double moved = std::abs(t2 - t1);
            t0 = t1;
            f0 = f1;
            t1 = t2;
            f1 = derivative(s, t1);
            if (moved < 0.001)
                break;
        }
        return distance2(s, t1);
    }
};

} // namespace

const std::vector<Outline> &outlines(CellKind kind, bool smooth)
{
    static const std::vector<Outline> seven[2] = {sevenSegment(false), sevenSegment(true)};
    static const std::vector<Outline> fourteen[2] = {fourteenSegment(false), fourteenSegment(true)};
    static const std::vector<Outline> narrow = narrowCell();
    switch (kind) {
    case CellKind::Seven:
        return seven[smooth];
    case CellKind::Fourteen:
        return fourteen[smooth];
    case CellKind::Narrow:
        break;
    }
    return narrow;
}

Cell cellFor(char32_t ch, bool smooth, bool fourteenDigits)
{
    auto wide = [&](CellKind kind, unsigned mask) {
        return Cell{kind, WideCellWidth, kind == CellKind::Seven ? 7 : 14, mask, &outlines(kind, smooth)};
    };
    auto digitCell = [&](unsigned seven, unsigned fourteen) {
        return fourteenDigits ? wide(CellKind::Fourteen, fourteen) : wide(CellKind::Seven, seven);
    };
    if (ch == U' ')
        return digitCell(0x00, 0x0000);
    if (ch >= U'0' && ch <= U'9')
        return digitCell(SevenDigits[ch - U'0'], FourteenDigits[ch - U'0']);
    if (ch == U'-')
        return digitCell(0x08, 0x00C0);
    if (ch >= U'A' && ch <= U'Z')
        return wide(CellKind::Fourteen, Letters[ch - U'A']);
    if (ch == U'*')
        return wide(CellKind::Fourteen, 0x00FF);
    if (ch == U'+')
        return wide(CellKind::Fourteen, 0x00E1);
    return Cell{CellKind::Narrow, NarrowCellWidth, 3, ch == U':' ? 3u : 4u, &outlines(CellKind::Narrow, smooth)};
}

QPoint Placement::map(int x, int y) const
{
    return QPoint(static_cast<int>(std::floor(left + x * width / designWidth + 0.5)),
                  static_cast<int>(std::floor(top + y * height / CellHeight + 0.5)));
}

ControlPoints CurveCache::fit(QPoint start, std::span<const QPoint> samples, QPoint end, const QRect &limit)
{
    // Fitting is the same wherever the edge lies, so it runs relative to the start point.
    QByteArray key;
    key.reserve(static_cast<qsizetype>((samples.size() + 3) * 2 * sizeof(int)));
    std::vector<QPointF> rel;
    rel.reserve(samples.size());
    auto add = [&key](QPoint p) {
        const int xy[2] = {p.x(), p.y()};
        key.append(reinterpret_cast<const char *>(xy), sizeof xy);
    };
    for (QPoint s : samples) {
        rel.emplace_back(s - start);
        add(s - start);
    }
    add(end - start);
    add(limit.topLeft() - start);
    add(limit.bottomRight() - start);
    auto it = m_fits.constFind(key);
    if (it == m_fits.constEnd()) {
        if (m_fits.size() >= 4096) // a display shows a few hundred shapes at most
            m_fits.clear();
        const QRectF box(QPointF(limit.topLeft() - start), QPointF(limit.bottomRight() - start));
        it = m_fits.insert(key, fitCurve(QPointF(0, 0), rel, QPointF(end - start), &box));
    }
    return {it->c1 + start, it->c2 + start};
}

QPainterPath outlinePath(const Outline &outline, const Placement &place, CurveCache &curves)
{
    const size_t n = outline.size();
    std::vector<QPoint> at(n);
    for (size_t i = 0; i < n; ++i)
        at[i] = place.map(outline[i].x, outline[i].y);
    // Fitted edges stay inside the box of their own outline: where few samples bend
    // sharply the search would otherwise throw a curve far beyond its segment.
    QRect box;
    if (n) {
        auto [left, right] = std::minmax_element(at.begin(), at.end(),
                                                 [](QPoint a, QPoint b) { return a.x() < b.x(); });
        auto [top, bottom] = std::minmax_element(at.begin(), at.end(),
                                                 [](QPoint a, QPoint b) { return a.y() < b.y(); });
        box = QRect(QPoint(left->x(), top->y()), QPoint(right->x(), bottom->y()));
    }

    QPainterPath path;
    bool open = false;
    QPoint prev;
    for (size_t i = 0; i < n;) {
        const QPoint p = at[i];
        const PointType type = outline[i].type;
        if (type == PointType::Move || !open) {
            if (open)
                path.closeSubpath();
            // A figure of a single point draws nothing.
            open = i + 1 < n && outline[i + 1].type != PointType::Move;
            if (open)
                path.moveTo(p);
            prev = p;
            ++i;
            continue;
        }
        if (type == PointType::Line) {
            path.lineTo(p);
            prev = p;
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && outline[j].type == PointType::Curve)
            ++j;
        const std::span<const QPoint> samples(at.data() + i, j - i);
        if (j == n) {
            // A run with no end point: keep its samples as straight edges.
            for (QPoint s : samples)
                path.lineTo(s);
            break;
        }
        const ControlPoints cp = curves.fit(prev, samples, at[j], box);
        path.cubicTo(cp.c1, cp.c2, at[j]);
        prev = at[j];
        i = j + 1;
    }
    if (open)
        path.closeSubpath();
    return path;
}

double curveError(QPointF start, const ControlPoints &c, QPointF end, std::span<const QPointF> samples)
{
    const Cubic cubic(start, c.c1, c.c2, end);
    const int n = static_cast<int>(samples.size()) + 2;
    double sum = 0;
    for (const QPointF &s : samples)
        sum += cubic.nearest2(s, n);
    return sum;
}

ControlPoints fitCurve(QPointF start, std::span<const QPointF> samples, QPointF end, const QRectF *limit)
{
    if (samples.empty())
        return {start, end};
    const QPointF first = samples.front(), last = samples.back();
    double v[4] = {2 * first.x() - start.x(), 2 * first.y() - start.y(), 2 * last.x() - end.x(),
                   2 * last.y() - end.y()};
    const double anchor[4] = {start.x(), start.y(), end.x(), end.y()};
    const bool bounded = limit != nullptr;
    const double lo[2] = {bounded ? limit->left() : 0, bounded ? limit->top() : 0};
    const double hi[2] = {bounded ? limit->right() : 0, bounded ? limit->bottom() : 0};
    auto outside = [&](int k) { return bounded && (v[k] < lo[k % 2] || v[k] > hi[k % 2]); };
    if (bounded)
        for (int k = 0; k < 4; ++k)
            v[k] = std::clamp(v[k], lo[k % 2], hi[k % 2]);
    auto error = [&] {
        return curveError(start, {QPointF(v[0], v[1]), QPointF(v[2], v[3])}, end, samples);
    };
    double err = error();
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < 4; ++k) {
            double s = 0.5;
            // Growing steps end when the error rises, shrinking ones at |s| < 0.01;
            // the bound only guards a run of improvements that never ends.
            for (int guard = 0; std::abs(s) >= 0.01 && guard < 200; ++guard) {
                const double old = v[k];
                v[k] = old + s * (old - anchor[k]);
                const double e = outside(k) ? std::numeric_limits<double>::infinity() : error();
                if (e == err)
                    break;
                if (e > err) {
                    v[k] = old;
                    s = -s / 3;
                } else {
                    err = e;
                }
            }
        }
    }
    return {QPointF(v[0], v[1]), QPointF(v[2], v[3])};
}

} // namespace Segments
