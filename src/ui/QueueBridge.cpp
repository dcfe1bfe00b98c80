#include "QueueBridge.h"

#include "ControlWindow.h"
#include "app/SettingsKeys.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "skin/DigitalDisplay.h"

QString QueueBridge::currentPath() const { return m_window.m_currentPath; }
void QueueBridge::setCurrentPath(const QString &path) { m_window.m_currentPath = path; }
bool QueueBridge::openMedia() { return m_window.m_graph->openMedia(); }
void QueueBridge::closeMedia() { m_window.m_graph->closeMedia(); }
bool QueueBridge::isLoaded() const { return m_window.m_graph->loaded(); }
bool QueueBridge::isPlaying() const { return m_window.m_graph->playing(); }
void QueueBridge::play() { m_window.transport().play(); }

void QueueBridge::showFileNumber(const QString &text)
{
    static_cast<DigitalDisplay *>(m_window.control(1082))->setText(text);
}

void QueueBridge::bringToFront()
{
    m_window.bringForward();
}

void QueueBridge::closeVideoWindow() { m_window.destroyVideoWindow(); }
bool QueueBridge::randomOrder() const { return m_window.m_randomState; }
bool QueueBridge::loopPlaylist() const { return m_window.m_loopPlaylist; }
bool QueueBridge::showRemaining() const { return m_window.m_remain; }
void QueueBridge::setShowRemaining(bool on) { m_window.m_remain = on; }
bool QueueBridge::autoPlay() const { return m_window.m_prefs.isOn(Key::AutoDropPlay); }
