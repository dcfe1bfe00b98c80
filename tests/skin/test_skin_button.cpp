// Skin buttons and sliders checked by their pixels over a window of a known colour, the
// built-in images, and the .bmp reader against every depth and against hostile files.
#include "BmpWriter.h"
#include "TestEnv.h"
#include "skin/BmpFile.h"
#include "skin/BuiltinImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QColor Behind(0xFF, 0x00, 0xFF); // what the window behind shows
const QRgb Key = SkinButton::KeyColour;

QImage solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// A window of one colour, a skin button on it.
struct Stage {
    QWidget window;
    SkinButton *button;
    explicit Stage(QSize buttonSize = {10, 10})
    {
        window.resize(60, 40);
        window.setAutoFillBackground(true);
        QPalette p = window.palette();
        p.setColor(QPalette::Window, Behind);
        window.setPalette(p);
        button = new SkinButton(&window);
        button->setGeometry(QRect(QPoint(20, 10), buttonSize));
        button->makeTransparent(true);
        button->setHoverBorder(false);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("window not exposed");
    }
    QRgb at(int x, int y) { return window.grab(button->geometry()).toImage().pixel(x, y) | 0xFF000000; }
};

bool xdo(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForStarted();
    while (p.state() != QProcess::NotRunning)
        QTest::qWait(10);
    QTest::qWait(100);
    return p.exitCode() == 0;
}

QStringList to(QWidget *w, QPoint p)
{
    const QPoint g = w->mapToGlobal(p);
    return {QStringLiteral("mousemove"), QString::number(g.x()), QString::number(g.y())};
}

} // namespace

