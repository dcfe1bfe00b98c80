#include "MediaGraph.h"

#include "MediaEngine.h"
#include "MpvEngine.h"
#include "PlaybackHost.h"
#include "PlaybackText.h"
#include "Transport.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "PictureHost.h"
#include "ResumeList.h"

#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

MediaGraph::MediaGraph(PlaybackHost &host, SettingsStore &settings, std::unique_ptr<MediaEngine> engine)
    : m_host(host), m_settings(settings), m_engine(std::move(engine))
{
    if (!m_engine)
        m_engine = std::make_unique<MpvEngine>();
    m_transport = std::make_unique<Transport>(*this, host);
    m_resume = std::make_unique<ResumeList>();
}

bool MediaGraph::isAddress(const QString &path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void MediaGraph::keepResumePoint(bool now)
{
    if (!m_loaded || m_host.preference(Key::ResumePlayback) == 0 || m_engine->isStream())
        return;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (!now && ms - m_resumeSavedAt < 5000)
        return;
    m_resumeSavedAt = ms;
    const QString path = QFileInfo(m_host.currentPath()).absoluteFilePath();
    const double at = m_engine->position();
    // A file seen to its end starts again from its beginning.
    if (at < 1.0 || at > m_engine->duration() - 1.0)
        m_resume->forget(path);
    else
        m_resume->remember(path, at);
}

MediaGraph::~MediaGraph() = default;

double MediaGraph::frameRate() const
{
    const double perFrame = m_loaded ? m_engine->frameDuration() : 0.0;
    return perFrame > 0 ? 1.0 / perFrame : 25.0;
}

bool MediaGraph::opening() const
{
    return m_opening || (m_engine && m_engine->busy());
}

bool MediaGraph::openMedia()
{
    // From a timer or a call handled during the engine's wait: one open at a time.
    if (m_opening) {
        qWarning("open of %s refused: another file is opening", qPrintable(m_host.currentPath()));
        return false;
    }
    const QString path = m_host.currentPath();
    // Callers close first; one graph at a time either way.
    if (m_loaded)
        closeMedia();

    if (!m_engine->start()) {
        m_loaded = false;
        m_host.prompt().message({QStringLiteral("The playback engine libmpv could not be started!\n"
                                                "Install or reinstall its package (on Debian: libmpv2)"),
                                 QStringLiteral("Fatal Error!"), PromptKind::Ok, PromptKind::Stop});
        m_host.quitProgram();
        return false;
    }

    m_engine->setAutoSubtitles(m_host.preference(Key::AutoSubtitles) != 0);
    m_engine->setHardwareDecoding(m_host.preference(Key::HardwareDecoding) != 0);
    const bool address = isAddress(path) && path == m_userAddress;

    // Only regular files reach the engine, and nothing here opens one: reading a pipe or a
    // device can wait for ever.
    const QFileInfo info(path);
    if (!address && (path.isEmpty() || !info.isFile())) {
        m_noVideo = false;
        m_lastResult = false;
        const QString text = path.isEmpty() || !info.exists() ? QStringLiteral("File ''%1'' not found!")
                                                               : QStringLiteral("File ''%1'' is not a regular file!");
        m_host.prompt().error(text.arg(path));
        return false;
    }

    m_opening = true;
    m_openCancelled = false;
    const std::weak_ptr<bool> alive = m_alive;
    const MediaEngine::OpenResult result = address ? m_engine->openUrl(QUrl(path)) : m_engine->open(path);
    if (alive.expired())
        return false; // deleted from within the wait
    m_opening = false;
    if (m_openCancelled) {
        // closeMedia() has done the rest.
        if (result != MediaEngine::OpenResult::Failed)
            m_engine->close();
        m_lastResult = false;
        return false;
    }
    if (result == MediaEngine::OpenResult::Failed) {
        m_noVideo = false;
        m_lastResult = false;
        if (address) {
            const QString reason = m_engine->lastError();
            m_host.prompt().error(QStringLiteral("The stream %1 could not be played:\n%2")
                                      .arg(path, reason.isEmpty() ? QStringLiteral("no reason given") : reason));
            closeMedia();
        } else if (!info.isReadable()) {
            m_host.prompt().error(QStringLiteral("File ''%1'' not found!").arg(path));
        } else if (m_videoCdTrack) {
            closeMedia();
        } else {
            m_host.prompt().error(
                m_videoCdFound ? QStringLiteral("No suitable codec found to decode the VideoCD\n ")
                               : QStringLiteral("No suitable codec found to decode file\n"
                                                "Install or update the FFmpeg codec libraries of your distribution\n"
                                                "(on Debian: libavcodec59, or libavcodec-extra59 for more codecs)"));
            closeMedia();
        }
        return false;
    }
    m_noVideo = result == MediaEngine::OpenResult::VideoNotRendered;
    m_frameFormat = m_engine->frameFormat();

    // The picture goes into the video window, which owns its mouse and keys.
    PictureHost *window = m_host.ensurePictureHost();
    m_picture = window ? m_engine->hostPicture(window->pictureParent()) : nullptr;
    if (window && m_picture)
        window->setPicture(m_picture);

    m_loaded = true;
    m_lastResult = true;
    const QSize size = m_engine->videoSize();
    m_videoWidth = std::max(0, size.width());
    m_videoHeight = std::max(0, size.height());
    if (size.isEmpty())
        m_noVideo = true;

    m_transport->prepareForNewFile();
    if (!address && m_host.preference(Key::ResumePlayback) != 0) {
        const double at = m_resume->position(info.absoluteFilePath());
        if (at > 0 && at < m_engine->duration())
            m_transport->seekTo(at);
    }
    m_resumeSavedAt = QDateTime::currentMSecsSinceEpoch();

    if (!m_host.fullScreenView() && m_picture)
        m_picture->show();
    m_host.sizeVideoWindow();

    m_host.scrollTitle(PlaybackText::title(path), 19, 3 * m_host.preference(Key::UpdatePeriod));

    if (m_host.fullScreenView())
        m_transport->play();
    if (m_host.fillScreenView())
        m_host.reapplyFillScreen();

    m_transport->showFrameRate();
    return true;
}

void MediaGraph::closeMedia()
{
    if (m_opening) {
        m_openCancelled = true;
        m_engine->close();
    }
    if (PictureHost *window = m_host.pictureHost()) {
        m_settings.write(Key::VideoWindowLeft, window->windowPosition().x());
        m_settings.write(Key::VideoWindowTop, window->windowPosition().y());
    }
    m_host.stopPlaybackTimer();
    if (m_loaded) {
        keepResumePoint(true);
        releaseInterfaces();
        m_loaded = m_playing = m_paused = false;
        m_videoWidth = m_videoHeight = 0;
    }
    m_host.stopTitleScroll();
    m_host.stopClockScroll();
    m_host.refreshDate();
}

void MediaGraph::releaseInterfaces()
{
    m_engine->releasePicture();
    m_picture = nullptr;
    m_engine->close();
    m_host.setSetButtonsEnabled(false);
}

bool MediaGraph::openAndStart()
{
    if (!openMedia()) {
        m_playing = false;
        return false;
    }
    if (m_host.preference(Key::AutoDropPlay) != 0) {
        if (!m_playing)
            m_transport->play();
    } else {
        m_transport->play();
        m_transport->playPause();
    }
    return true;
}
