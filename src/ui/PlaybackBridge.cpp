#include "PlaybackBridge.h"

#include "ControlSet.h"
#include "ControlWindow.h"
#include "MprisBridge.h"
#include "Readouts.h"
#include "ScreenModes.h"
#include "VideoWindow.h"
#include "app/SettingsKeys.h"
#include "disc/VideoCdSearch.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playlist/FileDialogs.h"
#include "playlist/PlayList.h"
#include "skin/DigitalDisplay.h"

#include <QTimer>

void PlaybackBridge::showReadout(Readout which, const QString &text) { m_window.readouts().show(which, text); }
void PlaybackBridge::showClockText(const QString &text) { m_window.readouts().showClockText(text); }
void PlaybackBridge::scrollClockText(const QString &text, int cells, int periodMs)
{
    m_window.readouts().scrollClockText(text, cells, periodMs);
}
void PlaybackBridge::stopClockScroll() { m_window.readouts().stopClockScroll(); }
void PlaybackBridge::scrollTitle(const QString &text, int cells, int periodMs)
{
    m_window.readouts().scrollTitle(text, cells, periodMs);
}
void PlaybackBridge::stopTitleScroll() { m_window.readouts().stopTitleScroll(); }
void PlaybackBridge::refreshDate() { m_window.readouts().showDate(m_window.preferences().isOn(Key::USDateFormat)); }
void PlaybackBridge::refreshFileNumber()
{
    // A disc has no place in the list: the readout names the disc instead.
    if (m_window.videoCd().active())
        m_window.readouts().display(DisplayId::FileNumber)->setText(m_window.videoCd().readoutText());
    else
        m_window.playList().showFileNumber();
}
void PlaybackBridge::refreshControls() { m_window.controls().syncSliders(m_window.transport()); }
void PlaybackBridge::setSetButtonsEnabled(bool enabled) { m_window.controls().setSetButtonsEnabled(enabled); }

void PlaybackBridge::positionJumped()
{
    if (MprisBridge *mpris = m_window.mpris())
        mpris->seeked();
}

void PlaybackBridge::startPlaybackTimer(int periodMs) { m_window.timer(ControlWindow::PlaybackTimer)->start(periodMs); }
void PlaybackBridge::stopPlaybackTimer() { m_window.timer(ControlWindow::PlaybackTimer)->stop(); }
PictureHost *PlaybackBridge::pictureHost() { return m_window.screenModes().videoWindow(); }
PictureHost *PlaybackBridge::ensurePictureHost() { return m_window.screenModes().ensureVideoWindow(); }
void PlaybackBridge::sizeVideoWindow() { m_window.screenModes().sizeVideoWindow(); }
bool PlaybackBridge::fullScreenView() const { return m_window.screenModes().fullScreen(); }
bool PlaybackBridge::fillScreenView() const { return m_window.screenModes().fillScreen(); }
bool PlaybackBridge::windowedView() const { return m_window.screenModes().windowed(); }
void PlaybackBridge::reapplyFullScreen() { m_window.screenModes().reapplyFullScreen(); }
void PlaybackBridge::reapplyFillScreen() { m_window.screenModes().reapplyFillScreen(); }
void PlaybackBridge::enterAutoFull() { m_window.screenModes().reapplyFullScreen(); }
QString PlaybackBridge::currentPath() const { return m_window.currentPath(); }

int PlaybackBridge::preference(const IntKey &key) const
{
    // The toggles live on the window; everything else is a preference.
    const ControlWindow::Toggles &t = m_window.toggles();
    const std::string_view name(key.name);
    if (name == Key::AutoLoop.name)
        return t.loopFile;
    if (name == Key::LoopPlaylist.name)
        return t.loopList;
    if (name == Key::RandomState.name)
        return t.random;
    if (name == Key::Remain.name)
        return t.remaining;
    if (name == Key::Current.name)
        return t.timeRemaining;
    return m_window.preferences().value(key);
}

PlayQueue *PlaybackBridge::playQueue() { return &m_window.playList(); }
Prompt &PlaybackBridge::prompt() { return m_window.prompt(); }
ProcessState &PlaybackBridge::processState() { return m_window.processState(); }
void PlaybackBridge::openFileDialog() { m_window.fileDialogs().openFiles(); }
void PlaybackBridge::quitProgram() { m_window.quitProgram(); }
void PlaybackBridge::nextVideoCdTrack() { m_window.videoCd().nextTrack(); }
