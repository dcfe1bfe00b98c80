#include "BuiltinImages.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace BuiltinImages {

namespace {

// The two looks of a button: rest in greys, lit in colour.
struct Look {
    QColor capTop, capBottom, border, glyph;
};
const Look Rest{QColor(0xE6, 0xE9, 0xEC), QColor(0xA7, 0xAE, 0xB5), QColor(0x5E, 0x66, 0x6E), QColor(0x3A, 0x40, 0x47)};
const Look Lit{QColor(0xF4, 0xF9, 0xFE), QColor(0xB4, 0xD2, 0xEE), QColor(0x22, 0x64, 0xA6), QColor(0x0A, 0x5C, 0xC2)};
// A toggle that is on glows amber; the exit button warns in red.
const Look On{QColor(0xFF, 0xF6, 0xE3), QColor(0xF1, 0xC8, 0x7A), QColor(0x9A, 0x5B, 0x08), QColor(0xC2, 0x5A, 0x00)};
const Look Danger{QColor(0xFE, 0xF1, 0xEF), QColor(0xEF, 0xB9, 0xB1), QColor(0x9C, 0x2A, 0x1E), QColor(0xC0, 0x22, 0x12)};
// Soft edges are settled against this before anything near the key colour could appear.
const QColor Matte(0xB8, 0xBE, 0xC4);

enum class Kind {
    PlayPause, Stop, Eject, Rewind, FastForward, Review, Cue, FrameBack, FrameForward, Open, EditList,
    VideoCd, Dvd, Update, FillScreen, FullScreen, Size50, Size100, Size200, Size300, Compact, Minimal,
    Exit, Minimize, DropQueue, NumTotal, Remain, Current, Random, Dock, LoopFile, LoopList,
    VolumeWedge, BalanceCentre, BalanceLeft, BalanceRight, Sound, Muted, Title, Background,
};

struct Entry {
    Info info;
    Kind kind;
    enum Face { Rest_, Lit_, On_, Off_, Plain } face;
};

constexpr Entry Entries[] = {
    {{141, "play", {33, 20}, true}, Kind::PlayPause, Entry::Lit_},
    {{252, "play_rest", {33, 20}, true}, Kind::PlayPause, Entry::Rest_},
    {{245, "framefwd", {34, 20}, true}, Kind::FrameForward, Entry::Lit_},
    {{255, "framefwd_rest", {34, 20}, true}, Kind::FrameForward, Entry::Rest_},
    {{246, "frameback", {34, 20}, true}, Kind::FrameBack, Entry::Lit_},
    {{256, "frameback_rest", {34, 20}, true}, Kind::FrameBack, Entry::Rest_},
    {{143, "stop", {33, 20}, true}, Kind::Stop, Entry::Lit_},
    {{257, "stop_rest", {33, 20}, true}, Kind::Stop, Entry::Rest_},
    {{149, "eject", {20, 20}, true}, Kind::Eject, Entry::Lit_},
    {{262, "eject_rest", {20, 20}, true}, Kind::Eject, Entry::Rest_},
    {{147, "rewind", {33, 20}, true}, Kind::Rewind, Entry::Lit_},
    {{261, "rewind_rest", {33, 20}, true}, Kind::Rewind, Entry::Rest_},
    {{152, "fastforward", {33, 20}, true}, Kind::FastForward, Entry::Lit_},
    {{259, "fastforward_rest", {33, 20}, true}, Kind::FastForward, Entry::Rest_},
    {{148, "review", {33, 20}, true}, Kind::Review, Entry::Lit_},
    {{260, "review_rest", {33, 20}, true}, Kind::Review, Entry::Rest_},
    {{151, "cue", {33, 20}, true}, Kind::Cue, Entry::Lit_},
    {{258, "cue_rest", {33, 20}, true}, Kind::Cue, Entry::Rest_},
    {{154, "open", {34, 20}, true}, Kind::Open, Entry::Lit_},
    {{249, "open_rest", {34, 20}, true}, Kind::Open, Entry::Rest_},
    {{247, "editplaylist", {34, 20}, true}, Kind::EditList, Entry::Lit_},
    {{269, "editplaylist_rest", {34, 20}, true}, Kind::EditList, Entry::Rest_},
    {{159, "vcd", {41, 22}, true}, Kind::VideoCd, Entry::Lit_},
    {{251, "vcd_rest", {41, 22}, true}, Kind::VideoCd, Entry::Rest_},
    {{233, "dvd", {38, 18}, true}, Kind::Dvd, Entry::Lit_},
    {{250, "dvd_rest", {38, 18}, true}, Kind::Dvd, Entry::Rest_},
    {{308, "update", {21, 18}, true}, Kind::Update, Entry::Lit_},
    {{307, "update_rest", {21, 18}, true}, Kind::Update, Entry::Rest_},
    {{188, "fillscreen", {23, 20}, true}, Kind::FillScreen, Entry::Lit_},
    {{264, "fillscreen_rest", {23, 20}, true}, Kind::FillScreen, Entry::Rest_},
    {{181, "fullscreen", {23, 19}, true}, Kind::FullScreen, Entry::Lit_},
    {{263, "fullscreen_rest", {23, 19}, true}, Kind::FullScreen, Entry::Rest_},
    {{187, "size300", {23, 19}, true}, Kind::Size300, Entry::Lit_},
    {{267, "size300_rest", {23, 19}, true}, Kind::Size300, Entry::Rest_},
    {{180, "size200", {23, 19}, true}, Kind::Size200, Entry::Lit_},
    {{266, "size200_rest", {23, 19}, true}, Kind::Size200, Entry::Rest_},
    {{179, "size100", {23, 19}, true}, Kind::Size100, Entry::Lit_},
    {{265, "size100_rest", {23, 19}, true}, Kind::Size100, Entry::Rest_},
    {{178, "size50", {23, 19}, true}, Kind::Size50, Entry::Lit_},
    {{268, "size50_rest", {23, 19}, true}, Kind::Size50, Entry::Rest_},
    {{229, "compact", {20, 20}, true}, Kind::Compact, Entry::Lit_},
    {{253, "compact_rest", {20, 20}, true}, Kind::Compact, Entry::Rest_},
    {{228, "minimal", {20, 20}, true}, Kind::Minimal, Entry::Lit_},
    {{254, "minimal_rest", {20, 20}, true}, Kind::Minimal, Entry::Rest_},
    {{282, "exit", {20, 20}, true}, Kind::Exit, Entry::Lit_},
    {{283, "exit_rest", {20, 20}, true}, Kind::Exit, Entry::Rest_},
    {{281, "statusarea", {20, 18}, true}, Kind::Minimize, Entry::Lit_},
    {{284, "statusarea_rest", {20, 18}, true}, Kind::Minimize, Entry::Rest_},
    {{316, "dropqueue", {26, 24}, true}, Kind::DropQueue, Entry::Lit_},
    {{317, "dropqueue_rest", {26, 24}, true}, Kind::DropQueue, Entry::Rest_},
    {{318, "filenumber", {30, 10}, true}, Kind::NumTotal, Entry::Lit_},
    {{319, "filenumber_rest", {30, 10}, true}, Kind::NumTotal, Entry::Rest_},
    {{321, "filesleft", {31, 10}, true}, Kind::Remain, Entry::Lit_},
    {{320, "filesleft_rest", {31, 10}, true}, Kind::Remain, Entry::Rest_},
    {{324, "timemode", {63, 13}, true}, Kind::Current, Entry::Lit_},
    {{323, "timemode_rest", {63, 13}, true}, Kind::Current, Entry::Rest_},
    {{315, "random_on", {19, 17}, true}, Kind::Random, Entry::On_},
    {{314, "random_off", {19, 17}, true}, Kind::Random, Entry::Off_},
    {{297, "dock_on", {20, 18}, true}, Kind::Dock, Entry::On_},
    {{298, "dock_off", {20, 18}, true}, Kind::Dock, Entry::Off_},
    {{287, "loopfile_on", {23, 19}, true}, Kind::LoopFile, Entry::On_},
    {{289, "loopfile_off", {23, 19}, true}, Kind::LoopFile, Entry::Off_},
    {{285, "looplist_on", {23, 19}, true}, Kind::LoopList, Entry::On_},
    {{286, "looplist_off", {23, 19}, true}, Kind::LoopList, Entry::Off_},
    {{231, "volume", {25, 9}, true}, Kind::VolumeWedge, Entry::Plain},
    {{232, "balance_centre", {25, 9}, true}, Kind::BalanceCentre, Entry::Plain},
    {{243, "balance_left", {25, 9}, true}, Kind::BalanceLeft, Entry::Plain},
    {{244, "balance_right", {25, 9}, true}, Kind::BalanceRight, Entry::Plain},
    {{198, "sound", {33, 31}, true}, Kind::Sound, Entry::Lit_},
    {{199, "muted", {33, 31}, true}, Kind::Muted, Entry::On_},
    {{293, "title", {84, 22}, true}, Kind::Title, Entry::Plain},
    {{227, "background_default", {64, 64}, false}, Kind::Background, Entry::Plain},
    {{295, "background_bluepaper", {128, 128}, false}, Kind::Background, Entry::Plain},
    {{296, "background_greymetal", {81, 58}, false}, Kind::Background, Entry::Plain},
    {{300, "background_clouds", {274, 135}, false}, Kind::Background, Entry::Plain},
};


const Entry *entry(int id)
{
    for (const Entry &e : Entries) {
        if (e.info.id == id)
            return &e;
    }
    return nullptr;
}

Look lookFor(const Entry &e)
{
    switch (e.face) {
    case Entry::Rest_:
    case Entry::Off_: return Rest;
    case Entry::On_: return On;
    case Entry::Lit_:
    case Entry::Plain: return e.kind == Kind::Exit ? Danger : Lit;
    }
    return Rest;
}

QFont smallFont(qreal pixels, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void cap(QPainter &p, const QRectF &r, const Look &look, qreal radius = 3.5)
{
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, look.capTop);
    g.setColorAt(1, look.capBottom);
    p.setPen(QPen(look.border, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, radius, radius);
    // A thin highlight under the top edge: the cap catches the light.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(body.left() + radius, body.top() + 1), QPointF(body.right() - radius, body.top() + 1));
}

void fill(QPainter &p, const QPainterPath &path, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

// Triangles pointing right (dir 1) or left (-1), of height h, tip at x.
QPainterPath triangle(qreal tipX, qreal cy, qreal w, qreal h, int dir)
{
    QPainterPath t;
    t.moveTo(tipX, cy);
    t.lineTo(tipX - dir * w, cy - h / 2);
    t.lineTo(tipX - dir * w, cy + h / 2);
    t.closeSubpath();
    return t;
}

QPainterPath bar(qreal x, qreal cy, qreal w, qreal h)
{
    QPainterPath b;
    b.addRect(QRectF(x, cy - h / 2, w, h));
    return b;
}

void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, qreal pixels, bool bold = true)
{
    p.setFont(smallFont(pixels, bold));
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

void loopArrow(QPainter &p, const QRectF &r, const QColor &c)
{
    QPen pen(c, 1.6);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF ring = r.adjusted(2, 2, -2, -2);
    p.drawArc(ring, 30 * 16, 300 * 16);
    // The arrow head at the end of the arc, pointing on round.
    const qreal a = 30 * M_PI / 180;
    const QPointF tip(ring.center().x() + ring.width() / 2 * std::cos(a), ring.center().y() - ring.height() / 2 * std::sin(a));
    QPainterPath head;
    head.moveTo(tip + QPointF(2.4, -2.6));
    head.lineTo(tip + QPointF(-2.6, -1.4));
    head.lineTo(tip + QPointF(1.2, 2.6));
    head.closeSubpath();
    fill(p, head, c);
}

void disc(QPainter &p, const QPointF &centre, qreal radius, const Look &look)
{
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, look.capBottom.darker(115));
    p.setPen(QPen(look.glyph, 1));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(look.border);
    p.drawEllipse(centre, radius / 3.2, radius / 3.2);
}

void speaker(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath s;
    const qreal cy = r.center().y();
    s.moveTo(r.left() + 3, cy - 3);
    s.lineTo(r.left() + 7, cy - 3);
    s.lineTo(r.left() + 12, cy - 8);
    s.lineTo(r.left() + 12, cy + 8);
    s.lineTo(r.left() + 7, cy + 3);
    s.lineTo(r.left() + 3, cy + 3);
    s.closeSubpath();
    fill(p, s, c);
}

void drawKind(QPainter &p, const Entry &e)
{
    const QRectF r(QPointF(0, 0), QSizeF(e.info.size));
    const Look look = lookFor(e);
    const QColor g = look.glyph;
    const qreal cy = r.center().y();
    const qreal cx = r.center().x();
    switch (e.kind) {
    case Kind::PlayPause:
        cap(p, r, look);
        fill(p, triangle(cx + 1, cy, 8, 10, 1), g);
        fill(p, bar(cx + 3.5, cy, 2, 9), g);
        fill(p, bar(cx + 7, cy, 2, 9), g);
        break;
    case Kind::Stop:
        cap(p, r, look);
        fill(p, bar(cx - 4, cy, 8, 8), g);
        break;
    case Kind::Eject:
        cap(p, r, look);
        fill(p, triangle(cx, cy - 5.5, 0, 0, 1), g);
        {
            QPainterPath t;
            t.moveTo(cx, cy - 5);
            t.lineTo(cx + 5, cy + 1);
            t.lineTo(cx - 5, cy + 1);
            t.closeSubpath();
            fill(p, t, g);
        }
        fill(p, bar(cx - 5, cy + 4, 10, 2), g);
        break;
    case Kind::Rewind:
        cap(p, r, look);
        fill(p, bar(cx - 9, cy, 2, 9), g);
        fill(p, triangle(cx - 7, cy, 6.5, 9, -1), g);
        fill(p, triangle(cx - 0.5, cy, 6.5, 9, -1), g);
        break;
    case Kind::FastForward:
        cap(p, r, look);
        fill(p, triangle(cx + 0.5, cy, 6.5, 9, 1), g);
        fill(p, triangle(cx + 7, cy, 6.5, 9, 1), g);
        fill(p, bar(cx + 7, cy, 2, 9), g);
        break;
    case Kind::Review:
        cap(p, r, look);
        fill(p, triangle(cx - 6, cy, 6.5, 9, -1), g);
        fill(p, triangle(cx + 0.5, cy, 6.5, 9, -1), g);
        break;
    case Kind::Cue:
        cap(p, r, look);
        fill(p, triangle(cx - 0.5, cy, 6.5, 9, 1), g);
        fill(p, triangle(cx + 6, cy, 6.5, 9, 1), g);
        break;
    case Kind::FrameBack:
        cap(p, r, look);
        fill(p, triangle(cx - 4, cy, 6.5, 9, -1), g);
        fill(p, bar(cx + 3, cy, 2.2, 9), g);
        break;
    case Kind::FrameForward:
        cap(p, r, look);
        fill(p, bar(cx - 5, cy, 2.2, 9), g);
        fill(p, triangle(cx + 4, cy, 6.5, 9, 1), g);
        break;
    case Kind::Open: {
        cap(p, r, look);
        QPainterPath folder;
        folder.moveTo(cx - 8, cy - 5);
        folder.lineTo(cx - 3, cy - 5);
        folder.lineTo(cx - 1.5, cy - 3);
        folder.lineTo(cx + 7, cy - 3);
        folder.lineTo(cx + 7, cy + 5);
        folder.lineTo(cx - 8, cy + 5);
        folder.closeSubpath();
        fill(p, folder, g);
        QPainterPath flap;
        flap.moveTo(cx - 6, cy - 0.5);
        flap.lineTo(cx + 9, cy - 0.5);
        flap.lineTo(cx + 7, cy + 5);
        flap.lineTo(cx - 8, cy + 5);
        flap.closeSubpath();
        fill(p, flap, g.lighter(150));
        break;
    }
    case Kind::EditList:
        cap(p, r, look);
        for (int i = 0; i < 3; ++i) {
            fill(p, bar(cx - 9, cy - 4 + i * 4, 2, 2), g);
            fill(p, bar(cx - 5.5, cy - 4 + i * 4, 9, 2), g);
        }
        fill(p, bar(cx + 5.5, cy + 1, 5, 1.6), g);
        fill(p, bar(cx + 7.2, cy + 1, 1.6, 5), g);
        break;
    case Kind::VideoCd:
        cap(p, r, look);
        disc(p, QPointF(r.left() + 10, cy), 6.5, look);
        text(p, r.adjusted(17, 0, -2, 0), QStringLiteral("VCD"), g, 9.5);
        break;
    case Kind::Dvd:
        cap(p, r, look);
        disc(p, QPointF(r.left() + 9, cy), 5.5, look);
        text(p, r.adjusted(15, 0, -2, 0), QStringLiteral("DVD"), g, 9);
        break;
    case Kind::Update:
        cap(p, r, look);
        loopArrow(p, QRectF(cx - 7, cy - 7, 14, 14), g);
        break;
    case Kind::FullScreen:
    case Kind::FillScreen: {
        cap(p, r, look);
        const QRectF box(cx - 7, cy - 5, 14, 10);
        if (e.kind == Kind::FillScreen) {
            p.setPen(QPen(g, 1.2));
            p.setBrush(g.lighter(170));
            p.drawRect(box);
        }
        // Four corners opening out.
        QPen pen(g, 1.8);
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        const qreal k = 3;
        for (const QPointF &c : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
            const qreal sx = c.x() < cx ? 1 : -1, sy = c.y() < cy ? 1 : -1;
            p.drawLine(c, c + QPointF(sx * k, 0));
            p.drawLine(c, c + QPointF(0, sy * k));
        }
        break;
    }
    case Kind::Size50: cap(p, r, look); text(p, r, QStringLiteral("½"), g, 11); break;
    case Kind::Size100: cap(p, r, look); text(p, r, QStringLiteral("1×"), g, 9.5); break;
    case Kind::Size200: cap(p, r, look); text(p, r, QStringLiteral("2×"), g, 9.5); break;
    case Kind::Size300: cap(p, r, look); text(p, r, QStringLiteral("3×"), g, 9.5); break;
    case Kind::Compact:
    case Kind::Minimal: {
        cap(p, r, look);
        p.setPen(QPen(g, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(cx - 5, cy - 5.5, 10, 11));
        fill(p, bar(cx - 5, cy - 5 + 1, 10, 2.5), g);
        if (e.kind == Kind::Compact)
            fill(p, bar(cx - 3.5, cy - 0.5, 7, 1.4), g);
        break;
    }
    case Kind::Exit: {
        cap(p, r, look);
        QPen pen(g, 2);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(cx - 4, cy - 4), QPointF(cx + 4, cy + 4));
        p.drawLine(QPointF(cx + 4, cy - 4), QPointF(cx - 4, cy + 4));
        break;
    }
    case Kind::Minimize:
        cap(p, r, look);
        fill(p, bar(cx - 5, cy + 3.5, 10, 2.2), g);
        {
            QPainterPath t;
            t.moveTo(cx, cy + 1.5);
            t.lineTo(cx + 4, cy - 3);
            t.lineTo(cx - 4, cy - 3);
            t.closeSubpath();
            fill(p, t, g);
        }
        break;
    case Kind::DropQueue: {
        cap(p, r, look, 4.5);
        for (int i = 0; i < 3; ++i)
            fill(p, bar(cx - 8, cy + 2 + i * 3, 10, 1.8), g);
        QPainterPath arrow;
        arrow.moveTo(cx + 5, cy + 3);
        arrow.lineTo(cx + 9.5, cy - 2);
        arrow.lineTo(cx + 6.5, cy - 2);
        arrow.lineTo(cx + 6.5, cy - 8);
        arrow.lineTo(cx + 3.5, cy - 8);
        arrow.lineTo(cx + 3.5, cy - 2);
        arrow.lineTo(cx + 0.5, cy - 2);
        arrow.closeSubpath();
        fill(p, arrow, g);
        break;
    }
    case Kind::NumTotal: text(p, r, QStringLiteral("FILE #"), g, 8.5); break;
    case Kind::Remain: text(p, r, QStringLiteral("LEFT"), g, 8.5); break;
    case Kind::Current: text(p, r, QStringLiteral("ELAPSED / LEFT"), g, 7.5); break;
    case Kind::Random: {
        cap(p, r, look);
        QPen pen(g, 1.5);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath a, b;
        a.moveTo(cx - 6, cy - 3.5);
        a.cubicTo(cx - 1, cy - 3.5, cx + 1, cy + 3.5, cx + 4, cy + 3.5);
        b.moveTo(cx - 6, cy + 3.5);
        b.cubicTo(cx - 1, cy + 3.5, cx + 1, cy - 3.5, cx + 4, cy - 3.5);
        p.drawPath(a);
        p.drawPath(b);
        fill(p, triangle(cx + 7, cy - 3.5, 3.5, 5, 1), g);
        fill(p, triangle(cx + 7, cy + 3.5, 3.5, 5, 1), g);
        break;
    }
    case Kind::Dock: {
        cap(p, r, look);
        const bool docked = e.face == Entry::On_;
        p.setPen(QPen(g, 1.2));
        p.setBrush(g.lighter(160));
        p.drawRect(QRectF(cx - 7, cy - 4.5, 6, 9));
        p.drawRect(QRectF(docked ? cx - 1 : cx + 1.5, cy - 3.5, 6, 7));
        break;
    }
    case Kind::LoopFile:
    case Kind::LoopList:
        cap(p, r, look);
        loopArrow(p, QRectF(cx - 7.5, cy - 7, 15, 14), g);
        if (e.kind == Kind::LoopFile)
            text(p, QRectF(cx - 5, cy - 5, 10, 10), QStringLiteral("1"), g, 8);
        else
            for (int i = 0; i < 3; ++i)
                fill(p, bar(cx - 2.5, cy - 2.5 + i * 2.5, 5, 1.2), g);
        break;
    case Kind::VolumeWedge: {
        QLinearGradient grad(r.topLeft(), r.topRight());
        grad.setColorAt(0, QColor(0x4F, 0x9F, 0x3A));
        grad.setColorAt(0.7, QColor(0xE6, 0xB8, 0x1E));
        grad.setColorAt(1, QColor(0xD2, 0x3B, 0x1E));
        QPainterPath w;
        w.moveTo(r.left() + 0.5, r.bottom() - 0.5);
        w.lineTo(r.right() - 0.5, r.top() + 0.5);
        w.lineTo(r.right() - 0.5, r.bottom() - 0.5);
        w.closeSubpath();
        p.setPen(QPen(QColor(0x3A, 0x40, 0x47), 1));
        p.setBrush(grad);
        p.drawPath(w);
        break;
    }
    case Kind::BalanceCentre:
    case Kind::BalanceLeft:
    case Kind::BalanceRight: {
        p.setPen(QPen(QColor(0x3A, 0x40, 0x47), 1));
        p.drawLine(QPointF(r.left() + 2, cy), QPointF(r.right() - 2, cy));
        fill(p, bar(r.left() + 1, cy, 1.5, 7), QColor(0x3A, 0x40, 0x47));
        fill(p, bar(r.right() - 2.5, cy, 1.5, 7), QColor(0x3A, 0x40, 0x47));
        const qreal x = e.kind == Kind::BalanceCentre ? cx : e.kind == Kind::BalanceLeft ? r.left() + 6 : r.right() - 6;
        QPainterPath dia;
        dia.moveTo(x, cy - 4);
        dia.lineTo(x + 4, cy);
        dia.lineTo(x, cy + 4);
        dia.lineTo(x - 4, cy);
        dia.closeSubpath();
        fill(p, dia, Lit.glyph);
        break;
    }
    case Kind::Sound:
    case Kind::Muted: {
        const QRectF round = r.adjusted(1, 0, -1, 0);
        QRadialGradient grad(round.center() - QPointF(4, 5), 18);
        grad.setColorAt(0, look.capTop);
        grad.setColorAt(1, look.capBottom);
        p.setPen(QPen(look.border, 1));
        p.setBrush(grad);
        p.drawEllipse(round.adjusted(0.5, 0.5, -0.5, -0.5));
        speaker(p, QRectF(cx - 9, cy - 8, 12, 16), g);
        QPen pen(g, 1.6);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (e.kind == Kind::Sound) {
            p.drawArc(QRectF(cx - 4, cy - 5, 10, 10), -50 * 16, 100 * 16);
            p.drawArc(QRectF(cx - 7, cy - 8.5, 17, 17), -50 * 16, 100 * 16);
        } else {
            p.drawLine(QPointF(cx + 4, cy - 4), QPointF(cx + 10, cy + 4));
            p.drawLine(QPointF(cx + 10, cy - 4), QPointF(cx + 4, cy + 4));
        }
        break;
    }
    case Kind::Title: {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        // Engraved: a light edge below, the letters in steel blue.
        p.setPen(QColor(255, 255, 255, 200));
        p.drawText(r.translated(0, 1), Qt::AlignCenter, QStringLiteral("KINETROPE"));
        QLinearGradient grad(r.topLeft(), r.bottomLeft());
        grad.setColorAt(0, QColor(0x2B, 0x5B, 0x8E));
        grad.setColorAt(1, QColor(0x12, 0x2B, 0x47));
        p.setPen(QPen(QBrush(grad), 1));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("KINETROPE"));
        break;
    }
    case Kind::Background:
        break;
    }
}

// Soft edges settled against the matte; what is left clear becomes exactly the key colour.
void flatten(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x]; // premultiplied
            const int a = qAlpha(px);
            if (a < 96) {
                line[x] = KeyColour;
                continue;
            }
            const int r = qRed(px) + Matte.red() * (255 - a) / 255;
            const int g = qGreen(px) + Matte.green() * (255 - a) / 255;
            const int b = qBlue(px) + Matte.blue() * (255 - a) / 255;
            line[x] = qRgb(std::min(r, 255), std::min(g, 255), std::min(b, 255));
            if (line[x] == KeyColour)
                line[x] = qRgb(0, 254, 0);
        }
    }
}

} // namespace

std::vector<Info> all()
{
    std::vector<Info> infos;
    for (const Entry &e : Entries)
        infos.push_back(e.info);
    return infos;
}

const Info *find(int id)
{
    const Entry *e = entry(id);
    return e ? &e->info : nullptr;
}

QImage image(int id, qreal devicePixelRatio)
{
    const Entry *e = entry(id);
    if (!e)
        return {};
    const qreal dpr = std::max<qreal>(1, devicePixelRatio);
    if (e->kind == Kind::Background) {
        QImage tile = background(id, e->info.size * dpr);
        tile.setDevicePixelRatio(dpr);
        return tile;
    }
    QImage out(e->info.size * dpr, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(dpr, dpr);
        drawKind(p, *e);
    }
    flatten(out);
    QImage rgb = out.convertToFormat(QImage::Format_RGB32);
    rgb.setDevicePixelRatio(dpr);
    return rgb;
}

} // namespace BuiltinImages
