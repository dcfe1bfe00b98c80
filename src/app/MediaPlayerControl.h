#pragma once

#include <QString>

// What the desktop's media controls (MPRIS2 on the session bus) may ask of the player.
// The control window implements it; every call maps onto one of its own commands.
class MediaPlayerControl
{
public:
    enum class Status { Stopped, Playing, Paused };
    struct Metadata {
        QString title;         // empty when nothing is loaded
        qint64 lengthUs = 0;   // duration in microseconds
        QString url;           // file:// URL of the loaded file
    };

    virtual ~MediaPlayerControl() = default;

    virtual void playPause() = 0;
    virtual void play() = 0;         // start or resume; opens nothing
    virtual void pause() = 0;        // pause only when playing
    virtual void stop() = 0;
    virtual void next() = 0;         // the next-track media key: fast forward
    virtual void previous() = 0;     // the previous-track media key: rewind
    virtual void seekBy(qint64 offsetUs) = 0;
    virtual void setPositionUs(qint64 positionUs) = 0;
    virtual void openUri(const QString &uri) = 0;
    virtual void raise() = 0;
    virtual void quit() = 0;

    virtual Status status() const = 0;
    virtual Metadata metadata() const = 0;
    virtual qint64 positionUs() const = 0;
    virtual double rate() const = 0;
    virtual void setRate(double rate) = 0;
    virtual double volume() const = 0;  // the sound server's level, 1.0 = 100 %
    virtual void setVolume(double volume) = 0;
    virtual bool isLoaded() const = 0;
};
