#include "TestEnv.h"
#include "skin/SegmentCell.h"

#include <QtTest>

#include <cmath>

using namespace Segments;

namespace {

QPointF bezier(const QPointF (&c)[4], double u)
{
    const double v = 1 - u;
    return v * v * v * c[0] + 3 * v * v * u * c[1] + 3 * v * u * u * c[2] + u * u * u * c[3];
}

// Nearest squared distance by dense sampling of the Bernstein form, then ternary search.
double bruteNearest2(const QPointF (&c)[4], QPointF q)
{
    auto d2 = [&](double u) {
        const QPointF r = bezier(c, u) - q;
        return r.x() * r.x() + r.y() * r.y();
    };
    constexpr int N = 2000;
    int best = 0;
    for (int i = 1; i <= N; ++i)
        if (d2(double(i) / N) < d2(double(best) / N))
            best = i;
    double lo = std::max(0.0, (best - 1.0) / N), hi = std::min(1.0, (best + 1.0) / N);
    for (int i = 0; i < 60; ++i) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (d2(m1) < d2(m2))
            hi = m2;
        else
            lo = m1;
    }
    return std::min(d2(double(best) / N), d2((lo + hi) / 2));
}

// The control points' coordinate search, run over brute-force distances.
ControlPoints referenceFit(QPointF p, const std::vector<QPointF> &samples, QPointF e)
{
    QPointF c[4] = {p, 2 * samples.front() - p, 2 * samples.back() - e, e};
    double *v[4] = {&c[1].rx(), &c[1].ry(), &c[2].rx(), &c[2].ry()};
    const double anchor[4] = {p.x(), p.y(), e.x(), e.y()};
    auto error = [&] {
        double sum = 0;
        for (QPointF q : samples)
            sum += bruteNearest2(c, q);
        return sum;
    };
    double err = error();
    for (int pass = 0; pass < 2; ++pass)
        for (int k = 0; k < 4; ++k)
            for (double s = 0.5; std::abs(s) >= 0.01;) {
                const double old = *v[k];
                *v[k] = old + s * (old - anchor[k]);
                const double next = error();
                if (std::abs(next - err) < 1e-12)
                    break;
                if (next > err) {
                    *v[k] = old;
                    s = -s / 3;
                } else {
                    err = next;
                }
            }
    return {c[1], c[2]};
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

    void cellsAndMasks()
    {
        const QString digits = QStringLiteral("0123456789 -");
        const unsigned seven[] = {0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25, 0x7F, 0x6F, 0, 0x08};
        const unsigned fourteen[] = {0x3F00, 0x1800, 0x36C0, 0x3CC0, 0x19C0, 0x2DC0,
                                     0x2FC0, 0x3800, 0x3FC0, 0x3DC0, 0,      0x00C0};
        for (int i = 0; i < digits.size(); ++i)
            for (bool smooth : {false, true}) {
                const Cell s = cellFor(digits[i].unicode(), smooth, false);
                const Cell f = cellFor(digits[i].unicode(), smooth, true);
                QCOMPARE(s.kind, CellKind::Seven);
                QCOMPARE(s.mask, seven[i]);
                QCOMPARE(f.kind, CellKind::Fourteen);
                QCOMPARE(f.mask, fourteen[i]);
                QCOMPARE(s.designWidth, 49);
                QCOMPARE(s.outlines->size(), size_t(7));
                QCOMPARE(f.outlines->size(), size_t(14));
            }
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ*+");
        const unsigned masks[] = {0x3BC0, 0x3CA1, 0x2700, 0x3C21, 0x27C0, 0x23C0, 0x2F80, 0x1BC0, 0x2421, 0x1E00,
                                  0x0354, 0x0700, 0x1B06, 0x1B12, 0x3F00, 0x33C0, 0x3F10, 0x33D0, 0x2DC0, 0x2021,
                                  0x1F00, 0x030C, 0x1B18, 0x001E, 0x11E0, 0x240C, 0x00FF, 0x00E1};
        for (int i = 0; i < letters.size(); ++i) {
            const Cell c = cellFor(letters[i].unicode(), false, false);
            QCOMPARE(c.kind, CellKind::Fourteen);
            QCOMPARE(c.mask, masks[i]);
        }
        // Anything else is a narrow cell with its bottom dot lit; ':' lights the upper two.
        for (char32_t ch : {U'.', U'/', U',', U'a', U'?', U'\u00E9', U'\u20AC'}) {
            const Cell c = cellFor(ch, true, true);
            QCOMPARE(c.kind, CellKind::Narrow);
            QCOMPARE(c.designWidth, 18);
            QCOMPARE(c.mask, 4u);
        }
        QCOMPARE(cellFor(U':', false, false).mask, 3u);
    }

    // Each segment sits where its number says, in both styles: a wrong mirror moves it.
    void segmentsSitInTheirPlaces()
    {
        // Expected area of each segment's centre on the 49 x 83 grid.
        const QRectF top(12, 0, 25, 12), bottom(12, 70, 25, 13), middle(20, 40, 9, 3);
        const QRectF ul(0, 12, 12, 29), ur(37, 12, 12, 29), ll(0, 42, 12, 29), lr(37, 42, 12, 29);
        const QRectF cu(23, 12, 3, 29), cl(23, 42, 3, 29), ml(8, 40, 15, 3), mr(26, 40, 15, 3);
        const QRectF dul(9, 12, 15, 29), dur(25, 12, 15, 29), dll(9, 42, 15, 29), dlr(25, 42, 15, 29);
        const QRectF vul(0, 12, 9, 29), vll(0, 42, 9, 29), vur(40, 12, 9, 29), vlr(40, 42, 9, 29);
        const std::vector<QRectF> seven{top, ul, ur, middle, ll, lr, bottom};
        const std::vector<QRectF> fourteen{cu, dul, dur, dll, dlr, cl, ml, mr, vul, vll, bottom, vlr, vur, top};
        for (bool smooth : {false, true})
            for (auto [kind, places] : {std::pair{CellKind::Seven, seven}, std::pair{CellKind::Fourteen, fourteen}})
                for (size_t i = 0; i < places.size(); ++i) {
                    const Outline &o = outlines(kind, smooth)[i];
                    QVERIFY2(places[i].contains(bounds(o).center()), qPrintable(QString::number(i)));
                    QVERIFY(QRectF(0, 0, 48, 82).contains(bounds(o)));
                    QCOMPARE(o.front().type, PointType::Move);
                }
    }

    void pathsFollowTheOutlineTypes()
    {
        CurveCache curves;
        const Placement unit{0, 0, 49, 83, 49};
        // Straight: corners on the grid, one figure; the diagonal's trailing move adds none.
        const QPainterPath top = outlinePath(outlines(CellKind::Seven, false)[0], unit, curves);
        QCOMPARE(top.toSubpathPolygons(), (QList<QPolygonF>{QPolygonF({{5, 4}, {12, 11}, {36, 11}, {43, 4}, {5, 4}})}));
        QCOMPARE(outlinePath(outlines(CellKind::Fourteen, false)[1], unit, curves).toSubpathPolygons().size(), qsizetype(1));
        QCOMPARE(curves.size(), qsizetype(0));
        // Smooth: every run of curve points is one cubic; a shape moved along is fitted once.
        auto cubics = [](const QPainterPath &p) {
            int n = 0;
            for (int i = 0; i < p.elementCount(); ++i)
                n += p.elementAt(i).type == QPainterPath::CurveToElement;
            return n;
        };
        const auto &smooth = outlines(CellKind::Fourteen, true);
        QCOMPARE(cubics(outlinePath(smooth[13], unit, curves)), 3);
        QCOMPARE(cubics(outlinePath(smooth[0], unit, curves)), 2);
        const qsizetype fitted = curves.size();
        outlinePath(smooth[13], Placement{49, 0, 49, 83, 49}, curves);
        QCOMPARE(curves.size(), fitted);
        // Device points round half up.
        const Placement p{10.25, 2.5, 49 * 1.5, 83 * 0.5, 49};
        QCOMPARE(p.map(0, 0), QPoint(10, 3));
        QCOMPARE(p.map(1, 1), QPoint(12, 3));
        QCOMPARE(p.map(48, 82), QPoint(82, 44));
    }

    // The polynomial over -1..1 is the Bezier curve, and the fit lands within a pixel of
    // the same search run over brute-force distances, for the smooth cells' curved edges.
    void fitCurveSettlesLikeTheReference()
    {
        const QPointF c[4] = {{0, 0}, {10, 30}, {40, 35}, {50, 0}};
        std::vector<QPointF> on;
        for (int i = 1; i <= 6; ++i)
            on.push_back(bezier(c, i / 7.0));
        QVERIFY(curveError(c[0], {c[1], c[2]}, c[3], on) < 1e-4);
        const std::vector<QPointF> off{bezier(c, 0.5) + QPointF(0, 2)};
        QVERIFY(std::abs(curveError(c[0], {c[1], c[2]}, c[3], off) - bruteNearest2(c, off[0])) < 1e-3);

        int compared = 0;
        for (double scale : {1.0, 2.0, 3.0})
            for (CellKind kind : {CellKind::Seven, CellKind::Fourteen})
                for (size_t seg = 0; seg < 14; ++seg) {
                    // The centre verticals are symmetric about their own axis; there the scan
                    // meets the stationary points it stops at, which brute force passes by.
                    if (seg >= outlines(kind, true).size() || (kind == CellKind::Fourteen && (seg == 0 || seg == 5)))
                        continue;
                    const Outline &o = outlines(kind, true)[seg];
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
                        QVERIFY(QLineF(fit.c1, ref.c1).length() < 1);
                        QVERIFY(QLineF(fit.c2, ref.c2).length() < 1);
                        const ControlPoints start{2 * samples.front() - p, 2 * samples.back() - e};
                        QVERIFY(curveError(p, fit, e, samples) <= curveError(p, start, e, samples));
                        ++compared;
                    }
                }
        QCOMPARE(compared, 90);
    }

    // Small cells round several samples onto one pixel; unbounded, the search then stretches
    // a curve into a spike hundreds of pixels long. Edges stay inside their own outline's box.
    void curvesStayInsideTheirSegment()
    {
        const std::vector<QPointF> spike{{8, 1}, {8, 1}, {8, 2}};
        QVERIFY(std::abs(fitCurve({8, 2}, spike, {7, 4}).c1.y()) > 50);
        const QRectF limit(QPointF(4, 1), QPointF(8, 4));
        const ControlPoints tame = fitCurve({8, 2}, spike, {7, 4}, &limit);
        QVERIFY(limit.contains(tame.c1) && limit.contains(tame.c2));

        CurveCache curves;
        for (int h = 6; h <= 200; ++h)
            for (double aspect : {0.6, 1.0, 1.7})
                for (CellKind kind : {CellKind::Seven, CellKind::Fourteen}) {
                    const Placement place{0.5, 0, 49.0 * h / 83 * aspect, double(h), 49};
                    for (const Outline &o : outlines(kind, true)) {
                        QPolygonF corners;
                        for (const OutlinePoint &q : o)
                            corners << QPointF(place.map(q.x, q.y));
                        const QRectF box = corners.boundingRect().adjusted(-0.01, -0.01, 0.01, 0.01);
                        const QRectF drawn = outlinePath(o, place, curves).boundingRect();
                        QVERIFY2(drawn.left() >= box.left() && drawn.right() <= box.right()
                                     && drawn.top() >= box.top() && drawn.bottom() <= box.bottom(),
                                 qPrintable(QStringLiteral("height %1 aspect %2").arg(h).arg(aspect)));
                    }
                }
    }
};

QTEST_GUILESS_MAIN(TestSegmentCells)
#include "test_segment_cells.moc"
