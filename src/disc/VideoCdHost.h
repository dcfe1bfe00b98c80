#pragma once

#include <QString>

struct IntKey;
class Prompt;

// What the VideoCD search needs of the control window besides its media graph: the
// current-file path, prompts, preferences, the readouts it borrows while it looks, the
// full-screen view and the play queue it takes over from.
class VideoCdHost
{
public:
    virtual ~VideoCdHost() = default;

    virtual void setCurrentPath(const QString &path) = 0;
    virtual Prompt &prompt() = 0;
    virtual int preference(const IntKey &key) const = 0;

    // A fixed text on the clock display (1088).
    virtual void showClockText(const QString &text) = 0;
    // A text scrolling through the title-and-date display (1089), one step per period.
    virtual void scrollTitleText(const QString &text, int periodMs) = 0;
    // Both back to what they show by themselves: the time of day and the date.
    virtual void restoreDisplays() = 0;
    // The file-number readout, refreshed (it asks the search for its text while a disc plays).
    virtual void refreshFileNumber() = 0;

    // Full-screen view on.
    virtual bool fullScreenView() const = 0;
    // Back to the windowed view.
    virtual void leaveFullScreen() = 0;
    // The play queue goes idle: the disc, not the list, says what comes next.
    virtual void resetQueue() = 0;
};
