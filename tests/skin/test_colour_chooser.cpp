// The colour chooser driven as a user drives it: clicks and drags on its pictures, numbers
// typed, pasted and stepped, OK and Escape; and its arithmetic against worked values.
// KT_SHOTS=<folder> also saves screenshots of it there.
#include "TestEnv.h"
#include "skin/ColourChooserDialog.h"
#include "skin/ColourImages.h"
#include "skin/ColourMath.h"
#include "skin/ColourPickers.h"
#include "skin/ColourRef.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace ColourMath;
using Ints = QList<int>;

namespace {

const char *const Fields[] = {"red", "green", "blue", "hue", "saturation", "brightness"};

QRgb pixel(QWidget *w, QPoint p)
{
    return w->grab().toImage().pixel(p) | 0xFF000000;
}

QRgb inverted(QRgb c)
{
    return c ^ 0x00FFFFFF;
}

// A picture as drawn before any marker, in its box's coordinates.
QRgb unmarked(const QImage &picture, QRect at, QPoint p, QColor surround)
{
    QImage img = picture;
    ColourImages::replaceSurround(img, surround);
    return at.contains(p) ? img.pixel(p - at.topLeft()) | 0xFF000000 : surround.rgb();
}

struct Chooser {
    ColourChooserDialog dialog;
    CubePicker *cube;
    WheelPicker *wheel;
    explicit Chooser(int ref) : dialog(ref)
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            qWarning("chooser not exposed");
        dialog.grab(); // both pictures drawn: a count of builds starts here
        cube = dialog.findChild<CubePicker *>(QStringLiteral("rgbPicker"));
        wheel = dialog.findChild<WheelPicker *>(QStringLiteral("hsbPicker"));
    }
    QSpinBox *spin(const char *name) { return dialog.findChild<QSpinBox *>(QLatin1String(name)); }
    QColor surround() { return dialog.palette().color(QPalette::Button); }
    QRgb chosen() const { return qRgb(dialog.red(), dialog.green(), dialog.blue()); }
    Ints model() const
    {
        return {dialog.red(), dialog.green(), dialog.blue(), dialog.hue(), dialog.saturation(), dialog.brightness()};
    }
    Ints shown()
    {
        Ints out;
        for (const char *f : Fields)
            out << spin(f)->text().toInt();
        return out;
    }
    void type(const char *field, const QString &keys)
    {
        spin(field)->setFocus();
        spin(field)->selectAll();
        QTest::keyClicks(spin(field), keys);
    }
    void paste(const char *field, const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        spin(field)->selectAll();
        QTest::keyClick(spin(field), Qt::Key_V, Qt::ControlModifier);
    }
};

void click(QWidget *w, QPoint p)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, p);
}

} // namespace

