// A drag step in the colour chooser against a repaint of the dialog unchanged, in the same
// run: the pointer moves on the wheel (a new hue every step, so the bar takes new colours,
// the markers move and all six numbers change) or along the cube's red axis, then the whole
// dialog repaints. No picture may be drawn again during a drag; the run fails if one is.
// Usage: bench_colour_chooser [milliseconds per figure]
#include "skin/ColourChooserDialog.h"
#include "skin/ColourPickers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

qint64 budgetNs = 300'000'000;

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

void mouse(QWidget *w, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// One drag: press at the first point, then each step moves to the next, round and round.
struct Drag {
    QWidget *on;
    std::vector<QPoint> path;
    size_t next = 1;
    long steps = 0;
    void start() { mouse(on, QEvent::MouseButtonPress, path[0]); }
    void step()
    {
        mouse(on, QEvent::MouseMove, path[next]);
        next = (next + 1) % path.size();
        ++steps;
    }
    void end() { mouse(on, QEvent::MouseButtonRelease, path[next]); }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        budgetNs = qint64(QByteArray(argv[1]).toInt()) * 1'000'000;
    ColourChooserDialog dialog(0x8BB7B3);
    dialog.show();
    QApplication::processEvents();
    dialog.repaint();
    auto *wheel = dialog.findChild<WheelPicker *>(QStringLiteral("hsbPicker"));
    auto *cube = dialog.findChild<CubePicker *>(QStringLiteral("rgbPicker"));

    Drag round{wheel, {}};
    for (int degree = 0; degree < 360; ++degree) {
        const double a = degree * 3.14159265358979 / 180;
        round.path.push_back(wheel->centre() + QPoint(int(std::lround(70 * std::cos(a))), int(std::lround(-70 * std::sin(a)))));
    }
    Drag axis{cube, {cube->squareCentre(ColourMath::Red)}};
    const QPoint origin = cube->axes().origin;
    for (int d = 0; d <= 99; ++d)
        axis.path.push_back(origin - QPoint(0, d));
    for (int d = 98; d > 0; --d)
        axis.path.push_back(origin - QPoint(0, d));

    const int builds = dialog.imageBuildCount();
    const double still = perCall([&] { dialog.repaint(); });
    const int refreshesBefore = dialog.refreshCount();
    round.start();
    const double wheelStep = perCall([&] {
        round.step();
        dialog.repaint();
    });
    round.end();
    const int wheelRefreshes = dialog.refreshCount() - refreshesBefore;
    axis.start();
    const double cubeStep = perCall([&] {
        axis.step();
        dialog.repaint();
    });
    axis.end();
    const int rebuilt = dialog.imageBuildCount() - builds;

    std::printf("colour chooser, microseconds      time   ratio\n");
    std::printf("  repaint, unchanged            %7.1f\n", still / 1e3);
    std::printf("  wheel drag step + repaint     %7.1f   %.2f   (goal < 2)\n", wheelStep / 1e3, wheelStep / still);
    std::printf("  cube drag step + repaint      %7.1f   %.2f\n", cubeStep / 1e3, cubeStep / still);
    std::printf("  wheel drag: %ld steps, %d refreshes; pictures drawn again during the drags: %d\n", round.steps,
                wheelRefreshes, rebuilt);
    return rebuilt == 0 ? 0 : 1;
}
