#pragma once

#include "DigitalDisplay.h"

#include <QBasicTimer>

// A segment display that circulates a longer text through a fixed number of places,
// one character to the left per step of its own timer.
class ScrollingDisplay : public DigitalDisplay
{
    Q_OBJECT
public:
    explicit ScrollingDisplay(QWidget *parent = nullptr);
    ~ScrollingDisplay() override;

    // Replaces the text; when not running, steps once at once so the new text shows.
    void setScrollText(const QString &text);
    QString scrollText() const { return m_scrollText; }
    // Stored only: a new period takes effect at the next startScrolling().
    void setScrollPeriod(int ms) { m_period = ms; }
    int scrollPeriod() const { return m_period; }
    void setWindowLength(int cells) { m_windowLength = cells; }
    int windowLength() const { return m_windowLength; }

    // Restarts the timer when already running. Steps fall on whole multiples of the period
    // of a clock shared by every scrolling display, so displays scrolling at one period step
    // together: one wake-up and one repaint for all of them.
    void startScrolling();
    // The shown text stays.
    void stopScrolling();
    bool isScrolling() const { return m_timer.isActive(); }

    // One step: the first character moves to the end, the first window-length
    // characters are shown.
    void step();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    QString m_scrollText = QStringLiteral("This is an example scrolling display ");
    int m_windowLength = 12;
    int m_period = 200;
    QBasicTimer m_timer;
    bool m_aligning = false; // the timer runs the short wait to the first aligned step
};
