#include "TestEnv.h"
#include "skin/DigitalDisplay.h"
#include "skin/ScrollingDisplay.h"

#include <QtTest>

using namespace Segments;

namespace {

constexpr ColourRef Back = colourRef(10, 20, 30);
constexpr ColourRef On = colourRef(250, 200, 0);
constexpr ColourRef Off = colourRef(40, 90, 40);

QRgb rgb(ColourRef c)
{
    return colourFromRef(c).rgb();
}

std::unique_ptr<DigitalDisplay> display(const QString &text, int style, QSize size)
{
    auto d = std::make_unique<DigitalDisplay>();
    d->resize(size);
    d->modifyStyle(~style, style);
    d->setBackColour(Back);
    d->setColours(Off, On);
    d->setText(text);
    return d;
}

QImage picture(DigitalDisplay &d)
{
    return d.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel that is not the back colour.
QRect ink(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != rgb(Back))
                r |= QRect(x, y, 1, 1);
    return r;
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class TestDigitalDisplay : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }

    void textsStylesAndReturnValues()
    {
        DigitalDisplay d;
        QCOMPARE(d.text(), QStringLiteral("?"));
        QCOMPARE(d.displayStyle(), 4);
        QCOMPARE(d.offColour(), 0x003400);
        QCOMPARE(d.onColour(), 0x00FF00);
        QCOMPARE(d.backColour(), 0);

        QVERIFY(d.setText(QStringLiteral("12:34")));
        QVERIFY(!d.setText(QStringLiteral("12:34")));
        QCOMPARE(d.designWidth(), 214);
        QCOMPARE(d.cells()[2].designWidth, 18);
        QCOMPARE(d.cells()[2].mask, 3u); // the colon's upper dots; the bottom one stays unlit

        // Letters upper-cased into fourteen segments; digits stay seven until style 2.
        QVERIFY(d.setText(QStringLiteral("hello 42")));
        QVERIFY(!d.setText(QStringLiteral("hello 42"))); // the caller's text, not the shown one
        QCOMPARE(d.shownText(), QStringLiteral("HELLO 42"));
        QCOMPARE(d.cells()[0].kind, CellKind::Fourteen);
        QCOMPARE(d.cells()[7].kind, CellKind::Seven);
        QVERIFY(!d.modifyStyle(2, 2));
        QVERIFY(!d.modifyStyle(7, 1));
        QCOMPARE(d.displayStyle(), 4);
        QVERIFY(d.modifyStyle(0, 3));
        QCOMPARE(d.displayStyle(), 7);
        QCOMPARE(d.cells()[7].kind, CellKind::Fourteen);
        QCOMPARE(d.cells()[7].mask, 0x36C0u);
        QVERIFY(d.modifyStyle(5, 0));
        QCOMPARE(d.displayStyle(), 2);

        // "?" shows the caption and follows it.
        d.setText(QStringLiteral("?"));
        d.setWindowTitle(QStringLiteral("Time"));
        QCOMPARE(d.shownText(), QStringLiteral("TIME"));
        d.setWindowTitle(QStringLiteral("Date"));
        QCOMPARE(d.shownText(), QStringLiteral("DATE"));

        QCOMPARE(d.setBackColour(0x123456), 0);
        QCOMPARE(d.setBackColour(0x123456), 0x123456);
        d.setColours(0x111111, 0x222222);
        QCOMPARE(d.offColour(), 0x111111);
        QCOMPARE(d.onColour(), 0x222222);
    }

    // Unchanged texts and colours cost no paint; colours repaint without a new layout;
    // only text, style and size lay the segments out again.
    void onlyChangesRepaintAndOnlyTextStyleOrSizeLayOut()
    {
        DigitalDisplay d;
        d.modifyStyle(0, DigitalDisplay::SmoothSegments);
        d.setText(QStringLiteral("  1:05:09  "));
        d.resize(240, 40);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        PaintCounter counter;
        d.installEventFilter(&counter);
        QTRY_VERIFY(d.layoutCount() >= 1);
        QTest::qWait(50);
        const int layouts = d.layoutCount();
        counter.paints = 0;

        for (int i = 0; i < 10; ++i)
            QVERIFY(!d.setText(QStringLiteral("  1:05:09  ")));
        d.setColours(d.offColour(), d.onColour());
        d.setBackColour(d.backColour());
        QTest::qWait(50);
        QCOMPARE(counter.paints, 0);

        d.setColours(0x00FF00, 0x003400);
        QTRY_COMPARE(counter.paints, 1);
        d.setBackColour(0x101010);
        QTRY_COMPARE(counter.paints, 2);
        d.repaint();
        QCOMPARE(counter.paints, 3);
        QCOMPARE(d.layoutCount(), layouts);

        d.setText(QStringLiteral("  1:05:10  "));
        QTRY_COMPARE(counter.paints, 4);
        QCOMPARE(d.layoutCount(), layouts + 1);
        d.modifyStyle(DigitalDisplay::SmoothSegments, 0);
        QTRY_COMPARE(d.layoutCount(), layouts + 2);
        d.resize(300, 50);
        QTRY_COMPARE(d.layoutCount(), layouts + 3);
    }

