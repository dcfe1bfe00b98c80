#pragma once
// The DVD-Video navigator: GStreamer's rsndvdbin with the menu highlights blended in
// (dvdspu), the picture handed over as images and the sound sent to the sound server.
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <memory>

class DvdNavigator : public QObject
{
    Q_OBJECT
public:
    // What a call gives back; the texts the player shows for each are resultText().
    enum class Result {
        Ok,
        NotImplemented,
        Pointer,
        Fail,
        Unexpected,   // no disc running, or not in a title
        Inhibited,    // the disc forbids it here
        NotSupported,
        OutOfMemory,
        InvalidArg,
    };
    static QString resultText(Result r);

    // Starts GStreamer on the first call; false when the DVD elements are not installed.
    static bool softwareInstalled();

    explicit DvdNavigator(QObject *parent = nullptr);
    // Never waits: a running disc is stopped and released in the background.
    ~DvdNavigator() override;

    // device: a VIDEO_TS folder, or a disc image. Returns at once; built(), failed() or
    // decoderMissing() follows, and no frame before the first one of these.
    void build(const QString &device);
    // Stops and lets go of the disc, in the background; nothing is signalled.
    void release();
    bool building() const { return m_state == State::Building; }
    bool ready() const { return m_state == State::Ready; }
    QString device() const { return m_device; }

    // The volume to play from: a folder with VIDEO_TS.IFO or an image file that exists.
    Result setRoot(const QString &device);
    // Every level up to the one asked for plays: the navigator knows no parental lock.
    Result parentalLevelSelect(int level);

    Result run();
    Result pause();
    Result stop();
    Result forwardScan(double rate);
    // Stepped backward jumps, rate seconds of picture per second; at the title's start it
    // plays on at 1.0 and reverseEnded() is signalled.
    Result backwardScan(double rate);
    Result playPrevChapter();
    Result playNextChapter();
    // Back from a menu to where the title was left.
    Result resume();
    Result rootMenu();
    // Points in video pixels (720 x 576 on a PAL disc).
    Result mouseSelect(QPointF point);
    Result mouseActivate(QPointF point);

    // The latest picture, in video pixels; null before the first.
    QImage frame() const;
    quint64 frameCount() const;
    // The picture's shape: width / height as the disc wants it shown.
    double displayAspect() const;
    // Where the disc is, as last seen (a few times a second): title 0 is a menu.
    int title() const { return m_title; }
    int chapter() const { return m_chapter; }
    double position() const { return m_position; }
    double rate() const;
    // The stream time of the latest picture, in seconds; -1 before the first.
    double frameTime() const;
    bool reversing() const { return m_reverseTimer.isActive(); }

    // No first picture within this many milliseconds fails the build.
    static constexpr int PrerollTimeoutMs = 15000;

Q_SIGNALS:
    void built();
    void failed(const QString &text);
    void decoderMissing();
    // The disc failed while running; it has been released.
    void errorWhilePlaying(const QString &text);
    void frameReady();
    void locationChanged();
    void reverseEnded();

private:
    enum class State { Idle, Building, Ready };
    struct Session;
    void handleMessage(int kind, const QString &text);
    void buildFailed(const QString &text);
    void stopReverse();
    Result needDisc() const;

    State m_state = State::Idle;
    QString m_device;
    std::shared_ptr<Session> m_session;
    QTimer m_prerollTimer;
    QTimer m_pollTimer;
    QTimer m_reverseTimer;
    int m_title = -1;
    int m_chapter = -1;
    double m_position = 0;
    double m_reverseRate = 0;
};
