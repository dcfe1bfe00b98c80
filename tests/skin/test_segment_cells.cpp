#include "TestEnv.h"
#include "skin/SegmentCell.h"

#include <QtTest>

#include <cmath>

using namespace Segments;

namespace {

QPointF bezier(QPointF p, QPointF c1, QPointF c2, QPointF e, double u)
{
    const double v = 1 - u;
    return v * v * v * p + 3 * v * v * u * c1 + 3 * v * u * u * c2 + u * u * u * e;
}

// Nearest squared distance from q to the cubic by dense sampling and a ternary refinement:
// no polynomial form, no secant.
double bruteNearest2(QPointF p, QPointF c1, QPointF c2, QPointF e, QPointF q)
{
    constexpr int N = 2000;
    auto d2 = [&](double u) {
        const QPointF r = bezier(p, c1, c2, e, u) - q;
        return r.x() * r.x() + r.y() * r.y();
    };
    double best = d2(0), bestU = 0;
    for (int i = 1; i <= N; ++i) {
        const double u = double(i) / N, d = d2(u);
        if (d < best) {
            best = d;
            bestU = u;
        }
    }
    double lo = std::max(0.0, bestU - 1.0 / N), hi = std::min(1.0, bestU + 1.0 / N);
    for (int i = 0; i < 60; ++i) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (d2(m1) < d2(m2))
            hi = m2;
        else
            lo = m1;
    }
    return std::min(best, d2((lo + hi) / 2));
}

// The coordinate search as written down for the display, run over brute-force distances.
ControlPoints referenceFit(QPointF p, const std::vector<QPointF> &samples, QPointF e)
{
    double v[4] = {2 * samples.front().x() - p.x(), 2 * samples.front().y() - p.y(),
                   2 * samples.back().x() - e.x(), 2 * samples.back().y() - e.y()};
    const double anchor[4] = {p.x(), p.y(), e.x(), e.y()};
    auto error = [&] {
        double sum = 0;
        for (QPointF q : samples)
            sum += bruteNearest2(p, {v[0], v[1]}, {v[2], v[3]}, e, q);
        return sum;
    };
    double err = error();
    for (int pass = 0; pass < 2; ++pass)
        for (int k = 0; k < 4; ++k)
            for (double s = 0.5; std::abs(s) >= 0.01;) {
                const double old = v[k];
                v[k] = old + s * (old - anchor[k]);
                const double next = error();
                if (std::abs(next - err) < 1e-12)
                    break;
                if (next > err) {
                    v[k] = old;
                    s = -s / 3;
                } else {
                    err = next;
                }
            }
    return {{v[0], v[1]}, {v[2], v[3]}};
}

QRectF bounds(const Outline &o)
{
    QPolygonF poly;
    for (const OutlinePoint &p : o)
        poly << QPointF(p.x, p.y);
    return poly.boundingRect();
}

} // namespace

