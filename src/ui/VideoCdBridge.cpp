#include "VideoCdBridge.h"

#include "ControlWindow.h"
#include "PlaybackBridge.h"
#include "ReadoutFormat.h"
#include "Readouts.h"
#include "ScreenModes.h"
#include "playback/MediaGraph.h"
#include "playback/PlaybackText.h"
#include "playback/Transport.h"
#include "playlist/PlayList.h"

void VideoCdBridge::setCurrentPath(const QString &path) { m_window.setCurrentPath(path); }
Prompt &VideoCdBridge::prompt() { return m_window.prompt(); }
int VideoCdBridge::preference(const IntKey &key) const { return m_window.preferences().value(key); }
void VideoCdBridge::showClockText(const QString &text) { m_window.readouts().showClockText(text); }

void VideoCdBridge::scrollTitleText(const QString &text, int periodMs)
{
    m_window.readouts().scrollTitle(text, ::Readout::DatePlaces, periodMs);
}

void VideoCdBridge::restoreDisplays()
{
    // What the two show when nobody borrows them: for a file that plays on, its title and
    // frame rate; otherwise the date and the time of day.
    Readouts &r = m_window.readouts();
    MediaGraph &graph = m_window.graph();
    const int period = 3 * m_window.preferences().updatePeriod();
    r.stopTitleScroll();
    if (graph.loaded())
        r.scrollTitle(PlaybackText::title(m_window.currentPath()), ::Readout::DatePlaces, period);
    else
        r.showDate(m_window.preferences().isOn(Key::USDateFormat));
    r.stopClockScroll();
    if (graph.loaded() && !graph.noVideo()) {
        m_window.transport().showFrameRate();
        return;
    }
    r.showClockText(::Readout::formatTimeOfDay(QTime::currentTime(), m_window.preferences().isOn(Key::Hour24Format)));
}

void VideoCdBridge::refreshFileNumber() { m_window.playbackHost().refreshFileNumber(); }
bool VideoCdBridge::fullScreenView() const { return m_window.screenModes().mode() == ScreenModes::Mode::FullScreen; }
void VideoCdBridge::leaveFullScreen() { m_window.screenModes().leaveFullScreen(); }
void VideoCdBridge::resetQueue() { m_window.playList().resetQueue(); }
