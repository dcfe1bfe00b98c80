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

// A display with the test's colours.
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

// Columns and rows holding anything but the back colour.
QRect inkBounds(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != rgb(Back))
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestDigitalDisplay : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }

    void cellsFollowTheText()
    {
        DigitalDisplay d;
        QCOMPARE(d.text(), QStringLiteral("?"));
        QCOMPARE(d.displayStyle(), int(DigitalDisplay::KeepProportions));
        QCOMPARE(d.offColour(), 0x003400);
        QCOMPARE(d.onColour(), 0x00FF00);
        QCOMPARE(d.backColour(), 0);

        QVERIFY(d.setText(QStringLiteral("12:34")));
        QCOMPARE(d.designWidth(), 214);
        std::vector<int> widths;
        for (const Cell &c : d.cells())
            widths.push_back(c.designWidth);
        QCOMPARE(widths, (std::vector<int>{49, 49, 18, 49, 49}));
        QCOMPARE(d.cells()[2].mask, 3u); // the colon's two upper dots, not the bottom one

        // Letters are upper-cased into fourteen-segment cells; digits stay seven-segment
        // until the style asks otherwise.
        d.setText(QStringLiteral("hello 42"));
        QCOMPARE(d.shownText(), QStringLiteral("HELLO 42"));
        QCOMPARE(d.text(), QStringLiteral("hello 42"));
        QCOMPARE(d.cells()[0].kind, CellKind::Fourteen);
        QCOMPARE(d.cells()[0].mask, 0x1BC0u);
        QCOMPARE(d.cells()[7].kind, CellKind::Seven);
        QVERIFY(d.modifyStyle(0, DigitalDisplay::FourteenSegmentDigits));
        QCOMPARE(d.cells()[7].kind, CellKind::Fourteen);
        QCOMPARE(d.cells()[5].kind, CellKind::Fourteen);
        QCOMPARE(d.cells()[7].mask, 0x36C0u);

        d.setText(QStringLiteral("a/b,c"));
        QCOMPARE(d.cells()[1].kind, CellKind::Narrow);
        QCOMPARE(d.cells()[1].mask, 4u);
        QCOMPARE(d.cells()[3].mask, 4u);
        QCOMPARE(d.designWidth(), 3 * 49 + 2 * 18);

        // "?" shows the caption, and follows it.
        d.setText(QStringLiteral("?"));
        d.setWindowTitle(QStringLiteral("Time"));
        QCOMPARE(d.shownText(), QStringLiteral("TIME"));
        d.setWindowTitle(QStringLiteral("Date"));
        QCOMPARE(d.shownText(), QStringLiteral("DATE"));
        QVERIFY(!d.setText(QStringLiteral("?")));
    }

    void returnValuesOfSetTextAndModifyStyle()
    {
        DigitalDisplay d;
        QVERIFY(d.setText(QStringLiteral("12:00")));
        QVERIFY(!d.setText(QStringLiteral("12:00")));
        QVERIFY(d.setText(QStringLiteral("file paused")));
        QCOMPARE(d.shownText(), QStringLiteral("FILE PAUSED"));
        // The caller's own text compares equal even after the display upper-cased it.
        QVERIFY(!d.setText(QStringLiteral("file paused")));
        QVERIFY(d.setText(QStringLiteral("FILE PAUSED")));

        QVERIFY(!d.modifyStyle(2, 2));
        QVERIFY(!d.modifyStyle(7, 1));
        QCOMPARE(d.displayStyle(), 4);
        QVERIFY(d.modifyStyle(0, 3));
        QCOMPARE(d.displayStyle(), 7);
        QVERIFY(d.modifyStyle(5, 0));
        QCOMPARE(d.displayStyle(), 2);
        QVERIFY(d.modifyStyle(0, 0));
        QCOMPARE(d.displayStyle(), 2);

        QCOMPARE(d.setBackColour(0x123456), 0);
        QCOMPARE(d.setBackColour(0x123456), 0x123456);
        QCOMPARE(d.backColour(), 0x123456);
        d.setColours(0x111111, 0x222222);
        QCOMPARE(d.offColour(), 0x111111);
        QCOMPARE(d.onColour(), 0x222222);
    }

    // Unchanged texts and colours cost no paint; colours repaint without a new layout;
    // a plain repaint neither lays out nor fits curves again.
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
        QVERIFY(!d.modifyStyle(1, 1));
        QTest::qWait(50);
        QCOMPARE(counter.paints, 0);

        d.setColours(0x00FF00, 0x003400);
        QTRY_COMPARE(counter.paints, 1);
        d.setBackColour(0x101010);
        QTRY_COMPARE(counter.paints, 2);
        d.repaint();
        QCOMPARE(counter.paints, 3);
        QCOMPARE(d.layoutCount(), layouts);

        QVERIFY(d.setText(QStringLiteral("  1:05:10  ")));
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
        // "1": upper and lower right lit, the rest unlit. One cell filling the area.
        auto d = display(QStringLiteral("1"), style, QSize(49 * k, 83 * k));
        const QImage img = picture(*d);
        auto at = [&](int x, int y) { return img.pixel(x * k, y * k); };
        QCOMPARE(at(24, 7), rgb(Off));  // top
        QCOMPARE(at(7, 24), rgb(Off));  // upper left
        QCOMPARE(at(41, 24), rgb(On));  // upper right
        QCOMPARE(at(24, 41), rgb(Off)); // middle
        QCOMPARE(at(41, 58), rgb(On));  // lower right
        QCOMPARE(at(24, 75), rgb(Off)); // bottom
        QCOMPARE(at(24, 24), rgb(Back));
        QCOMPARE(at(24, 58), rgb(Back));
        QCOMPARE(img.pixel(0, 0), rgb(Back));
        QCOMPARE(img.pixel(img.width() - 1, img.height() - 1), rgb(Back));
        // The outlines: three quarters of the fill, one quarter of the back colour.
        QCOMPARE(img.pixel(24 * k, 11 * k), edgeColour(Off, Back).rgb());
        QCOMPARE(img.pixel(37 * k, 24 * k), edgeColour(On, Back).rgb());
        QCOMPARE(img.pixel(24 * k, 11 * k + 1), rgb(Back));
    }

    void fourteenSegmentsAndTheNarrowCellPaint()
    {
        const int k = 3;
        // "T:" : centre verticals and top lit; colon dots lit, decimal dot unlit.
        auto d = display(QStringLiteral("t:"), 0, QSize((49 + 18) * k, 83 * k));
        const QImage img = picture(*d);
        auto at = [&](int x, int y) { return img.pixel(x * k, y * k); };
        QCOMPARE(at(24, 25), rgb(On));  // centre upper vertical
        QCOMPARE(at(24, 57), rgb(On));  // centre lower vertical
        QCOMPARE(at(24, 7), rgb(On));   // top
        QCOMPARE(at(7, 20), rgb(Off));  // upper left vertical
        QCOMPARE(at(14, 41), rgb(Off)); // middle bar, left half
        QCOMPARE(at(24, 75), rgb(Off)); // bottom
        QCOMPARE(at(49 + 8, 27), rgb(On));
        QCOMPARE(at(49 + 8, 54), rgb(On));
        QCOMPARE(at(49 + 8, 72), rgb(Off));
        QCOMPARE(at(49 + 8, 41), rgb(Back));
    }

    void emptyTextPaintsOnlyTheBackground()
    {
        auto d = display(QString(), 7, QSize(120, 30));
        QVERIFY(inkBounds(picture(*d)).isNull());
        d->setText(QStringLiteral("8"));
        QVERIFY(!inkBounds(picture(*d)).isNull());
    }

    void keptProportionsCentreTheDigits()
    {
        // Wide and low: the digits keep their 49:83 shape, centred left to right.
        auto kept = display(QStringLiteral("88"), DigitalDisplay::KeepProportions, QSize(400, 83));
        const QRect ink = inkBounds(picture(*kept));
        QVERIFY(qAbs(ink.left() - (399 - ink.right())) <= 1);
        QVERIFY(qAbs(ink.top() - (82 - ink.bottom())) <= 1);
        // Two cells 98 units wide: ink from x 4 of the first to 44 of the second.
        QVERIFY(qAbs(ink.width() - 90) <= 2);
        QVERIFY(qAbs(ink.height() - 75) <= 2);

        // Tall and narrow: centred top to bottom instead.
        auto tall = display(QStringLiteral("8"), DigitalDisplay::KeepProportions, QSize(49, 200));
        const QRect t = inkBounds(picture(*tall));
        QVERIFY(qAbs(t.top() - (199 - t.bottom())) <= 1);
        QVERIFY(qAbs(t.height() - 75) <= 2);

        // Without the bit the text fills the area both ways.
        auto filled = display(QStringLiteral("88"), 0, QSize(400, 166));
        const QRect f = inkBounds(picture(*filled));
        QVERIFY(qAbs(f.left() - qRound(4 * 400 / 98.0)) <= 1);
        QVERIFY(qAbs(f.right() - qRound((49 + 44) * 400 / 98.0)) <= 1);
        QVERIFY(qAbs(f.top() - 8) <= 1);
        QVERIFY(qAbs(f.bottom() - 156) <= 1);
    }

    void scrollingCirculatesItsText()
    {
        ScrollingDisplay s;
        QCOMPARE(s.scrollText(), QStringLiteral("This is an example scrolling display "));
        QCOMPARE(s.windowLength(), 12);
        QCOMPARE(s.scrollPeriod(), 200);
        QVERIFY(!s.isScrolling());

        // Not running: one step at once.
        s.setWindowLength(3);
        s.setScrollText(QStringLiteral("abcd"));
        QCOMPARE(s.text(), QStringLiteral("bcd"));
        QStringList shown;
        for (int i = 0; i < 4; ++i) {
            s.step();
            shown << s.text();
        }
        QCOMPARE(shown, (QStringList{"cda", "dab", "abc", "bcd"}));
        QCOMPARE(s.scrollText(), QStringLiteral("bcda"));

        s.setWindowLength(12);
        s.setScrollText(QStringLiteral("ab"));
        QCOMPARE(s.text(), QStringLiteral("ba"));
        s.setScrollText(QString());
        QCOMPARE(s.text(), QString());

        // Running on its own timer; stopping keeps the shown text.
        s.setWindowLength(5);
        s.setScrollText(QStringLiteral("0123456789"));
        s.setScrollPeriod(20);
        s.startScrolling();
        QVERIFY(s.isScrolling());
        const QString first = s.text();
        QTRY_VERIFY(s.text() != first);
        s.stopScrolling();
        QVERIFY(!s.isScrolling());
        const QString kept = s.text();
        QTest::qWait(80);
        QCOMPARE(s.text(), kept);
        // While running, a new text waits for the next tick.
        s.setScrollPeriod(10000);
        s.startScrolling();
        s.setScrollText(QStringLiteral("abcdefgh"));
        QCOMPARE(s.text(), kept);
        s.stopScrolling();
    }
};

QTEST_MAIN(TestDigitalDisplay)
#include "test_digital_display.moc"
