#pragma once

#include "ColourRef.h"
#include "SegmentCell.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <vector>

// A text drawn as lit and unlit LED segments, scaled to the widget. Texts are set freely
// (every timer tick); only a change of text, style, size or colour redraws the cached
// picture, and a new text is put together from cell images drawn once per character and
// place: a scrolling or ticking text costs a few image copies, not a redraw of its paths.
class DigitalDisplay : public QWidget
{
    Q_OBJECT
public:
    enum StyleBit {
        SmoothSegments = 1,        // rounded segment corners
        FourteenSegmentDigits = 2, // digits, space and '-' in fourteen-segment cells too
        KeepProportions = 4,       // one scale for both axes, text centred
    };
    static constexpr int DefaultStyle = KeepProportions;

    explicit DigitalDisplay(QWidget *parent = nullptr);
    ~DigitalDisplay() override;

    // The text "?" stands for the widget's window title, taken at the next rebuild.
    // False, and nothing else, when text equals the current text exactly; otherwise
    // stores it and schedules a rebuild and repaint. Shown upper-cased.
    bool setText(const QString &text);
    QString text() const { return m_text; }
    // What the cells show: the caption for "?", upper-cased.
    QString shownText() const;

    // Colours are 0x00BBGGRR. No effect when both equal the current ones.
    void setColours(ColourRef off, ColourRef on);
    // Returns the previous back colour; repaints only when it changes.
    ColourRef setBackColour(ColourRef colour);
    ColourRef offColour() const { return m_off; }
    ColourRef onColour() const { return m_on; }
    ColourRef backColour() const { return m_back; }

    // False when remove and add share a bit; otherwise style = (style | add) & ~remove.
    bool modifyStyle(int remove, int add);
    int displayStyle() const { return m_style; }

    // The cells of the current text and the sum of their design widths.
    const std::vector<Segments::Cell> &cells() const;
    int designWidth() const;

    // How often the segment paths were laid out (text, style or size changes only).
    int layoutCount() const { return m_layoutCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // One cell on the device: its design cell and where it lands.
    struct CellPlace {
        size_t cell;
        Segments::Placement place;
    };
    struct CellKey {
        const void *outlines;
        unsigned mask;
        int designWidth;
        int phase; // the cell's left edge within its pixel, in 1/1024
        // The scale and top, in 1/1024: a text of other cells scales differently.
        int scaleX, scaleY, top;
        bool operator==(const CellKey &) const = default;
    };
    friend size_t qHash(const CellKey &k, size_t seed)
    {
        return qHashMulti(seed, k.outlines, k.mask, k.designWidth, k.phase, k.scaleX, k.scaleY, k.top);
    }

    void rebuildCells() const;
    void layoutSegments(QSize device);
    void renderPicture(QSize device);
    QImage cellImage(const Segments::Cell &cell, const Segments::Placement &place, int height);
    void dropCellImages();
    QSize deviceSize() const;
    void invalidatePicture();

    QString m_text = QStringLiteral("?");
    ColourRef m_off = colourRef(0x00, 0x34, 0x00);
    ColourRef m_on = colourRef(0x00, 0xFF, 0x00);
    ColourRef m_back = colourRef(0x00, 0x00, 0x00);
    int m_style = DefaultStyle;

    // Derived state, rebuilt lazily when marked.
    mutable bool m_rebuildNeeded = true;
    mutable std::vector<Segments::Cell> m_cells;
    mutable QString m_shown;
    mutable int m_designWidth = 0;
    std::vector<CellPlace> m_places;
    QSize m_segmentsSize;          // device size the cells were laid out for
    // Cell images in the current style, colours and height.
    QHash<CellKey, QImage> m_cellImages;
    int m_imageHeight = 0;
    Segments::CurveCache m_curves; // fitted edges, shared by repeated characters
    int m_layoutCount = 0;
    QImage m_picture;
    bool m_pictureValid = false;
};
