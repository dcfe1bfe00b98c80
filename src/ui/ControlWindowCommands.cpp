// The one dispatch of the control window's actions.
#include "ControlWindow.h"
#include "PlaybackBridge.h"
#include "app/SettingsStore.h"
#include "disc/VideoCdSearch.h"
#include "ControlSet.h"
#include "Readouts.h"
#include "ScreenModes.h"
#include "mixer/MixerFader.h"
#include "mixer/SystemVolume.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "playback/Transport.h"
#include "playlist/FileDialogs.h"
#include "playlist/FileListEditorDialog.h"
#include "playlist/PlayList.h"
#include "net/HelpDocuments.h"
#include "net/UpdateCheck.h"
#include "prefs/OptionsDialog.h"
#include "skin/ColourChooserDialog.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

// One timer for them all: timers of their own could fire out of turn as the open ends.
void ControlWindow::afterOpen(std::function<void()> request)
{
    m_afterOpen.push_back(std::move(request));
    armAfterOpen();
}

void ControlWindow::armAfterOpen()
{
    if (m_afterOpenArmed)
        return;
    m_afterOpenArmed = true;
    QTimer::singleShot(50, this, [this] {
        m_afterOpenArmed = false;
        // A request may open a file itself: the rest wait for that open too.
        while (!m_afterOpen.empty() && !m_graph->opening()) {
            const std::function<void()> request = std::move(m_afterOpen.front());
            m_afterOpen.pop_front();
            request();
        }
        if (!m_afterOpen.empty())
            armAfterOpen();
    });
}

void ControlWindow::execute(const Action &action)
{
    using enum Command;
    if (m_graph->opening()) {
        // A request from the desktop or a timer while a file opens: after the open.
        afterOpen([this, action] { execute(action); });
        return;
    }
    Transport &t = transport();
    const double value = action.value;
    switch (action.command) {
    case None: break;
    case EnterKey:
    case PlayPause: t.playPause(); break;
    case Play:
        if (m_graph->loaded() && !m_graph->playing())
            m_graph->paused() ? t.playPause() : t.play();
        break;
    case Pause:
        if (m_graph->playing())
            t.playPause();
        break;
    case Stop: t.stopPlayback(); break;
    case Eject: eject(); break;
    case Rewind: t.rewind(); break;
    case FastForward: t.fastForward(); break;
    case Review: t.reviewStep(); break;
    case Cue: t.cueStep(); break;
    case FrameReverse: t.frameReverse(); break;
    case FrameAdvance: t.frameAdvance(); break;
    case SetRate: t.speedPreset(value); break;
    case Faster: t.keypadPlus(); break;
    case Slower: t.keypadMinus(); break;
    case SetStart: t.setStartPoint(); break;
    case SetStop: t.setStopPoint(); break;
    case ResetPoints: t.resetPoints(); break;
    case Jog: jog(int(value)); break;
    case MoveStart: t.startSliderDragged(int(value)); break;
    case MovePosition: t.positionSliderDragged(int(value)); break;
    case MoveStop: t.stopSliderDragged(int(value)); break;
    case MoveSpeed: t.speedSliderMoved(int(value)); break;
    case SeekTo: t.seekTo(value); break;
    case OpenFile: m_fileDialogs->openFiles(); break;
    case OpenUrl: askForAddress(); break;
    case SelectSubtitle:
    case SelectAudio:
        if (m_graph->loaded())
            m_graph->engine().selectTrack(action.command == SelectAudio ? MediaEngine::TrackKind::Audio
                                                                        : MediaEngine::TrackKind::Subtitle,
                                          int(value));
        break;
    case LoadSubtitle: loadSubtitleFile(); break;
    case Screenshot: saveScreenshot(); break;
    case CreateEmptyPlaylist: m_fileDialogs->createEmptyPlaylist(); break;
    case SaveFileAs:
        if (m_graph->loaded())
            m_fileDialogs->saveFileAs();
        break;
    case SavePlaylistAs:
        if (m_graph->loaded())
            m_fileDialogs->savePlaylistAs();
        break;
    case EditPlaylist: {
        // The editor may rewrite the list being played: nothing stays loaded meanwhile.
        if (m_graph->playing())
            t.stopPlayback();
        m_graph->closeMedia();
        m_videoCd->end();
        m_screenModes->destroyVideoWindow();
        FileListEditorDialog editor(m_settings, m_prompt, this);
        editor.run();
        break;
    }
    case PlayVideoCd: m_videoCd->search(); break;
    case PlayDvd: playDvd(); break;
    case FullScreen: m_screenModes->enterFullScreen(); break;
    case FillScreen: m_screenModes->enterFillScreen(); break;
    case LeaveScreenModes: m_screenModes->leaveScreenModes(); break;
    case SetScale: m_screenModes->setScale(int(value)); break;
    case CompactView: toggleHeight(true); break;
    case MinimalView: toggleHeight(false); break;
    case DockToggle: m_screenModes->toggleDock(); break;
    case StatusAreaView: hideToStatusArea(); break;
    case RandomToggle:
        m_toggles.random = !m_toggles.random;
        m_skin->showToggle(idNumber(ButtonId::Random), m_toggles.random);
        break;
    case LoopFileToggle:
        m_toggles.loopFile = !m_toggles.loopFile;
        m_skin->showToggle(idNumber(ButtonId::LoopFile), m_toggles.loopFile);
        break;
    case LoopListToggle:
        m_toggles.loopList = !m_toggles.loopList;
        m_skin->showToggle(idNumber(ButtonId::LoopList), m_toggles.loopList);
        break;
    case SetVolume: m_systemVolume->setVolume(int(std::lround(std::clamp(value, 0.0, 1e9)))); break;
    case MoveBalance: m_balance->userMoved(int(value)); break;
    case MuteToggle:
        m_systemVolume->toggleMute();
        // The button shows the flag, not its own press: without a mixer nothing changes.
        showMute(m_systemVolume->muted());
        break;
    case ShowCurrentNumber: m_playList->showCurrentNumber(); break;
    case ShowRemaining: m_playList->showRemaining(); break;
    case ToggleTimeRemaining: m_toggles.timeRemaining = !m_toggles.timeRemaining; break;
    case ChangeButtonImages: m_skin->changeButtonImages(int(value)); break;
    case RestoreButtonImages: m_skin->restoreGroup(int(value), skinToggles()); break;
    case SetBackground:
        // The window is built again to show it.
        if (value < 0 ? m_skin->chooseBackground() : m_skin->setPresetBackground(int(value)))
            restartControlWindow();
        break;
    case RestoreColours: m_readouts->colours().restoreDefaults(DisplayColours::Group(value)); break;
    case LastSavedColours: m_readouts->colours().loadLastSaved(DisplayColours::Group(value)); break;
    case ChangeColour: changeColour(DisplayColours::Group(int(value) / 3), DisplayColours::Which(int(value) % 3)); break;
    case Options: showOptions(); break;
    case CheckUpdate: m_update->start(true); break;
    case OpenHelp: HelpDocuments::open(int(value)); break;
    case EmailMaker: HelpDocuments::emailMaker(m_prompt); break;
    case MailingList: HelpDocuments::openMailingList(); break;
    case ExitButton: exitButton(); break;
    case Exit: closeProgram(); break;
    case About: showAbout(); break;
    case EscapeKey: handleEscape(); break;
    }
    if (!m_closing)
        showDockState();
    notifyDesktop();
}

