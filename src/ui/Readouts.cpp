#include "Readouts.h"

#include "ControlLayout.h"
#include "ReadoutFormat.h"
#include "app/SettingsStore.h"
#include "skin/DigitalDisplay.h"
#include "skin/ScrollingDisplay.h"

#include <QDate>
#include <QMouseEvent>
#include <QTime>

namespace {

DisplayId displayFor(PlaybackHost::Readout r)
{
    using R = PlaybackHost::Readout;
    switch (r) {
    case R::CurrentTime: return DisplayId::CurrentTime;
    case R::StartTime: return DisplayId::StartTime;
    case R::EndTime: return DisplayId::EndTime;
    case R::TotalTime: return DisplayId::TotalTime;
    case R::Speed: return DisplayId::Speed;
    }
    return DisplayId::CurrentTime;
}

const QString EmptyTime = QStringLiteral("  :  :  : 0");

} // namespace

Readouts::Readouts(QWidget *window, SettingsStore &settings) : QObject(window), m_colours(settings)
{
    for (const DisplayEntry &entry : Commands::displays()) {
        DigitalDisplay *d = nullptr;
        if (entry.id == DisplayId::Clock || entry.id == DisplayId::Title) {
            auto *s = new ScrollingDisplay(window);
            s->setWindowLength(entry.id == DisplayId::Clock ? ::Readout::ClockPlaces : ::Readout::DatePlaces);
            d = s;
        } else {
            d = new DigitalDisplay(window);
        }
        const int id = idNumber(entry.id);
        d->setObjectName(QString::number(id));
        if (const ControlPlace *p = ControlLayout::place(id))
            d->setGeometry(p->rect);
        if (entry.tooltip)
            d->setToolTip(QString::fromUtf8(entry.tooltip));
        if (entry.click.command != Command::None) {
            m_clickable.insert(d, entry.click);
            d->installEventFilter(this);
        }
        m_displays.insert(entry.id, d);
    }
    // The file number, clock and title show their digits in fourteen segments.
    for (DisplayId id : {DisplayId::FileNumber, DisplayId::Clock, DisplayId::Title})
        m_displays.value(id)->modifyStyle(0, DigitalDisplay::FourteenSegmentDigits);
    using D = DisplayId;
    auto group = [this](std::initializer_list<D> ids) {
        QList<DigitalDisplay *> list;
        for (D id : ids)
            list << m_displays.value(id);
        return list;
    };
    m_colours.setDisplays(DisplayColours::Digital, group({D::FileNumber, D::StartTime, D::EndTime, D::CurrentTime, D::TotalTime}));
    m_colours.setDisplays(DisplayColours::Clock, group({D::Clock}));
    m_colours.setDisplays(DisplayColours::Date, group({D::Title}));
    m_colours.setDisplays(DisplayColours::Speed, group({D::Speed}));
    show(PlaybackHost::Readout::Speed, QStringLiteral(" 1.0"));
    clearTimes();
}

DigitalDisplay *Readouts::display(DisplayId id) const
{
    return m_displays.value(id);
}

ScrollingDisplay *Readouts::clock() const
{
    return static_cast<ScrollingDisplay *>(m_displays.value(DisplayId::Clock));
}

ScrollingDisplay *Readouts::title() const
{
    return static_cast<ScrollingDisplay *>(m_displays.value(DisplayId::Title));
}

QString Readouts::text(DisplayId id) const
{
    return m_displays.value(id)->text();
}

void Readouts::show(PlaybackHost::Readout which, const QString &text)
{
    m_displays.value(displayFor(which))->setText(text);
}

void Readouts::clearTimes()
{
    using R = PlaybackHost::Readout;
    for (R r : {R::StartTime, R::CurrentTime, R::EndTime, R::TotalTime})
        show(r, EmptyTime);
}

void Readouts::showClockText(const QString &text)
{
    clock()->stopScrolling();
    clock()->setText(text);
}

namespace {
void scroll(ScrollingDisplay *d, const QString &text, int cells, int periodMs)
{
    d->stopScrolling();
    d->setWindowLength(cells);
    d->setScrollPeriod(periodMs);
    d->setScrollText(text);
    d->startScrolling();
}
} // namespace

void Readouts::scrollClockText(const QString &text, int cells, int periodMs)
{
    scroll(clock(), text, cells, periodMs);
}

void Readouts::stopClockScroll()
{
    clock()->stopScrolling();
}

void Readouts::scrollTitle(const QString &text, int cells, int periodMs)
{
    scroll(title(), text, cells, periodMs);
}

void Readouts::stopTitleScroll()
{
    title()->stopScrolling();
}

void Readouts::showDate(bool american)
{
    if (!title()->isScrolling())
        title()->setText(::Readout::dateText(QDate::currentDate(), american));
}

void Readouts::showTimeOfDay(bool loaded, bool paused, bool playing, bool videoRendered, bool hour24)
{
    if (clock()->isScrolling())
        return;
    if (!::Readout::clockShowsTimeOfDay(loaded && paused, loaded && playing, loaded && videoRendered))
        return;
    clock()->setText(::Readout::formatTimeOfDay(QTime::currentTime(), hour24));
}

bool Readouts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && m_clickable.contains(watched)
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Q_EMIT actionRequested(m_clickable.value(watched));
        return true;
    }
    return QObject::eventFilter(watched, event);
}
