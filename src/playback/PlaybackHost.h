#pragma once

#include <QString>

struct IntKey;
class PlayQueue;
struct ProcessState;
class Prompt;
class PictureHost;

// What the media graph and the transport need of the control window that owns them.
// Everything is called on the user-interface thread.
class PlaybackHost
{
public:
    enum class Readout { CurrentTime, StartTime, EndTime, TotalTime, Speed };

    virtual ~PlaybackHost() = default;

    // --- Readouts and controls
    // Sets the text of one segment readout.
    virtual void showReadout(Readout which, const QString &text) = 0;
    // Shows a fixed text on the clock display (frame rate, "File Paused").
    virtual void showClockText(const QString &text) = 0;
    // Scrolls a text through the clock display's cells, one step per period.
    virtual void scrollClockText(const QString &text, int cells, int periodMs) = 0;
    // Stops the clock display's own scrolling; the time of day takes it back.
    virtual void stopClockScroll() = 0;
    // Scrolls a text through the title display's cells, one step per period.
    virtual void scrollTitle(const QString &text, int cells, int periodMs) = 0;
    // Stops the title display's scrolling.
    virtual void stopTitleScroll() = 0;
    // Shows today's date on the title-and-date display.
    virtual void refreshDate() = 0;
    // Shows the play queue's file number readout.
    virtual void refreshFileNumber() = 0;
    // The transport's slider models changed: bring the slider widgets up to date.
    virtual void refreshControls() = 0;
    // Enables or disables the Set buttons beside the start and stop sliders.
    virtual void setSetButtonsEnabled(bool enabled) = 0;
    // A command moved the position (a seek, a step, a jog), not playing on.
    virtual void positionJumped() = 0;

    // --- Timer 1 (owned by the control window; each timeout calls Transport::playbackTick)
    // (Re)starts the playback timer with this period.
    virtual void startPlaybackTimer(int periodMs) = 0;
    // Stops the playback timer.
    virtual void stopPlaybackTimer() = 0;

    // --- Video window and view modes
    // The video window, or null while there is none.
    virtual PictureHost *pictureHost() = 0;
    // The video window, created (hidden) when there is none yet.
    virtual PictureHost *ensurePictureHost() = 0;
    // Sizes, shows or hides the video window for the open file, then docks it.
    virtual void sizeVideoWindow() = 0;
    // The full-screen view is on.
    virtual bool fullScreenView() const = 0;
    // The fill-screen view is on.
    virtual bool fillScreenView() const = 0;
    // Neither full screen nor fill screen.
    virtual bool windowedView() const = 0;
    // Re-applies the full-screen state.
    virtual void reapplyFullScreen() = 0;
    // Re-applies the fill-screen state.
    virtual void reapplyFillScreen() = 0;
    // "AutoFull" on play: marks the view not windowed and re-applies full screen.
    virtual void enterAutoFull() = 0;

    // --- State kept by the control window
    // The current file path.
    virtual QString currentPath() const = 0;
    // The live value of a preference or toggle ("UpdatePeriod", "AutoLoop", "Current"...).
    virtual int preference(const IntKey &key) const = 0;
    // The play queue; null when there is none.
    virtual PlayQueue *playQueue() = 0;
    // Message boxes.
    virtual Prompt &prompt() = 0;
    // What lasts for the whole process (the jog hint shown once, the previous tick).
    virtual ProcessState &processState() = 0;

    // --- Work done elsewhere
    // Runs the open-file dialog (play/pause with nothing loaded).
    virtual void openFileDialog() = 0;
    // Ends the program once the current event is handled (fatal engine failure, "AutoExit").
    virtual void quitProgram() = 0;
    // A disc track has ended (VideoCD mode, no playlist active): the disc's next track.
    virtual void nextVideoCdTrack() = 0;
};
