#include "ControlSet.h"

#include "ControlLayout.h"
#include "playback/SliderModel.h"
#include "playback/Transport.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
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
    m_repeat.setInterval(RepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, &ControlSet::repeatStep);
}

QPushButton *ControlSet::button(ButtonId id) const
{
    return m_buttons.value(id);
}

QSlider *ControlSet::slider(SliderId id) const
{
    return m_sliders.value(id);
}

QLabel *ControlSet::label(LabelId id) const
{
    return m_labels.value(id);
}

void ControlSet::buildButton(QWidget *window, const ButtonEntry &entry)
{
    const ControlPlace *p = ControlLayout::place(idNumber(entry.id));
    const char *caption = entry.caption ? entry.caption : (p && p->text ? p->text : "");
    auto *b = new QPushButton(QString::fromUtf8(caption), window);
    b->setAutoDefault(false);
    b->setToolTip(QString::fromUtf8(entry.tooltip));
    place(b, idNumber(entry.id));
    const Action action = entry.action;
    if (entry.repeats) {
        // Our own repeat: Qt's auto-repeat emits pressed and clicked again on every repeat.
        connect(b, &QPushButton::pressed, this, [this, b, action] {
            m_repeating = action;
            m_repeatButton = b;
            Q_EMIT actionRequested(action);
            m_repeat.start();
        });
        connect(b, &QPushButton::released, this, [this] { m_repeat.stop(); });
    } else if (action.command != Command::None) {
        connect(b, &QPushButton::clicked, this, [this, action] { Q_EMIT actionRequested(action); });
    }
    if (entry.id == ButtonId::DropQueue) {
        b->setAcceptDrops(true);
        b->installEventFilter(this);
    }
    m_buttons.insert(entry.id, b);
}

void ControlSet::repeatStep()
{
    // A release we did not see (the button was disabled or hidden meanwhile) ends it too.
    if (!m_repeatButton || !m_repeatButton->isDown()) {
        m_repeat.stop();
        return;
    }
    Q_EMIT actionRequested(m_repeating);
}

void ControlSet::buildSlider(QWidget *window, const SliderEntry &entry)
{
    auto *s = new QSlider(Qt::Horizontal, window);
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
    auto *l = new QLabel(QString::fromUtf8(entry.caption), window);
    QFont f = l->font();
    f.setPointSizeF(7);
    l->setFont(f);
    if (entry.tooltip)
        l->setToolTip(QString::fromUtf8(entry.tooltip));
    place(l, idNumber(entry.id));
    if (entry.click.command != Command::None) {
        m_clickable.insert(l, entry.click);
        l->installEventFilter(this);
    }
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
        QSlider *s = m_sliders.value(id);
        s->setRange(model->minimum(), model->maximum());
        s->setValue(model->value());
        s->setPageStep(model->pageSize());
        if (model->tickFrequency() > 0) {
            s->setTickInterval(model->tickFrequency());
            s->setTickPosition(QSlider::TicksBelow);
        }
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
    QPushButton *b = m_buttons.value(id);
    b->setCheckable(true);
    b->setChecked(checked);
}

void ControlSet::setSetButtonsEnabled(bool enabled)
{
    m_buttons.value(ButtonId::SetStart)->setEnabled(enabled);
    m_buttons.value(ButtonId::SetStop)->setEnabled(enabled);
}

bool ControlSet::eventFilter(QObject *watched, QEvent *event)
{
    const bool onSlider = qobject_cast<QSlider *>(watched) != nullptr;
    switch (event->type()) {
    case QEvent::Wheel:
        // The wheel jogs wherever it is turned over the window; a slider never takes it.
        if (onSlider) {
            Q_EMIT wheelTurned(static_cast<QWheelEvent *>(event)->angleDelta().y());
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        auto *m = static_cast<QMouseEvent *>(event);
        // The middle button is play/pause over a slider too, never a jump of its thumb.
        if (onSlider && m->button() == Qt::MiddleButton) {
            if (event->type() != QEvent::MouseButtonRelease)
                Q_EMIT middleClicked(event->type() == QEvent::MouseButtonDblClick);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && m->button() == Qt::LeftButton
            && m_clickable.contains(watched)) {
            Q_EMIT actionRequested(m_clickable.value(watched));
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
        if (watched == m_buttons.value(ButtonId::DropQueue)) {
            auto *d = static_cast<QDragEnterEvent *>(event);
            if (d->mimeData()->hasUrls())
                d->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (watched == m_buttons.value(ButtonId::DropQueue)) {
            auto *d = static_cast<QDropEvent *>(event);
            d->acceptProposedAction();
            const QStringList files = droppedFiles(d->mimeData());
            // Handled after the drop returns, as a posted message would be.
            QTimer::singleShot(0, this, [this, files] { Q_EMIT filesDroppedOnQueue(files); });
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