class TestColourChooser : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnv>(); }

    void arithmetic_data()
    {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<Ints>("in");
        QTest::addColumn<Ints>("out");
        auto row = [](const char *name, const char *fn, Ints in, Ints out) {
            QTest::newRow(name) << QString::fromLatin1(fn) << in << out;
        };
        row("hsb of the default back colour", "toHsb", {179, 183, 139}, {65, 61, 183});
        row("grey has no hue or saturation", "toHsb", {128, 128, 128}, {0, 0, 128});
        row("red", "toHsb", {255, 0, 0}, {0, 255, 255});
        row("blue", "toHsb", {0, 0, 255}, {240, 255, 255});
        row("negative hue wraps", "toHsb", {255, 0, 1}, {359, 255, 255});
        row("rgb of the default back colour", "toRgb", {65, 61, 183}, {179, 183, 139});
        for (auto [h, r, g, b] : std::initializer_list<std::array<int, 4>>{
                 {60, 255, 255, 0}, {61, 250, 255, 0}, {119, 4, 255, 0}, {120, 0, 255, 0}, {179, 0, 255, 250},
                 {180, 0, 255, 255}, {239, 0, 4, 255}, {240, 0, 0, 255}, {300, 255, 0, 255}, {301, 255, 0, 250},
                 {359, 255, 0, 4}})
            QTest::addRow("hue %d at full", h) << QStringLiteral("toRgb") << Ints{h, 255, 255} << Ints{r, g, b};
        row("no saturation is grey", "toRgb", {0, 0, 200}, {200, 200, 200});
        row("dim and pale", "toRgb", {100, 10, 50}, {48, 50, 48});
        row("400", "limit", {400}, {255, 359});
        row("360", "limit", {360}, {255, 359});
        row("-5", "limit", {-5}, {0, 0});
        // Offsets from the centre, y down: on the wheel, hue, saturation.
        row("right is red and the rim full", "wheelPick", {100, 0}, {1, 0, 255});
        row("up is 90", "wheelPick", {0, -100}, {1, 90, 255});
        row("left is 180", "wheelPick", {-100, 0}, {1, 180, 255});
        row("down is 270", "wheelPick", {0, 100}, {1, 270, 255});
        row("below right is 315", "wheelPick", {70, 70}, {1, 315, 249});
        row("centre", "wheelPick", {0, 0}, {1, 0, 0});
        row("half way", "wheelPick", {50, 0}, {1, 0, 127});
        row("one past the rim", "wheelPick", {101, 0}, {0, 0, 255});
        row("diagonal just outside", "wheelPick", {71, -71}, {0, 45, 255});
        row("wheel point of 0", "wheelPoint", {0, 255}, {200, 100});
        row("wheel point of 90", "wheelPoint", {90, 255}, {100, 0});
        row("wheel point of 359", "wheelPoint", {359, 255}, {199, 101});
        row("wheel point of the back colour", "wheelPoint", {65, 61}, {110, 79});
        // A bar of 201 rows from row 25.
        for (auto [y, b] : std::initializer_list<std::pair<int, int>>{{24, 255}, {25, 255}, {125, 128}, {225, 1}, {226, 0}, {300, 0}})
            QTest::addRow("bar row %d", y) << QStringLiteral("bar") << Ints{y} << Ints{b};
        for (auto [b, y] : std::initializer_list<std::pair<int, int>>{{0, 226}, {128, 126}, {183, 82}, {255, 25}})
            QTest::addRow("bar marker of %d", b) << QStringLiteral("barMarker") << Ints{b} << Ints{y};
        row("axis lengths", "lengths", {}, {99, 88, 88});
        row("red end", "axisPoint", {Red, 255}, {102, 9});
        row("green end", "axisPoint", {Green, 255}, {24, 146});
        row("red half", "axisPoint", {Red, 128}, {102, 59});
        row("green 183", "axisPoint", {Green, 183}, {46, 135});
        row("drag red to its end", "drag", {Red, 0, 9}, {255});
        row("drag red below the origin", "drag", {Red, 0, 200}, {0});
        row("drag green to its end column", "drag", {Green, 23, 0}, {255});
        row("drag green half way, far off the axis", "drag", {Green, 63, 500}, {126});
        row("drag green right of the origin", "drag", {Green, 150, 0}, {0});
        row("drag blue half way", "drag", {Blue, 142, 0}, {129});
        row("drag blue past its end", "drag", {Blue, 300, 0}, {255});
        // RG, GB, RB, RGB: upright edges stay in their columns.
        row("box at full", "box", {255, 255, 255}, {24, 47, 102, 184, 180, 47, 102, 85});
        row("box of the back colour", "box", {179, 183, 139}, {46, 66, 87, 155, 144, 59, 87, 86});
        row("box of black", "box", {0, 0, 0}, {102, 108, 102, 108, 102, 108, 102, 108});
    }

    void arithmetic()
    {
        QFETCH(QString, fn);
        QFETCH(Ints, in);
        QFETCH(Ints, out);
        const CubeAxes axes = cubeAxes();
        const QPoint centre(100, 100);
        Ints got;
        if (fn == u"toHsb") {
            const Hsb c = toHsb({in[0], in[1], in[2]});
            got = {c.hue, c.saturation, c.brightness};
        } else if (fn == u"toRgb") {
            const Rgb c = toRgb({in[0], in[1], in[2]});
            got = {c.red, c.green, c.blue};
        } else if (fn == u"limit") {
            got = {limitChannel(in[0]), limitHue(in[0])};
        } else if (fn == u"wheelPick") {
            const QPoint p = centre + QPoint(in[0], in[1]);
            const Hsb c = wheelPick(centre, p);
            got = {onWheel(centre, p), c.hue, c.saturation};
        } else if (fn == u"wheelPoint") {
            const QPoint p = wheelPoint(centre, in[0], in[1]);
            got = {p.x(), p.y()};
        } else if (fn == u"bar") {
            got = {barBrightness(25, 201, in[0])};
        } else if (fn == u"barMarker") {
            got = {barMarkerRow(25, 201, in[0])};
        } else if (fn == u"lengths") {
            got = {axes.length(Red), axes.length(Green), axes.length(Blue)};
        } else if (fn == u"axisPoint") {
            const QPoint p = axisPoint(axes, Channel(in[0]), in[1]);
            got = {p.x(), p.y()};
        } else if (fn == u"drag") {
            got = {dragValue(axes, Channel(in[0]), {in[1], in[2]})};
        } else if (fn == u"box") {
            const BoxCorners k = boxCorners(axes, axisPoint(axes, Red, in[0]), axisPoint(axes, Green, in[1]),
                                            axisPoint(axes, Blue, in[2]));
            for (QPoint p : {k.rg, k.gb, k.rb, k.rgb})
                got << p.x() << p.y();
        }
        QCOMPARE(got, out);
    }

    void opensOnTheColourItIsGiven()
    {
        Chooser c(0x8BB7B3);
        QCOMPARE(c.dialog.windowTitle(), QStringLiteral("Choose a colour"));
        QVERIFY(c.dialog.isModal());
        QCOMPARE(c.model(), Ints({179, 183, 139, 65, 61, 183}));
        QCOMPARE(c.shown(), c.model());
        QStringList texts;
        for (QLabel *l : c.dialog.findChildren<QLabel *>())
            texts << l->text();
        for (QGroupBox *g : c.dialog.findChildren<QGroupBox *>())
            texts << g->title();
        for (const char *t : {"RGB", "HSB", "RGB Values", "HSB Values", "Red", "Green", "Blue", "Hue", "Saturation",
                              "Brightness", "Current Colour", "New Colour"})
            QVERIFY2(texts.contains(QLatin1String(t)), t);

        // Both swatches show it, in a black line and a light-over-dark frame.
        for (const char *name : {"currentColour", "newColour"}) {
            auto *s = c.dialog.findChild<ColourSwatch *>(QLatin1String(name));
            const QRect r = s->rect();
            QCOMPARE(pixel(s, r.center()), qRgb(179, 183, 139));
            QCOMPARE(pixel(s, r.topLeft()), qRgb(0, 0, 0));
            QCOMPARE(pixel(s, r.topLeft() + QPoint(1, 1)), qRgb(0xC0, 0xC0, 0xC0));
            QCOMPARE(pixel(s, r.bottomRight() - QPoint(1, 1)), qRgb(0x80, 0x80, 0x80));
        }

        // The pictures: grey surround gone, red right and white in the middle of the wheel,
        // the cube's faces on each side of its white axes.
        const QPoint w = c.wheel->centre(), img = c.cube->imageRect().topLeft();
        QCOMPARE(pixel(c.wheel, c.wheel->imageRect().topLeft()), c.surround().rgb());
        QCOMPARE(pixel(c.cube, img), c.surround().rgb());
        QCOMPARE(pixel(c.wheel, w), qRgb(255, 255, 255));
        QCOMPARE(pixel(c.wheel, w + QPoint(99, 0)), qRgb(255, 3, 3));
        QCOMPARE(pixel(c.cube, c.cube->axes().origin), qRgb(255, 255, 255));
        const QRgb redGreen = pixel(c.cube, img + QPoint(90, 60)), redBlue = pixel(c.cube, img + QPoint(114, 60)),
                   greenBlue = pixel(c.cube, img + QPoint(102, 150));
        QVERIFY(qBlue(redGreen) == 0 && qRed(redGreen) > 0 && qGreen(redGreen) > 0);
        QVERIFY(qGreen(redBlue) == 0 && qRed(redBlue) > 0 && qBlue(redBlue) > 0);
        QVERIFY(qRed(greenBlue) == 0 && qGreen(greenBlue) > 0 && qBlue(greenBlue) > 0);

        // A new button colour is the pictures' new surround.
        const int builds = c.dialog.imageBuildCount();
        QPalette pal = c.dialog.palette();
        pal.setColor(QPalette::Button, QColor(0x30, 0x60, 0x90));
        c.dialog.setPalette(pal);
        QCOMPARE(pixel(c.cube, img), qRgb(0x30, 0x60, 0x90));
        QCOMPARE(pixel(c.wheel, c.wheel->imageRect().topLeft()), qRgb(0x30, 0x60, 0x90));
        QCOMPARE(c.dialog.imageBuildCount(), builds + 2);

        // A stored 255 is red.
        Chooser red(255);
        QCOMPARE(red.model(), Ints({255, 0, 0, 0, 255, 255}));
        QCOMPARE(pixel(red.dialog.findChild<ColourSwatch *>(QStringLiteral("currentColour")), {10, 10}), qRgb(255, 0, 0));
    }

    void wheelAndBarPickTheirOwnColours()
    {
        Chooser c(colourRef(255, 0, 0));
        const int builds = c.dialog.imageBuildCount();
        QCOMPARE(builds, 2);
        const QPoint centre = c.wheel->centre();
        const QImage wheel = ColourImages::wheel();

        // Named places catch a wheel drawn clockwise or mirrored; every one, and the points
        // between, give the colour under the pointer.
        struct Place {
            QPoint at;
            int hue;
            QRgb colour;
        };
        const Place places[] = {
            {{99, 0}, 0, qRgb(255, 3, 3)},      {{0, -99}, 90, qRgb(129, 255, 3)}, {{-99, 0}, 180, qRgb(3, 255, 255)},
            {{0, 99}, 270, qRgb(129, 3, 255)}, {{70, 70}, 315, qRgb(255, 6, 192)}, {{60, -40}, 33, qRgb(255, 172, 72)},
            {{-30, 50}, 240, qRgb(108, 108, 255)}, {{-50, -80}, 122, qRgb(16, 255, 23)}, {{0, 0}, 0, qRgb(255, 255, 255)},
        };
        for (const Place &pl : places) {
            const QPoint p = centre + pl.at;
            const QRgb seen = pixel(c.wheel, p);
            const int refreshes = c.dialog.refreshCount();
            click(c.wheel, p);
            QCOMPARE(seen, pl.colour);
            QCOMPARE(c.chosen(), seen);
            QCOMPARE(c.dialog.hue(), pl.hue);
            QCOMPARE(c.dialog.brightness(), 255);
            QCOMPARE(c.dialog.refreshCount(), refreshes + 1);
            QCOMPARE(c.shown(), c.model());
            // The marker inverts what is under it.
            const QPoint corner = wheelPoint(centre, pl.hue, c.dialog.saturation()) - QPoint(5, 5);
            QCOMPARE(pixel(c.wheel, corner), inverted(unmarked(wheel, c.wheel->imageRect(), corner, c.surround())));
        }

        // Presses outside the wheel, however near, start nothing.
        const Ints before = c.model();
        const int refreshes = c.dialog.refreshCount();
        for (QPoint off : {QPoint(101, 0), QPoint(71, -71), QPoint(-80, 61), QPoint(-110, 100)}) {
            QTest::mousePress(c.wheel, Qt::LeftButton, {}, centre + off);
            QTest::mouseMove(c.wheel, centre + QPoint(10, 10));
            QTest::mouseRelease(c.wheel, Qt::LeftButton, {}, centre + QPoint(10, 10));
        }
        QCOMPARE(c.model(), before);
        QCOMPARE(c.dialog.refreshCount(), refreshes);

        // A drag that leaves the wheel saturates; after the release the pointer moves nothing.
        QTest::mousePress(c.wheel, Qt::LeftButton, {}, centre + QPoint(20, 0));
        QTest::mouseMove(c.wheel, centre + QPoint(150, -150));
        QCOMPARE(Ints({c.dialog.hue(), c.dialog.saturation()}), Ints({45, 255}));
        QTest::mouseMove(c.wheel, centre + QPoint(-300, 0));
        QCOMPARE(Ints({c.dialog.hue(), c.dialog.saturation()}), Ints({180, 255}));
        QTest::mouseRelease(c.wheel, Qt::LeftButton, {}, centre + QPoint(-300, 0));
        QTest::mouseMove(c.wheel, centre);
        QCOMPARE(c.dialog.hue(), 180);

        // The bar, in the colours of the new hue: a clicked row gives its own colour.
        const QRect bar = c.wheel->barRect();
        for (int y : {bar.top(), bar.top() + 40, bar.top() + 150, bar.bottom()}) {
            const QPoint p(bar.center().x(), y);
            const QRgb seen = pixel(c.wheel, p);
            click(c.wheel, p);
            QCOMPARE(c.dialog.brightness(), (bar.top() + bar.height() - y) * 255 / bar.height());
            QCOMPARE(c.chosen(), seen);
            const int row = barMarkerRow(bar.top(), bar.height(), c.dialog.brightness());
            QCOMPARE(pixel(c.wheel, {bar.left() - 1, row}), inverted(c.surround().rgb()));
        }
        QTest::mousePress(c.wheel, Qt::LeftButton, {}, bar.center());
        QTest::mouseMove(c.wheel, bar.center() + QPoint(30, 200));
        QCOMPARE(c.dialog.brightness(), 0);
        QTest::mouseMove(c.wheel, bar.center() - QPoint(30, 200));
        QCOMPARE(c.dialog.brightness(), 255);
        QTest::mouseRelease(c.wheel, Qt::LeftButton, {}, bar.center());
        QCOMPARE(c.dialog.imageBuildCount(), builds);
    }

    void cubeSquaresFollowTheirDrags()
    {
        Chooser c(0x8BB7B3);
        const CubeAxes axes = c.cube->axes();
        const QPoint o = axes.origin;
        const QImage cube = ColourImages::cube();
        auto plain = [&](QPoint p) { return unmarked(cube, c.cube->imageRect(), p, c.surround()); };
        const int builds = c.dialog.imageBuildCount();

        // The squares and the box's corners are inverted.
        QPoint sq = c.cube->squareCentre(Red);
        QCOMPARE(sq, o + QPoint(0, -69));
        QCOMPARE(pixel(c.cube, sq - QPoint(5, 5)), inverted(plain(sq - QPoint(5, 5))));
        const BoxCorners k = boxCorners(axes, sq, c.cube->squareCentre(Green), c.cube->squareCentre(Blue));
        for (QPoint corner : {k.rg, k.rb, k.gb})
            QCOMPARE(pixel(c.cube, corner), inverted(plain(corner)));

        // Red follows the pointer's row wherever the pointer is across.
        QTest::mousePress(c.cube, Qt::LeftButton, {}, sq + QPoint(3, 2));
        for (int y : {o.y() - 20, o.y() - 99, o.y() - 150, o.y() + 30, o.y() - 60}) {
            QTest::mouseMove(c.cube, {sq.x() + 40, y});
            const int d = o.y() - std::clamp(y, o.y() - 99, o.y());
            QCOMPARE(c.dialog.red(), d * 255 / 99);
            QCOMPARE(c.cube->squareCentre(Red).y(), o.y() - d * 255 / 99 * 99 / 255);
        }
        QTest::mouseRelease(c.cube, Qt::LeftButton, {}, {sq.x() + 40, o.y() - 60});
        QCOMPARE(Ints({c.dialog.green(), c.dialog.blue()}), Ints({183, 139}));

        // Green and blue follow its column; one jump lands where a slow drag would.
        for (Channel ch : {Green, Blue}) {
            const int far = axes.ends[ch].x(), dir = far < o.x() ? -1 : 1;
            sq = c.cube->squareCentre(ch);
            QTest::mousePress(c.cube, Qt::LeftButton, {}, sq);
            for (int x : {far, o.x() + 40 * dir, o.x() - 30 * dir, far + 60 * dir, o.x() + 50 * dir}) {
                QTest::mouseMove(c.cube, {x, o.y() + 70});
                const int value = ch == Green ? c.dialog.green() : c.dialog.blue();
                const int column = dir * std::clamp((x - o.x()) * dir, 0, (far - o.x()) * dir);
                QVERIFY2(std::abs(c.cube->squareCentre(ch).x() - (o.x() + column)) <= 2, qPrintable(QString::number(x)));
                QVERIFY(std::abs(value - std::abs(column) * 255 / 79) <= 2);
            }
            QTest::mouseRelease(c.cube, Qt::LeftButton, {}, {o.x() + 50 * dir, o.y() + 70});
        }
        const Hsb hsb = toHsb({c.dialog.red(), c.dialog.green(), c.dialog.blue()});
        QCOMPARE(c.model().mid(3), Ints({hsb.hue, hsb.saturation, hsb.brightness}));
        QCOMPARE(c.shown(), c.model());

        // Away from the squares, or with the other button, a press drags nothing.
        const Ints before = c.model();
        for (auto [at, button] : {std::pair{o + QPoint(-40, -40), Qt::LeftButton}, {c.cube->squareCentre(Red), Qt::RightButton}}) {
            QTest::mousePress(c.cube, button, {}, at);
            QTest::mouseMove(c.cube, o + QPoint(0, -90));
            QTest::mouseRelease(c.cube, button, {}, o + QPoint(0, -90));
        }
        QCOMPARE(c.model(), before);
        QCOMPARE(c.dialog.imageBuildCount(), builds);
    }

    void editsStayInRangeWithoutFeedback()
    {
        Chooser c(0x8BB7B3);
        int r = c.dialog.refreshCount();
        // One refresh a keystroke: "4", "40", then 400 comes back as 255.
        c.type("red", QStringLiteral("400"));
        QCOMPARE(c.dialog.refreshCount(), r + 3);
        QCOMPARE(c.model(), Ints({255, 183, 139, 22, 116, 255}));
        QCOMPARE(c.spin("red")->text(), QStringLiteral("255"));
        // Hue 400 is kept as 359, and saturation and brightness stay as they were.
        c.type("hue", QStringLiteral("400"));
        QCOMPARE(c.model(), Ints({255, 139, 140, 359, 116, 255}));
        c.type("saturation", QStringLiteral("-5"));
        QCOMPARE(c.model(), Ints({255, 255, 255, 359, 0, 255}));
        c.type("blue", QStringLiteral("9999"));
        QCOMPARE(c.spin("blue")->text(), QStringLiteral("255"));
        QCOMPARE(c.shown(), c.model());

        // Pasted text is refused whole; pasted numbers come back in range.
        r = c.dialog.refreshCount();
        c.paste("green", QStringLiteral("abc"));
        QCOMPARE(c.dialog.refreshCount(), r);
        QCOMPARE(c.spin("green")->text(), QStringLiteral("255"));
        for (auto [text, value] : {std::pair{"12", 12}, {"-5", 0}, {"9999", 255}}) {
            c.paste("green", QLatin1String(text));
            QCOMPARE(c.dialog.green(), value);
            QCOMPARE(c.spin("green")->text(), QString::number(value));
        }

        // Greys have neither hue nor saturation.
        for (const char *f : {"red", "green", "blue"})
            c.type(f, QStringLiteral("77"));
        QCOMPARE(c.model(), Ints({77, 77, 77, 0, 0, 77}));
        // Numbers typed in one model stay as typed: 48, 50, 48 would read back as hue 120.
        c.type("hue", QStringLiteral("100"));
        c.type("saturation", QStringLiteral("10"));
        c.type("brightness", QStringLiteral("50"));
        QCOMPARE(c.model(), Ints({48, 50, 48, 100, 10, 50}));

        // The spin buttons stop at the ends, one refresh a step.
        for (auto [f, from, to] : {std::tuple{"red", "254", 255}, {"hue", "358", 359}, {"saturation", "1", 0}}) {
            c.type(f, QLatin1String(from));
            r = c.dialog.refreshCount();
            for (int i = 0; i < 2; ++i)
                QTest::keyClick(c.spin(f), to ? Qt::Key_Up : Qt::Key_Down);
            QCOMPARE(c.dialog.refreshCount(), r + 1);
            QCOMPARE(c.spin(f)->value(), to);
        }
        QCOMPARE(c.shown(), c.model());
    }

    void opensOverItsParentAndAnswers()
    {
        QWidget parent;
        parent.setWindowFlag(Qt::WindowStaysOnTopHint);
        parent.setGeometry(200, 150, 900, 700);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        for (bool withParent : {true, false}) {
            QCursor::setPos(1500, 300);
            ColourChooserDialog dialog(colourRef(255, 0, 0), withParent ? &parent : nullptr);
            QPoint centre;
            QWindow *top = nullptr;
            QTimer::singleShot(0, &dialog, [&] {
                if (!QTest::qWaitForWindowExposed(&dialog))
                    return;
                centre = dialog.geometry().center();
                top = QGuiApplication::topLevelAt(centre);
                auto *wheel = dialog.findChild<WheelPicker *>();
                click(wheel, wheel->centre() + QPoint(-99, 0));
                if (withParent)
                    click(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), {5, 5});
                else
                    QTest::keyClick(&dialog, Qt::Key_Escape);
            });
            const int result = dialog.exec();
            QCOMPARE(result, withParent ? QDialog::Accepted : QDialog::Rejected);
            const QPoint expected = withParent ? parent.geometry().center()
                                               : QGuiApplication::screenAt({1500, 300})->availableGeometry().center();
            QVERIFY2((centre - expected).manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
            QCOMPARE(top, dialog.windowHandle());
            QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(Ints({dialog.red(), dialog.green(), dialog.blue(), dialog.hue()}), Ints({3, 255, 255, 180}));
        }
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KT_SHOTS");
        if (dir.isEmpty())
            QSKIP("KT_SHOTS names no folder");
        Chooser c(0x8BB7B3);
        QVERIFY(c.dialog.grab().save(dir + QStringLiteral("/colour-chooser.png")));
        // An orange picked on the wheel, then the cube's blue drawn up.
        click(c.wheel, c.wheel->centre() + QPoint(70, -40));
        c.type("brightness", QStringLiteral("230"));
        QTest::mousePress(c.cube, Qt::LeftButton, {}, c.cube->squareCentre(Blue));
        QTest::mouseMove(c.cube, c.cube->axes().origin + QPoint(45, 0));
        QTest::mouseRelease(c.cube, Qt::LeftButton, {}, c.cube->axes().origin + QPoint(45, 0));
        QVERIFY(c.dialog.grab().save(dir + QStringLiteral("/colour-chooser-picked.png")));
        // The pickers three times over, pixel for pixel, to show the inverting markers.
        const QRect both = c.cube->geometry() | c.wheel->geometry();
        const QImage pickers = c.dialog.grab(both).toImage();
        QVERIFY(pickers.scaled(pickers.size() * 3).save(dir + QStringLiteral("/colour-chooser-markers.png")));
    }
};

QTEST_MAIN(TestColourChooser)
#include "test_colour_chooser.moc"
