#pragma once

#include "Commands.h"
#include "playback/PlaybackHost.h"
#include "skin/DisplayColours.h"

#include <QHash>
#include <QObject>

class DigitalDisplay;
class ScrollingDisplay;
class SettingsStore;
class QWidget;

// The control window's segment displays: the times, the speed, the file number, the clock
// and the scrolling title-and-date, with their places, styles and colour groups. The clock
// display is shared: the time of day takes it whenever playback leaves it free.
class Readouts : public QObject
{
    Q_OBJECT
public:
    Readouts(QWidget *window, SettingsStore &settings);

    DigitalDisplay *display(DisplayId id) const;
    ScrollingDisplay *clock() const;
    ScrollingDisplay *title() const;
    QString text(DisplayId id) const;

    // The displays' colour schemes; load() shows the stored ones.
    DisplayColours &colours() { return m_colours; }

    void show(PlaybackHost::Readout which, const QString &text);
    // All four time readouts show the empty time.
    void clearTimes();
    void showClockText(const QString &text);
    void scrollClockText(const QString &text, int cells, int periodMs);
    void stopClockScroll();
    void scrollTitle(const QString &text, int cells, int periodMs);
    void stopTitleScroll();
    // Today's date, unless the title display is scrolling a title.
    void showDate(bool american);
    // The time of day on the clock, when it is free: not scrolling, and not showing the
    // frame rate of a video that is playing or paused.
    void showTimeOfDay(bool loaded, bool paused, bool playing, bool videoRendered, bool hour24);

Q_SIGNALS:
    void actionRequested(const Action &action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<DisplayId, DigitalDisplay *> m_displays;
    DisplayColours m_colours;
    QHash<QObject *, Action> m_clickable;
};
