// Repaint cost of the skinned controls against the plain Qt controls of the same size, in
// the same run: a button at rest and hovered (its 33 x 20 images centred in 35 x 24), and a
// slider with tick marks over a tiled background.
// Usage: bench_skin_widgets [milliseconds per figure]
#include "skin/BuiltinImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QPainter>
#include <QPushButton>

#include <cstdio>
#include <functional>

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

// The control window's look: a tiled background everything sits on.
class Backdrop : public QWidget
{
public:
    QPixmap tile = QPixmap::fromImage(BuiltinImages::image(227));
protected:
    void paintEvent(QPaintEvent *e) override
    {
        QPainter p(this);
        p.fillRect(e->rect(), QBrush(tile));
    }
};

void hover(QWidget *w)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &enter);
    w->setAttribute(Qt::WA_UnderMouse, true);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        budgetNs = qint64(QByteArray(argv[1]).toInt()) * 1'000'000;
    Backdrop window;
    window.resize(400, 120);
    auto *skin = new SkinButton(&window);
    skin->setGeometry(10, 10, 35, 24);
    skin->setImages(BuiltinImages::image(141), BuiltinImages::image(252));
    skin->makeTransparent(true);
    skin->setHoverBorder(false);
    auto *plain = new QPushButton(QStringLiteral("Play"), &window);
    plain->setGeometry(60, 10, 35, 24);
    auto *skinSlider = new SkinSlider(&window);
    skinSlider->setGeometry(10, 50, 244, 22);
    auto *plainSlider = new QSlider(Qt::Horizontal, &window);
    plainSlider->setGeometry(10, 80, 244, 22);
    for (QSlider *s : {static_cast<QSlider *>(skinSlider), plainSlider}) {
        s->setRange(0, 300);
        s->setTickInterval(10);
        s->setTickPosition(QSlider::TicksBelow);
        s->setValue(120);
    }
    window.show();
    QApplication::processEvents();

    const double skinRest = perCall([&] { skin->repaint(); });
    const double plainRest = perCall([&] { plain->repaint(); });
    hover(skin);
    hover(plain);
    const double skinHover = perCall([&] { skin->repaint(); });
    const double plainHover = perCall([&] { plain->repaint(); });
    const double skinSlide = perCall([&] { skinSlider->repaint(); });
    const double plainSlide = perCall([&] { plainSlider->repaint(); });

    std::printf("repaint, microseconds          skin   plain  ratio\n");
    std::printf("  button at rest              %6.1f %6.1f  %.2f\n", skinRest / 1e3, plainRest / 1e3, skinRest / plainRest);
    std::printf("  button hovered              %6.1f %6.1f  %.2f\n", skinHover / 1e3, plainHover / 1e3, skinHover / plainHover);
    std::printf("  slider with ticks           %6.1f %6.1f  %.2f\n", skinSlide / 1e3, plainSlide / 1e3, skinSlide / plainSlide);
    return 0;
}
