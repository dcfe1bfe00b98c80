#include "QueueBridge.h"

#include "ControlWindow.h"
#include "Readouts.h"
#include "ScreenModes.h"
#include "app/SettingsKeys.h"
#include "disc/VideoCdSearch.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "skin/DigitalDisplay.h"

QString QueueBridge::currentPath() const { return m_window.currentPath(); }
void QueueBridge::setCurrentPath(const QString &path) { m_window.setCurrentPath(path); }
bool QueueBridge::openMedia()
{
    // Whatever the queue opens ends the disc.
    m_window.videoCd().end();
    return m_window.graph().openMedia();
}
void QueueBridge::closeMedia() { m_window.graph().closeMedia(); }
bool QueueBridge::isLoaded() const { return m_window.graph().loaded(); }
bool QueueBridge::isPlaying() const { return m_window.graph().playing(); }
void QueueBridge::play() { m_window.transport().play(); }

void QueueBridge::showFileNumber(const QString &text)
{
    m_window.readouts().display(DisplayId::FileNumber)->setText(text);
}

void QueueBridge::bringToFront() { m_window.bringForward(); }
void QueueBridge::closeVideoWindow() { m_window.screenModes().destroyVideoWindow(); }
bool QueueBridge::randomOrder() const { return m_window.toggles().random; }
bool QueueBridge::loopPlaylist() const { return m_window.toggles().loopList; }
bool QueueBridge::showRemaining() const { return m_window.toggles().remaining; }
void QueueBridge::setShowRemaining(bool on) { m_window.toggles().remaining = on; }
bool QueueBridge::autoPlay() const { return m_window.preferences().isOn(Key::AutoDropPlay); }
