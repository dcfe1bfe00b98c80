#include "ControlSet.h"

#include "ControlLayout.h"
#include "playback/SliderModel.h"
#include "playback/Transport.h"

#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int RepeatMs = 100;

void place(QWidget *w, int id)
{
    w->setObjectName(QString::number(id));
    const ControlPlace *p = ControlLayout::place(id);
    if (p && !p->rect.isEmpty())
        w->setGeometry(p->rect);
    else
        w->hide();
}
} // namespace

QStringList droppedFiles(const QMimeData *mime)
{
    QStringList files;
    for (const QUrl &u : mime->urls()) {
        if (u.isLocalFile())
            files << u.toLocalFile();
    }
    return files;
}

ControlSet::ControlSet(QWidget *window) : QObject(window)
{
    for (const ButtonEntry &b : Commands::buttons())
        buildButton(window, b);
    for (const SliderEntry &s : Commands::sliders())
        buildSlider(window, s);
    for (const LabelEntry &l : Commands::labels())
        buildLabel(window, l);
    setSetButtonsEnabled(false);
}

SkinButton *ControlSet::button(ButtonId id) const
{
    return m_buttons.value(id);
}

SkinSlider *ControlSet::slider(SliderId id) const
{
    return m_sliders.value(id);
}

SkinButton *ControlSet::label(LabelId id) const
{
    return m_labels.value(id);
}

void ControlSet::buildButton(QWidget *window, const ButtonEntry &entry)
{
    auto *b = new SkinButton(window);
    b->setText(QString::fromUtf8(entry.caption ? entry.caption : ""));
    b->setToolTip(QString::fromUtf8(entry.tooltip));
    place(b, idNumber(entry.id));
    const Action action = entry.action;
    if (entry.repeats) {
        // A step at the press, then one every 100 ms while held; the click itself is no step.
        b->setAutoRepeatPeriod(RepeatMs);
        connect(b, &SkinButton::repeatStep, this, [this, action] { Q_EMIT actionRequested(action); });
    } else if (action.command != Command::None) {
        connect(b, &SkinButton::clicked, this, [this, action] { Q_EMIT actionRequested(action); });
    }
    if (entry.id == ButtonId::DropQueue) {
        b->setDropTarget(true);
        connect(b, &SkinButton::filesDropped, this, [this](const QStringList &files) {
            // Handled after the drop returns, as a posted message would be.
            QTimer::singleShot(0, this, [this, files] { Q_EMIT filesDroppedOnQueue(files); });
        });
    }
    m_buttons.insert(entry.id, b);
}

void ControlSet::buildSlider(QWidget *window, const SliderEntry &entry)
{
    auto *s = new SkinSlider(window);
    s->setFocusPolicy(Qt::NoFocus); // transport keys belong to the window
    s->setPageStep(1);
    s->setToolTip(QString::fromUtf8(entry.tooltip));
    place(s, idNumber(entry.id));
    s->installEventFilter(this);
    const Command moved = entry.moved;
    if (entry.userMovesOnly) {
        // Page steps and the thumb's moves act; steps by key and jumps to an end do not,
        // and letting go of the thumb adds nothing to its last move, which a second write
        // would only round again.
        connect(s, &QSlider::actionTriggered, this, [this, s, moved](int a) {
            // Told before the value follows: the position is already the new one.
            if (a == QAbstractSlider::SliderPageStepAdd || a == QAbstractSlider::SliderPageStepSub
                || a == QAbstractSlider::SliderMove)
                Q_EMIT actionRequested({moved, double(s->sliderPosition())});
        });
        const SliderId id = entry.id;
        connect(s, &QSlider::sliderReleased, this, [this, id] {
            if (m_heldBack.contains(id)) {
                const Shown v = m_heldBack.value(id);
                showMixerSlider(id, v.minimum, v.maximum, v.value, v.enabled);
            }
        });
    } else {
        connect(s, &QSlider::valueChanged, this, [this, moved](int v) {
            if (!m_syncing)
                Q_EMIT actionRequested({moved, double(v)});
        });
    }
    m_sliders.insert(entry.id, s);
}

void ControlSet::buildLabel(QWidget *window, const LabelEntry &entry)
{
    auto *l = new SkinButton(window);
    l->setText(QString::fromUtf8(entry.caption));
    l->setToggleMode(true);
    l->setFocusPolicy(Qt::NoFocus);
    QFont f = l->font();
    f.setPointSizeF(7);
    l->setFont(f);
    if (entry.tooltip)
        l->setToolTip(QString::fromUtf8(entry.tooltip));
    place(l, idNumber(entry.id));
    const Action action = entry.click;
    if (action.command != Command::None)
        connect(l, &SkinButton::clicked, this, [this, action] { Q_EMIT actionRequested(action); });
    m_labels.insert(entry.id, l);
}

void ControlSet::syncSliders(const Transport &t)
{
    const std::pair<SliderId, const SliderModel *> models[] = {{SliderId::Start, &t.startSlider()},
                                                               {SliderId::Position, &t.positionSlider()},
                                                               {SliderId::Stop, &t.stopSlider()},
                                                               {SliderId::Speed, &t.speedSlider()}};
    m_syncing = true;
    for (const auto &[id, model] : models) {
        SkinSlider *s = m_sliders.value(id);
        s->setRange(model->minimum(), model->maximum());
        s->setValue(model->value());
        s->setPageStep(model->pageSize());
        s->setTickInterval(model->tickFrequency());
        s->setTickPosition(model->tickFrequency() > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
    }
    m_syncing = false;
}

void ControlSet::showMixerSlider(SliderId id, int minimum, int maximum, int value, bool enabled)
{
    QSlider *s = m_sliders.value(id);
    // A held slider reports every change of its value as a move of the user's.
    if (s->isSliderDown()) {
        m_heldBack.insert(id, {minimum, maximum, value, enabled});
        return;
    }
    m_heldBack.remove(id);
    s->setRange(minimum, maximum);
    s->setPageStep(std::max(1, (maximum - minimum) / 5));
    s->setValue(value);
    s->setEnabled(enabled);
}

void ControlSet::showChecked(ButtonId id, bool checked)
{
    SkinButton *b = m_buttons.value(id);
    b->setToggleMode(true);
    b->setChecked(checked);
}

void ControlSet::setSetButtonsEnabled(bool enabled)
{
    m_buttons.value(ButtonId::SetStart)->setEnabled(enabled);
    m_buttons.value(ButtonId::SetStop)->setEnabled(enabled);
}

bool ControlSet::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        // The wheel jogs wherever it is turned over the window; a slider never takes it.
        Q_EMIT wheelTurned(static_cast<QWheelEvent *>(event)->angleDelta().y());
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // The middle button is play/pause over a slider too, never a jump of its thumb.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            if (event->type() != QEvent::MouseButtonRelease)
                Q_EMIT middleClicked(event->type() == QEvent::MouseButtonDblClick);
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