    void pixelsShowLitUnlitAndBack_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("k");
        QTest::newRow("straight x4") << 0 << 4;
        QTest::newRow("smooth x4") << 1 << 4;
        QTest::newRow("straight x2") << 0 << 2;
        QTest::newRow("smooth x2") << 1 << 2;
    }
    void pixelsShowLitUnlitAndBack()
    {
        QFETCH(int, style);
        QFETCH(int, k);
        // "1" filling the area, k pixels per design unit: only the right verticals lit.
        auto d = display(QStringLiteral("1"), style, QSize(49 * k, 83 * k));
        const QImage img = picture(*d);
        auto at = [&](int x, int y) { return img.pixel(x * k, y * k); };
        for (QPoint unlit : {QPoint(24, 7), QPoint(7, 24), QPoint(24, 41), QPoint(7, 58), QPoint(24, 75)})
            QCOMPARE(at(unlit.x(), unlit.y()), rgb(Off));
        QCOMPARE(at(41, 24), rgb(On));
        QCOMPARE(at(41, 58), rgb(On));
        QCOMPARE(at(24, 24), rgb(Back));
        QCOMPARE(at(24, 58), rgb(Back));
        QCOMPARE(img.pixel(0, 0), rgb(Back));
        // Outlines: three quarters of the fill colour, one quarter of the back colour.
        QCOMPARE(at(24, 11), edgeColour(Off, Back).rgb());
        QCOMPARE(at(37, 24), edgeColour(On, Back).rgb());
        QCOMPARE(img.pixel(24 * k, 11 * k + 1), rgb(Back));

        // "T:" in fourteen segments and the narrow cell.
        auto t = display(QStringLiteral("t:"), style, QSize((49 + 18) * k, 83 * k));
        const QImage timg = picture(*t);
        auto tat = [&](int x, int y) { return timg.pixel(x * k, y * k); };
        for (QPoint lit : {QPoint(24, 25), QPoint(24, 57), QPoint(24, 5), QPoint(57, 27), QPoint(57, 54)})
            QCOMPARE(tat(lit.x(), lit.y()), rgb(On));
        for (QPoint unlit : {QPoint(7, 20), QPoint(14, 41), QPoint(24, 77), QPoint(57, 72)})
            QCOMPARE(tat(unlit.x(), unlit.y()), rgb(Off));
        QCOMPARE(tat(57, 41), rgb(Back));
    }

    void proportionsAndEmptyText()
    {
        // Wide and low: the digits keep their shape (ink 4..44 of 49, 4..78 of 83), centred.
        auto kept = display(QStringLiteral("88"), DigitalDisplay::KeepProportions, QSize(400, 83));
        const QRect k = ink(picture(*kept));
        QVERIFY(qAbs(k.left() - (399 - k.right())) <= 1);
        QVERIFY(qAbs(k.width() - 90) <= 2 && qAbs(k.height() - 75) <= 2);
        // Tall and narrow: centred top to bottom.
        auto tall = display(QStringLiteral("8"), DigitalDisplay::KeepProportions, QSize(49, 200));
        const QRect t = ink(picture(*tall));
        QVERIFY(qAbs(t.top() - (199 - t.bottom())) <= 1);
        QVERIFY(qAbs(t.height() - 75) <= 2);
        // Without the bit the text fills the area both ways.
        auto filled = display(QStringLiteral("88"), 0, QSize(400, 166));
        QCOMPARE(ink(picture(*filled)), QRect(QPoint(16, 8), QPoint(380, 156)));

        auto empty = display(QString(), 7, QSize(120, 30));
        QVERIFY(ink(picture(*empty)).isNull());
    }

    void scrollingCirculatesItsText()
    {
        ScrollingDisplay s;
        QCOMPARE(s.scrollText(), QStringLiteral("This is an example scrolling display "));
        QCOMPARE(s.windowLength(), 12);
        QCOMPARE(s.scrollPeriod(), 200);
        QVERIFY(!s.isScrolling());

        // Not running: one step at once, then one character per step.
        s.setWindowLength(3);
        s.setScrollText(QStringLiteral("abcd"));
        QStringList shown{s.text()};
        for (int i = 0; i < 4; ++i) {
            s.step();
            shown << s.text();
        }
        QCOMPARE(shown, (QStringList{"bcd", "cda", "dab", "abc", "bcd"}));
        s.setWindowLength(12);
        s.setScrollText(QStringLiteral("ab"));
        QCOMPARE(s.text(), QStringLiteral("ba"));
        s.setScrollText(QString());
        QCOMPARE(s.text(), QString());

        // On its own timer; stopping keeps the shown text; while running a new text
        // waits for the next tick.
        s.setWindowLength(5);
        s.setScrollText(QStringLiteral("0123456789"));
        s.setScrollPeriod(20);
        s.startScrolling();
        QVERIFY(s.isScrolling());
        const QString first = s.text();
        QTRY_VERIFY(s.text() != first);
        s.stopScrolling();
        const QString kept = s.text();
        QTest::qWait(80);
        QCOMPARE(s.text(), kept);
        s.setScrollPeriod(10000);
        s.startScrolling();
        s.setScrollText(QStringLiteral("abcdefgh"));
        QCOMPARE(s.text(), kept);
    }
};

QTEST_MAIN(TestDigitalDisplay)
#include "test_digital_display.moc"
