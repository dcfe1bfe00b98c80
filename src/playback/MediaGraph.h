#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class MediaEngine;
class PlaybackHost;
class ResumeList;
class SettingsStore;
class Transport;

// The control window's single playback graph for the current file: builds it for the
// current path, hosts its picture in the video window, prepares the transport and the
// readouts for the file, and tears it all down again. Owns the transport.
class MediaGraph
{
public:
    // Without an engine the graph plays through libmpv.
    MediaGraph(PlaybackHost &host, SettingsStore &settings, std::unique_ptr<MediaEngine> engine = {});
    ~MediaGraph();
    MediaGraph(const MediaGraph &) = delete;
    MediaGraph &operator=(const MediaGraph &) = delete;

    // OpenMedia: builds the graph for the host's current path; true when loaded.
    // Failures are reported to the user here; a failed open leaves nothing behind.
    // Refused (false, no message) while another open is under way.
    bool openMedia();
    // CloseMedia: closes the current file (before every open, on eject, at shutdown).
    // While an open is under way it ends that open, which then fails without a message.
    void closeMedia();
    // openMedia() is waiting for the engine, which handles events meanwhile (not user
    // input): the owner's timers and commands are best held back until it is false again.
    // An open, or a slow seek, is turning the event loop: requests wait until it ends.
    bool opening() const;
    // ReleaseInterfaces: drops the graph and its picture; disables the Set buttons.
    void releaseInterfaces();
    // An http or https address the user gave: openMedia() plays it when it is the current
    // path. Nothing else that names an address (a playlist entry) reaches the network.
    void allowAddress(const QString &url) { m_userAddress = url; }
    // The current path is such an address.
    static bool isAddress(const QString &path);
    // Saves where the open file is (for resuming it), at most every few seconds unless now.
    void keepResumePoint(bool now);
    ResumeList &resumeList() { return *m_resume; }
    // The open of the instance hand-off: opens, then plays ("AutoDropPlay") or leaves paused.
    bool openAndStart();

    Transport &transport() { return *m_transport; }
    MediaEngine &engine() { return *m_engine; }

    bool loaded() const { return m_loaded; }
    bool playing() const { return m_playing; }
    bool paused() const { return m_paused; }
    bool noVideo() const { return m_noVideo; }
    bool frameFormat() const { return m_frameFormat; }
    int videoWidth() const { return m_videoWidth; }
    int videoHeight() const { return m_videoHeight; }
    int sliderMaximum() const { return m_sliderMaximum; }
    int tickSpacing() const { return m_tickSpacing; }
    // The last checked engine call succeeded (a refused rate clears it).
    bool lastResult() const { return m_lastResult; }

    // Set by VideoCD playback: the file is a VideoCD track / a VideoCD is in a drive.
    bool videoCdTrack() const { return m_videoCdTrack; }
    void setVideoCdTrack(bool on) { m_videoCdTrack = on; }
    bool videoCdFound() const { return m_videoCdFound; }
    void setVideoCdFound(bool on) { m_videoCdFound = on; }

    // The picture widget inside the video window; null without one.
    QWidget *picture() const { return m_picture; }
    // Frames per second of the open file; 25 when it is not known.
    double frameRate() const;

private:
    friend class Transport;

    PlaybackHost &m_host;
    SettingsStore &m_settings;
    std::unique_ptr<MediaEngine> m_engine;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<ResumeList> m_resume;
    QString m_userAddress;
    qint64 m_resumeSavedAt = 0;
    QPointer<QWidget> m_picture;

    bool m_loaded = false;
    bool m_playing = false;
    bool m_paused = false;
    bool m_noVideo = false;
    bool m_frameFormat = false;
    int m_videoWidth = 0;
    int m_videoHeight = 0;
    int m_sliderMaximum = 0;
    int m_tickSpacing = 0;
    bool m_lastResult = true;
    bool m_opening = false;
    bool m_openCancelled = false;
    // Goes with the graph: an open finds out whether it was deleted during the wait.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    bool m_videoCdTrack = false;
    bool m_videoCdFound = false;
};
