#pragma once

#include <QByteArray>
#include <QHash>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <span>
#include <vector>

// The character cells of the segment displays: which cell and lit-segment mask a character
// gets, the segment outlines on the 49 x 83 (narrow: 18 x 83) design grid, and the curve
// fitting that turns the sampled edges of the smooth style into Bezier curves.
namespace Segments {

inline constexpr int CellHeight = 83;
inline constexpr int WideCellWidth = 49;
inline constexpr int NarrowCellWidth = 18;

enum class PointType : unsigned char { Move, Line, Curve };

// Design units. A run of Curve points samples one curved edge; the point after the run
// ends that edge whatever its own type.
struct OutlinePoint {
    int x;
    int y;
    PointType type;
    bool operator==(const OutlinePoint &) const = default;
};
using Outline = std::vector<OutlinePoint>;

enum class CellKind { Seven, Fourteen, Narrow };

struct Cell {
    CellKind kind = CellKind::Narrow;
    int designWidth = NarrowCellWidth;
    int segmentCount = 3;
    unsigned mask = 0;                        // bit i lights segment i
    const std::vector<Outline> *outlines = nullptr; // shared, never changes

    bool lit(int segment) const { return (mask >> segment) & 1u; }
};

// Outlines of one cell kind in one style (the narrow cell is the same in both).
const std::vector<Outline> &outlines(CellKind kind, bool smooth);

// The cell of one character, already upper-cased. Digits, space and '-' take the
// fourteen-segment cell only when fourteenDigits is set; letters, '*' and '+' always do;
// ':' and '.' the narrow cell; anything else a narrow cell with its bottom dot lit.
Cell cellFor(char32_t ch, bool smooth, bool fourteenDigits);

// Where a cell lands on the device: design point (x, y) maps to
// (left + x * width / designWidth, top + y * height / 83), rounded half up.
struct Placement {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    int designWidth = WideCellWidth;

    QPoint map(int x, int y) const;
};

struct ControlPoints {
    QPointF c1;
    QPointF c2;
};

// Fitted edges by their shape relative to the start point: a text repeats few shapes,
// and fitting is the costly part of laying out the smooth style.
class CurveCache
{
public:
    ControlPoints fit(QPoint start, std::span<const QPoint> samples, QPoint end, const QRect &limit);
    void clear() { m_fits.clear(); }
    qsizetype size() const { return m_fits.size(); }

private:
    QHash<QByteArray, ControlPoints> m_fits;
};

// One closed path per outline figure; curved edges become one cubic each (fitCurve).
QPainterPath outlinePath(const Outline &outline, const Placement &place, CurveCache &curves);

// The two inner control points of a cubic from 'start' to 'end' that passes near every
// sample, found by a short line search from the reflected neighbours of the end points.
// With a limit, the control points stay inside it (and so does the curve).
ControlPoints fitCurve(QPointF start, std::span<const QPointF> samples, QPointF end,
                       const QRectF *limit = nullptr);

// Sum over the samples of the squared distance to the nearest point of the cubic.
double curveError(QPointF start, const ControlPoints &c, QPointF end,
                  std::span<const QPointF> samples);

} // namespace Segments