class TestSegmentCells : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }

    void digitsAndSignsInBothCellKinds_data()
    {
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<unsigned>("seven");
        QTest::addColumn<unsigned>("fourteen");
        const unsigned seven[] = {0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25, 0x7F, 0x6F};
        const unsigned fourteen[] = {0x3F00, 0x1800, 0x36C0, 0x3CC0, 0x19C0,
                                     0x2DC0, 0x2FC0, 0x3800, 0x3FC0, 0x3DC0};
        for (int d = 0; d < 10; ++d)
            QTest::addRow("%d", d) << QChar(u'0' + d) << seven[d] << fourteen[d];
        QTest::addRow("space") << QChar(u' ') << 0u << 0u;
        QTest::addRow("minus") << QChar(u'-') << 0x08u << 0xC0u;
    }
    void digitsAndSignsInBothCellKinds()
    {
        QFETCH(QChar, ch);
        QFETCH(unsigned, seven);
        QFETCH(unsigned, fourteen);
        for (bool smooth : {false, true}) {
            const Cell s = cellFor(ch.unicode(), smooth, false);
            QCOMPARE(s.kind, CellKind::Seven);
            QCOMPARE(s.mask, seven);
            QCOMPARE(s.segmentCount, 7);
            QCOMPARE(s.designWidth, 49);
            QCOMPARE(s.outlines->size(), size_t(7));
            const Cell f = cellFor(ch.unicode(), smooth, true);
            QCOMPARE(f.kind, CellKind::Fourteen);
            QCOMPARE(f.mask, fourteen);
            QCOMPARE(f.segmentCount, 14);
            QCOMPARE(f.designWidth, 49);
            QCOMPARE(f.outlines->size(), size_t(14));
        }
    }

    void lettersAlwaysUseFourteenSegments()
    {
        const unsigned masks[26] = {0x3BC0, 0x3CA1, 0x2700, 0x3C21, 0x27C0, 0x23C0, 0x2F80,
                                    0x1BC0, 0x2421, 0x1E00, 0x0354, 0x0700, 0x1B06, 0x1B12,
                                    0x3F00, 0x33C0, 0x3F10, 0x33D0, 0x2DC0, 0x2021, 0x1F00,
                                    0x030C, 0x1B18, 0x001E, 0x11E0, 0x240C};
        for (int i = 0; i < 26; ++i)
            for (bool fourteenDigits : {false, true}) {
                const Cell c = cellFor(U'A' + i, false, fourteenDigits);
                QCOMPARE(c.kind, CellKind::Fourteen);
                QCOMPARE(c.mask, masks[i]);
            }
        QCOMPARE(cellFor(U'*', true, false).mask, 0x00FFu);
        QCOMPARE(cellFor(U'+', true, false).mask, 0x00E1u);
        QCOMPARE(cellFor(U'+', true, false).kind, CellKind::Fourteen);
        // Masks never reach past the cell's segments.
        for (char32_t ch = 32; ch < 127; ++ch) {
            const Cell c = cellFor(ch, false, true);
            QVERIFY(c.mask < (1u << c.segmentCount));
        }
    }

    void unknownCharactersShowALoneBottomDot()
    {
        for (char32_t ch : {U'/', U',', U'.', U'a', U'?', U'\u00E9', U'\u20AC', U'\t'}) {
            const Cell c = cellFor(ch, true, true);
            QCOMPARE(c.kind, CellKind::Narrow);
            QCOMPARE(c.designWidth, 18);
            QCOMPARE(c.segmentCount, 3);
            QCOMPARE(c.mask, 4u);
        }
        QCOMPARE(cellFor(U':', false, false).mask, 3u);
        QCOMPARE(cellFor(U':', false, false).kind, CellKind::Narrow);
        QCOMPARE(&outlines(CellKind::Narrow, false), &outlines(CellKind::Narrow, true));
    }

    // Each segment lies where its number says, in both styles; a wrong mirror moves it.
    void segmentsSitInTheirPlaces()
    {
        const double mid = 24, midY = 41;
        for (bool smooth : {false, true}) {
            const auto &seven = outlines(CellKind::Seven, smooth);
            auto c = [&](int i) { return bounds(seven[i]).center(); };
            QVERIFY(c(0).y() < 12 && std::abs(c(0).x() - mid) < 4);
            QVERIFY(c(1).x() < 12 && c(1).y() < midY);
            QVERIFY(c(2).x() > 36 && c(2).y() < midY);
            QVERIFY(std::abs(c(3).y() - midY) < 1 && std::abs(c(3).x() - mid) < 1);
            QVERIFY(c(4).x() < 12 && c(4).y() > midY);
            QVERIFY(c(5).x() > 36 && c(5).y() > midY);
            QVERIFY(c(6).y() > 70 && std::abs(c(6).x() - mid) < 4);

            const auto &f = outlines(CellKind::Fourteen, smooth);
            auto d = [&](int i) { return bounds(f[i]).center(); };
            QVERIFY(std::abs(d(0).x() - mid) < 1 && d(0).y() < midY);
            QVERIFY(std::abs(d(5).x() - mid) < 1 && d(5).y() > midY);
            QVERIFY(d(1).x() > 8 && d(1).x() < mid && d(1).y() < midY); // diagonals
            QVERIFY(d(2).x() > mid && d(2).x() < 40 && d(2).y() < midY);
            QVERIFY(d(3).x() > 8 && d(3).x() < mid && d(3).y() > midY);
            QVERIFY(d(4).x() > mid && d(4).x() < 40 && d(4).y() > midY);
            QVERIFY(d(6).x() < mid && std::abs(d(6).y() - midY) < 1);
            QVERIFY(d(7).x() > mid && std::abs(d(7).y() - midY) < 1);
            QVERIFY(d(8).x() < 8 && d(8).y() < midY); // verticals
            QVERIFY(d(9).x() < 8 && d(9).y() > midY);
            QVERIFY(d(11).x() > 40 && d(11).y() > midY);
            QVERIFY(d(12).x() > 40 && d(12).y() < midY);
            QVERIFY(d(10).y() > 70 && d(13).y() < 12);
            for (const auto *set : {&seven, &f})
                for (const Outline &o : *set) {
                    QCOMPARE(o.front().type, PointType::Move);
                    QVERIFY(QRectF(0, 0, 48, 82).contains(bounds(o)));
                }
        }
        // The straight upper right is the upper left mirrored left to right.
        const auto &straight = outlines(CellKind::Seven, false);
        for (size_t i = 0; i < straight[1].size(); ++i) {
            QCOMPARE(straight[2][i].x, 48 - straight[1][i].x);
            QCOMPARE(straight[2][i].y, straight[1][i].y);
            QCOMPARE(straight[5][i].x, 48 - straight[1][i].x);
            QCOMPARE(straight[5][i].y, 82 - straight[1][i].y);
        }
    }

    void pathsFollowTheOutlineTypes()
    {
        CurveCache curves;
        const Placement unit{0, 0, 49, 83, 49};
        // Straight: corners land on the grid; the trailing move of the diagonal adds nothing.
        const QPainterPath top = outlinePath(outlines(CellKind::Seven, false)[0], unit, curves);
        QCOMPARE(top.toSubpathPolygons().size(), qsizetype(1));
        QCOMPARE(top.elementAt(0).x, 5.0);
        QCOMPARE(top.elementAt(3).x, 43.0);
        const QPainterPath diagonal = outlinePath(outlines(CellKind::Fourteen, false)[1], unit, curves);
        QCOMPARE(diagonal.toSubpathPolygons().size(), qsizetype(1));
        QCOMPARE(curves.size(), qsizetype(0));

        // Smooth: every run of curve points becomes exactly one cubic.
        auto cubics = [](const QPainterPath &p) {
            int n = 0;
            for (int i = 0; i < p.elementCount(); ++i)
                n += p.elementAt(i).type == QPainterPath::CurveToElement;
            return n;
        };
        const auto &smooth = outlines(CellKind::Fourteen, true);
        QCOMPARE(cubics(outlinePath(smooth[13], unit, curves)), 3);
        QCOMPARE(cubics(outlinePath(smooth[0], unit, curves)), 2);
        QCOMPARE(cubics(outlinePath(outlines(CellKind::Seven, true)[0], unit, curves)), 1);
        // The same shape one cell further along is fitted once.
        const qsizetype fitted = curves.size();
        outlinePath(smooth[13], Placement{49, 0, 49, 83, 49}, curves);
        QCOMPARE(curves.size(), fitted);
    }

    void placementRoundsHalfUp()
    {
        const Placement p{10.25, 2.5, 49 * 1.5, 83 * 0.5, 49};
        QCOMPARE(p.map(0, 0), QPoint(10, 3));  // 10.25 -> 10, 2.5 -> 3
        QCOMPARE(p.map(1, 1), QPoint(12, 3));  // 11.75 -> 12, 3.0 -> 3
        QCOMPARE(p.map(48, 82), QPoint(82, 44)); // 82.25, 43.5
        const Placement narrow{0, 0, 18 * 2, 83 * 2, 18};
        QCOMPARE(narrow.map(13, 77), QPoint(26, 154));
    }

    // The polynomial over -1..1 is the Bezier curve: points on it have no error.
    void curveErrorMeasuresDistanceToTheCubic()
    {
        const QPointF p(0, 0), c1(10, 30), c2(40, 35), e(50, 0);
        std::vector<QPointF> on;
        for (int i = 1; i <= 6; ++i)
            on.push_back(bezier(p, c1, c2, e, i / 7.0));
        QVERIFY(curveError(p, {c1, c2}, e, on) < 1e-4);
        // A sample two units off the curve's apex costs 4.
        const QPointF apex = bezier(p, c1, c2, e, 0.5);
        const std::vector<QPointF> off{apex + QPointF(0, 2)};
        double brute = bruteNearest2(p, c1, c2, e, off[0]);
        QVERIFY(std::abs(curveError(p, {c1, c2}, e, off) - brute) < 1e-3);
        QCOMPARE(curveError(p, {c1, c2}, e, {}), 0.0);
        const ControlPoints none = fitCurve(p, {}, e);
        QCOMPARE(none.c1, p);
        QCOMPARE(none.c2, e);
    }

    // The fit lands within a pixel of the same search run over brute-force distances,
    // for the curved edges of the smooth cells from their design size up.
    void fitCurveSettlesLikeTheReference()
    {
        int compared = 0;
        for (double scale : {1.0, 2.0, 3.0}) {
            for (CellKind kind : {CellKind::Seven, CellKind::Fourteen}) {
                const auto &set = outlines(kind, true);
                for (size_t seg = 0; seg < set.size(); ++seg) {
                    // The centre verticals are symmetric about their own axis; there the
                    // scan meets the stationary points it stops at, which brute force skips.
                    if (kind == CellKind::Fourteen && (seg == 0 || seg == 5))
                        continue;
                    const Outline &o = set[seg];
                    auto at = [&](const OutlinePoint &q) {
                        return QPointF(std::floor(q.x * scale + 0.5), std::floor(q.y * scale * 1.1 + 0.5));
                    };
                    for (size_t i = 1; i < o.size(); ++i) {
                        if (o[i].type != PointType::Curve || o[i - 1].type == PointType::Curve)
                            continue;
                        std::vector<QPointF> samples;
                        size_t j = i;
                        for (; o[j].type == PointType::Curve; ++j)
                            samples.push_back(at(o[j]));
                        const QPointF p = at(o[i - 1]), e = at(o[j]);
                        const ControlPoints fit = fitCurve(p, samples, e);
                        const ControlPoints ref = referenceFit(p, samples, e);
                        const QString where = QStringLiteral("scale %1 kind %2 segment %3 point %4")
                                                  .arg(scale).arg(int(kind)).arg(seg).arg(i);
                        QVERIFY2(QLineF(fit.c1, ref.c1).length() < 1, qPrintable(where));
                        QVERIFY2(QLineF(fit.c2, ref.c2).length() < 1, qPrintable(where));
                        // Never worse than where the search started.
                        const ControlPoints start{2 * samples.front() - p, 2 * samples.back() - e};
                        QVERIFY(curveError(p, fit, e, samples) <= curveError(p, start, e, samples));
                        ++compared;
                    }
                }
            }
        }
        QVERIFY(compared >= 90);
    }

    // Small cells round several samples onto one pixel; unbounded, the search then
    // stretches a curve into a spike hundreds of pixels long. Every curved edge stays
    // inside the box of its own outline, at every size.
    void curvesStayInsideTheirSegment()
    {
        CurveCache curves;
        const std::vector<QPointF> spike{{8, 1}, {8, 1}, {8, 2}};
        const ControlPoints wild = fitCurve({8, 2}, spike, {7, 4});
        QVERIFY(std::abs(wild.c1.y()) > 50); // the case the bound exists for
        const ControlPoints tame = fitCurve({8, 2}, spike, {7, 4}, QRectF(QPointF(4, 1), QPointF(8, 4)));
        QVERIFY(QRectF(QPointF(4, 1), QPointF(8, 4)).contains(tame.c1));
        QVERIFY(QRectF(QPointF(4, 1), QPointF(8, 4)).contains(tame.c2));

        for (int h = 6; h <= 200; ++h)
            for (double aspect : {0.6, 1.0, 1.7})
                for (CellKind kind : {CellKind::Seven, CellKind::Fourteen}) {
                    const Placement place{0.5, 0, 49.0 * h / 83 * aspect, double(h), 49};
                    for (const Outline &o : outlines(kind, true)) {
                        QPolygonF corners;
                        for (const OutlinePoint &q : o)
                            corners << QPointF(place.map(q.x, q.y));
                        const QRectF box = corners.boundingRect();
                        const QRectF drawn = outlinePath(o, place, curves).boundingRect();
                        const bool inside = drawn.left() >= box.left() - 0.01 && drawn.top() >= box.top() - 0.01
                                            && drawn.right() <= box.right() + 0.01
                                            && drawn.bottom() <= box.bottom() + 0.01;
                        QVERIFY2(inside, qPrintable(QStringLiteral("height %1 aspect %2").arg(h).arg(aspect)));
                    }
                }
    }
};

QTEST_GUILESS_MAIN(TestSegmentCells)
#include "test_segment_cells.moc"
