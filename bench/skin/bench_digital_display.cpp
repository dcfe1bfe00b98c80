// Cost of the segment displays against plain widgets painted in the same run.
// Usage: bench_digital_display [milliseconds per figure]
#include "skin/DigitalDisplay.h"
#include "skin/SegmentCell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <cstdio>
#include <functional>

namespace {

class FillWidget : public QWidget
{
public:
    using QWidget::QWidget;
    QString text; // drawn when set
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(179, 183, 139));
        if (!text.isEmpty()) {
            p.setRenderHint(QPainter::Antialiasing);
            p.drawText(rect(), Qt::AlignCenter, text);
        }
    }
};

qint64 budgetNs = 300'000'000;

// Nanoseconds per call: the best of five batches, each run for a fifth of the budget.
double perCall(const std::function<void()> &f)
{
    double best = 1e300;
    for (int batch = 0; batch < 5; ++batch) {
        QElapsedTimer t;
        t.start();
        qint64 n = 0;
        do {
            for (int i = 0; i < 16; ++i)
                f();
            n += 16;
        } while (t.nsecsElapsed() < budgetNs / 5);
        best = std::min(best, double(t.nsecsElapsed()) / n);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        budgetNs = qint64(QByteArray(argv[1]).toInt()) * 1'000'000;

    const QString a = QStringLiteral("  1:05:09.25"), b = QStringLiteral("  1:05:10.50");
    std::printf("11-cell display, time per operation; ratios against a fillRect repaint of the same size\n");
    for (QSize size : {QSize(120, 20), QSize(330, 60)}) {
        for (int style : {int(DigitalDisplay::KeepProportions),
                          DigitalDisplay::KeepProportions | DigitalDisplay::SmoothSegments}) {
            DigitalDisplay d;
            d.resize(size);
            d.modifyStyle(~style, style);
            d.setText(a);
            d.show();
            FillWidget fill;
            fill.resize(size);
            fill.show();
            FillWidget text;
            text.text = a;
            text.resize(size);
            text.show();
            QCoreApplication::processEvents();

            const double fillNs = perCall([&] { fill.repaint(); });
            const double drawTextNs = perCall([&] { text.repaint(); });
            const double repaintNs = perCall([&] { d.repaint(); });
            const double sameTextNs = perCall([&] { d.setText(a); });
            bool flip = false;
            const double rebuildNs = perCall([&] {
                d.setText((flip = !flip) ? b : a);
                d.repaint();
            });
            const int layoutsBefore = d.layoutCount();
            for (int i = 0; i < 100; ++i)
                d.repaint();
            const bool plainRepaintsLaidOut = d.layoutCount() != layoutsBefore;

            // Laying out afresh, every curve fitted anew (first paint at a new size).
            const std::vector<Segments::Cell> cells = d.cells();
            const double scale = std::min(double(size.width()) / d.designWidth(), size.height() / 83.0);
            const double coldNs = perCall([&] {
                Segments::CurveCache curves;
                double x = 0;
                for (const Segments::Cell &c : cells) {
                    const Segments::Placement place{x, 0, c.designWidth * scale, 83 * scale, c.designWidth};
                    for (int i = 0; i < c.segmentCount; ++i)
                        Segments::outlinePath((*c.outlines)[size_t(i)], place, curves);
                    x += place.width;
                }
            });

            std::printf("\n%dx%d %s:\n", size.width(), size.height(),
                        style & DigitalDisplay::SmoothSegments ? "smooth" : "straight");
            std::printf("  fillRect repaint (reference)      %9.1f us  1.00\n", fillNs / 1000);
            std::printf("  drawText repaint (reference)      %9.1f us  %6.2f\n", drawTextNs / 1000, drawTextNs / fillNs);
            std::printf("  repaint, text unchanged           %9.1f us  %6.2f\n", repaintNs / 1000, repaintNs / fillNs);
            std::printf("  setText, same text                %9.3f us  %6.4f\n", sameTextNs / 1000, sameTextNs / fillNs);
            std::printf("  setText new text + repaint        %9.1f us  %6.2f  (%.2f x drawText)\n", rebuildNs / 1000,
                        rebuildNs / fillNs, rebuildNs / drawTextNs);
            std::printf("  layout with every curve fitted    %9.1f us  %6.2f\n", coldNs / 1000, coldNs / fillNs);
            std::printf("  plain repaints laid out again: %s\n", plainRepaintsLaidOut ? "YES (fault)" : "no");
        }
    }
    return 0;
}