void ControlWindow::showOptions()
{
    const int squareBefore = m_settings.read(Key::SquareCorners);
    OptionsDialog options(m_prefs, m_settings, this);
    options.exec();
    // Whichever way it closed, these three are what the settings say.
    m_prefs.set(Key::AutoFull, m_settings.read(Key::AutoFull));
    m_prefs.set(Key::AlwaysOnTop, m_settings.read(Key::AlwaysOnTop));
    m_prefs.set(Key::USDateFormat, m_settings.read(Key::USDateFormat));
    m_playbackHost->refreshDate();
    applyAlwaysOnTop();
    if (m_settings.read(Key::SquareCorners) != squareBefore)
        applyCorners();
    m_skin->showToggle(idNumber(ButtonId::Dock), m_screenModes->docked());
    m_screenModes->sizeVideoWindow(true);
}

void ControlWindow::changeColour(DisplayColours::Group group, DisplayColours::Which which)
{
    // Opened over the window, so it is never behind it.
    const DisplayColours::Set now = m_readouts->colours().current(group);
    DisplayColours::Set copy = now;
    ColourChooserDialog chooser(copy[which], this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    m_readouts->colours().change(group, which, colourRef(chooser.red(), chooser.green(), chooser.blue()));
}

void ControlWindow::eject()
{
    m_graph->closeMedia();
    m_videoCd->end();
    transport().clearPoints();
    m_readouts->clearTimes();
    m_playList->resetQueue();
    m_screenModes->destroyVideoWindow();
}

void ControlWindow::handleEscape()
{
    if (m_prefs.isOn(Key::EscFunction)) {
        closeProgram();
        return;
    }
    m_screenModes->leaveScreenModes();
}

void ControlWindow::jog(int wheelDelta)
{
    m_controls->button(ButtonId::PlayPause)->setFocus();
    transport().jog(wheelDelta);
}

void ControlWindow::middleClick(bool doubleClick)
{
    // "MiddleDouble" chooses which of the two is play/pause.
    if (m_prefs.isOn(Key::MiddleDouble) != doubleClick)
        return;
    if (m_screenModes->mode() != ScreenModes::Mode::FullScreen)
        m_controls->button(ButtonId::PlayPause)->setFocus();
    execute({Command::PlayPause});
}