class TestSkinButton : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnv>(); }

    void keyColourIsExactAtEveryDepth_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QRgb>("nearKey");
        for (int bits : {1, 4, 8, 24, 32})
            QTest::addRow("%d bits", bits) << bits << qRgb(0, 254, 0);
        // 5-5-5: one step below full green is the nearest colour there is.
        QTest::addRow("16 bits") << 16 << qRgb(0, 247, 0);
    }

    void keyColourIsExactAtEveryDepth()
    {
        QFETCH(int, bits);
        QFETCH(QRgb, nearKey);
        // Left half the key, right half one unit off it.
        QImage img = solid({8, 4}, Key);
        for (int y = 0; y < 4; ++y)
            for (int x = 4; x < 8; ++x)
                img.setPixel(x, y, nearKey);
        const QString path = env->path(QStringLiteral("key%1.bmp").arg(bits));
        QVERIFY(BmpWriter::write(path, img, bits));
        const QImage read = BmpFile::load(path);
        QVERIFY(!read.isNull());
        Stage s({8, 4});
        QCOMPARE(s.button->setImages(read, {}), 0);
        QCOMPARE(s.at(1, 1), Behind.rgb());
        QCOMPARE(s.at(6, 2), nearKey | 0xFF000000);
    }

    void builtInImagesHaveNoFringeNearTheKey()
    {
        for (const BuiltinImages::Info &info : BuiltinImages::all()) {
            for (qreal dpr : {1.0, 2.0}) {
                const QImage img = BuiltinImages::image(info.id, dpr);
                QCOMPARE(img.size(), info.size * dpr);
                int keyed = 0;
                for (int y = 0; y < img.height(); ++y) {
                    for (int x = 0; x < img.width(); ++x) {
                        const QRgb p = img.pixel(x, y) | 0xFF000000;
                        if (p == Key) {
                            ++keyed;
                            continue;
                        }
                        const bool greenish = qGreen(p) > 200 && qRed(p) < 40 && qBlue(p) < 40;
                        QVERIFY2(!greenish, qPrintable(QStringLiteral("%1 at %2,%3").arg(info.name).arg(x).arg(y)));
                    }
                }
                // Buttons float over the window; backgrounds cover it.
                QCOMPARE(keyed > 0, info.keyed);
            }
        }
        // Every tile wraps without a seam: its edges continue each other.
        for (int id : {227, 295, 296, 300}) {
            const QImage t = BuiltinImages::image(id);
            double jump = 0, inside = 0;
            for (int y = 0; y < t.height(); ++y) {
                jump += std::abs(qGray(t.pixel(0, y)) - qGray(t.pixel(t.width() - 1, y)));
                inside += std::abs(qGray(t.pixel(1, y)) - qGray(t.pixel(0, y)));
            }
            QVERIFY2(jump < 2.5 * inside + t.height(), qPrintable(QString::number(id)));
        }
    }

    void statesShowTheirImages()
    {
        const QRgb lit = qRgb(0, 0, 200), rest = qRgb(120, 120, 120);
        Stage s;
        s.button->setImages(solid({6, 6}, lit), solid({6, 6}, rest));
        // At rest the rest image, centred: (2,2) to (7,7).
        QCOMPARE(s.at(4, 4), rest);
        QCOMPARE(s.at(1, 1), Behind.rgb());
        // The real pointer over it lights it.
        QVERIFY(xdo(to(s.button, {5, 5})));
        QTRY_VERIFY(s.button->isMouseOver());
        QCOMPARE(s.at(4, 4), lit);
        QCOMPARE(s.at(2, 2), lit);
        // Pressed, the lit image moves down and right by a pixel.
        QTest::mousePress(s.button, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(s.at(2, 2), Behind.rgb());
        QCOMPARE(s.at(8, 8), lit);
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, {5, 5});
        // Away again it rests.
        QVERIFY(xdo(to(&s.window, {2, 2})));
        QTRY_VERIFY(!s.button->isMouseOver());
        QCOMPARE(s.at(4, 4), rest);
        // Coming in with the button already down does not light it.
        QVERIFY(xdo(to(&s.window, {2, 2}) << "mousedown" << "1"));
        QVERIFY(xdo(to(s.button, {5, 5})));
        QCOMPARE(s.at(4, 4), rest);
        QVERIFY(xdo({"mouseup", "1"}));
        // A toggle is drawn pressed while checked, without the move, and flips on every click.
        s.button->setToggleMode(true);
        QVERIFY(xdo(to(&s.window, {2, 2})));
        QTest::mouseClick(s.button, Qt::LeftButton, {}, {5, 5});
        QVERIFY(s.button->isChecked());
        QVERIFY(xdo(to(&s.window, {2, 2})));
        QCOMPARE(s.at(2, 2), lit);
        QTest::mouseDClick(s.button, Qt::LeftButton, {}, {5, 5});
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, {5, 5});
        QVERIFY(!s.button->isChecked()); // the double click was a second click
        // With only a lit image, that shows at rest too.
        s.button->setToggleMode(false);
        s.button->setImages(solid({6, 6}, lit), {});
        QCOMPARE(s.at(4, 4), lit);
        // A larger image is centred and clipped on both sides.
        QImage big = solid({14, 14}, lit);
        big.setPixel(2, 2, qRgb(255, 0, 0));
        big.setPixel(11, 11, qRgb(255, 255, 0));
        s.button->setImages(big, {});
        QCOMPARE(s.at(0, 0), qRgb(255, 0, 0));
        QCOMPARE(s.at(9, 9), qRgb(255, 255, 0));
    }

    void heldButtonRepeats()
    {
        Stage s;
        s.button->setImages(solid({6, 6}, qRgb(0, 0, 200)), {});
        s.button->setAutoRepeatPeriod(100);
        QSignalSpy steps(s.button, &SkinButton::repeatStep);
        QSignalSpy clicks(s.button, &SkinButton::clicked);
        QTest::mouseClick(s.button, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(steps.size(), 1);
        QCOMPARE(clicks.size(), 1);
        // Held 250 ms: at 0, 100 and 200 ms (a busy machine may miss one), then the click.
        steps.clear();
        QTest::mousePress(s.button, Qt::LeftButton, {}, {5, 5});
        QTest::qWait(250);
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, {5, 5});
        QVERIFY2(steps.size() >= 2 && steps.size() <= 3, qPrintable(QString::number(steps.size())));
        QCOMPARE(clicks.size(), 2);
        QTest::qWait(250);
        QVERIFY(steps.size() <= 3);
    }

    void sliderTicksStayBlackOverAnyBackground()
    {
        QWidget window;
        window.resize(200, 40);
        window.setAutoFillBackground(true);
        QPalette p = window.palette();
        p.setColor(QPalette::Window, QColor(200, 30, 30));
        window.setPalette(p);
        auto *s = new SkinSlider(&window);
        s->setGeometry(10, 10, 180, 22);
        s->setRange(0, 60);
        s->setTickInterval(10);
        s->setTickPosition(QSlider::TicksBelow);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage img = s->grab().toImage();
        int black = 0;
        for (int y = img.height() / 2; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                black += (img.pixel(x, y) & 0xFFFFFF) == 0;
        QVERIFY2(black >= 7 * 2, qPrintable(QString::number(black)));
        // No background of its own: the window's red shows round the channel.
        QCOMPARE(img.pixel(0, 0) | 0xFF000000, qRgb(200, 30, 30));
    }

    void hostileFilesAreRefused()
    {
        auto write = [this](const QString &name, const QByteArray &bytes) {
            QFile f(env->path(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            return f.fileName();
        };
        QByteArray good = BmpWriter::encode(solid({4, 4}, qRgb(1, 2, 3)), 24);
        QByteArray huge = good;
        qToLittleEndian<qint32>(100000, huge.data() + 18);
        QByteArray negative = good;
        qToLittleEndian<qint32>(-4, negative.data() + 18);
        QByteArray deep = good;
        qToLittleEndian<quint16>(7, deep.data() + 28);
        const QString fifo = env->path(QStringLiteral("pipe.bmp"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QStringList bad = {
            write(QStringLiteral("text.bmp"), "this is not a picture"),
            write(QStringLiteral("huge.bmp"), huge),
            write(QStringLiteral("negative.bmp"), negative),
            write(QStringLiteral("deep.bmp"), deep),
            write(QStringLiteral("cut.bmp"), good.left(good.size() - 10)),
            write(QStringLiteral("empty.bmp"), {}),
            fifo,
            env->path(QStringLiteral("missing.bmp")),
            env->root(),
        };
        QElapsedTimer t;
        t.start();
        for (const QString &path : bad) {
            QString why;
            QVERIFY2(BmpFile::load(path, &why).isNull(), qPrintable(path));
            QVERIFY(!why.isEmpty());
        }
        QVERIFY(t.elapsed() < 2000); // the pipe is never opened
        QVERIFY(!BmpFile::load(write(QStringLiteral("good.bmp"), good)).isNull());
    }
};

QTEST_MAIN(TestSkinButton)
#include "test_skin_button.moc"
