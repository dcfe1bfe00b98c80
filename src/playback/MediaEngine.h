#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QtGlobal>

class QWidget;

// One audio or subtitle track of the open file, as the menus list it.
struct MediaTrack {
    int id = 0;           // the engine's number for it; never 0
    QString language;     // as the file tags it ("eng"), may be empty
    QString title;
    bool external = false; // a subtitle file beside the video
    bool selected = false;
};

// What the player needs of a playback engine: one file at a time, driven from the
// user-interface thread. Every call returns when its effect can be read back: after
// seek() the position reads the new place, after open() the file's facts are known.
//
// Positions come in seconds or in "units": frame numbers when frameFormat() is true
// (the file has a known frame rate), otherwise 100-nanosecond steps.
class MediaEngine
{
public:
    enum class OpenResult {
        Ok,               // built with its picture
        VideoNotRendered, // built, but there is no picture to show (audio only)
        Failed            // nothing could be built for the file
    };

    virtual ~MediaEngine() = default;

    // Brings the engine up once; false when it cannot run on this system at all.
    virtual bool start() = 0;
    // Builds for a file, stopped at its beginning. A failure leaves nothing open. May handle
    // events other than user input while it waits; an open() asked for meanwhile fails.
    virtual OpenResult open(const QString &path) = 0;
    // Drops the file; the rate in force survives for the next file. During an open's wait
    // it makes that open fail.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Native picture size; empty without a picture.
    virtual QSize videoSize() const = 0;
    // Seconds per frame; 0 when unknown.
    virtual double frameDuration() const = 0;
    // Units are frame numbers (otherwise 100 ns).
    virtual bool frameFormat() const = 0;

    virtual double duration() const = 0;
    virtual qint64 durationUnits() const = 0;
    // Reads the stop position once play has reached it.
    virtual double position() const = 0;
    virtual qint64 positionUnits() const = 0;
    // Exact: lands on the frame shown at that time. Clamped to the file.
    virtual void seek(double seconds) = 0;
    virtual void seekUnits(qint64 units) = 0;

    // Play ends at the stop position (exclusive); at most the duration.
    virtual double stopPosition() const = 0;
    virtual qint64 stopUnits() const = 0;
    virtual void setStop(double seconds) = 0;
    virtual void setStopUnits(qint64 units) = 0;

    virtual void run() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // False when the rate is refused; the previous rate stays in force.
    virtual bool setRate(double rate) = 0;

    // --- What players of today add; an engine without them answers "none" and refuses.
    enum class TrackKind { Audio, Subtitle };
    // How files open from now on: subtitle files with the video's own name load and show by
    // themselves; the machine's video decoder is used where that is safe.
    virtual void setAutoSubtitles(bool on) { Q_UNUSED(on); }
    virtual void setHardwareDecoding(bool on) { Q_UNUSED(on); }
    virtual QList<MediaTrack> tracks(TrackKind kind) const { Q_UNUSED(kind); return {}; }
    // Subtitles take 0 for none. The choice holds until the file closes.
    virtual bool selectTrack(TrackKind kind, int id) { Q_UNUSED(kind); Q_UNUSED(id); return false; }
    // Loads a subtitle file for the open file and shows it.
    virtual bool addSubtitleFile(const QString &path) { Q_UNUSED(path); return false; }
    // The frame at the position at the picture's own size, with the subtitles shown.
    virtual QImage frameImage() { return {}; }
    // Opens an http or https address (a file or an HLS playlist), as open() does a file.
    virtual OpenResult openUrl(const QUrl &url) { Q_UNUSED(url); return OpenResult::Failed; }
    // The open file came over the network.
    virtual bool isStream() const { return false; }
    // Inside a long wait (a slow seek) that lets the event loop run.
    virtual bool busy() const { return false; }
    // Why the last open failed, in the engine's words; empty when it did not say.
    virtual QString lastError() const { return {}; }

    // Makes the picture a child widget of owner and returns it; null without a picture.
    virtual QWidget *hostPicture(QWidget *owner) = 0;
    // Hides the picture; it stays with its owner for the next file.
    virtual void releasePicture() = 0;
};
