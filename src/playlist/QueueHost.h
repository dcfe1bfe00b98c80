#pragma once

#include <QString>

// What the play queue and the file commands need of the window that plays: the current-file
// path, the media it opens, the file-number readout and the toggles that steer the queue.
// The control window implements it.
class QueueHost
{
public:
    virtual ~QueueHost() = default;

    // The path the next open uses.
    virtual QString currentPath() const = 0;
    virtual void setCurrentPath(const QString &path) = 0;
    // Opens currentPath(); true when loaded. Reports its own failures (missing file, no codec).
    virtual bool openMedia() = 0;
    // Closes the loaded file; nothing when none is loaded.
    virtual void closeMedia() = 0;
    virtual bool isLoaded() const = 0;
    virtual bool isPlaying() const = 0;
    // Starts playback of the loaded file.
    virtual void play() = 0;

    // The four-character file-number readout.
    virtual void showFileNumber(const QString &text) = 0;
    // Raises the window (topmost, then the "AlwaysOnTop" state again) and gives it the focus.
    virtual void bringToFront() = 0;
    // Closes and destroys the video window when there is one.
    virtual void closeVideoWindow() = 0;

    // Toggles ("RandomState", "LoopPlaylist", "Remain") and the "AutoDropPlay" preference.
    virtual bool randomOrder() const = 0;
    virtual bool loopPlaylist() const = 0;
    virtual bool showRemaining() const = 0;
    virtual void setShowRemaining(bool on) = 0;
    virtual bool autoPlay() const = 0;
};
