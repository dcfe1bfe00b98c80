#include "MpvEngine.h"

#include "MpvEnginePrivate.h"
#include "MpvOptions.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <mpv/client.h>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

// A file that has not shown its first frame by then counts as unplayable.
constexpr int OpenTimeoutMs = 10000;

// The window goes on drawing while a file opens, but takes no clicks or keys: say so.
class BusyCursor
{
public:
    BusyCursor() : m_app(qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    {
        if (m_app)
            QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~BusyCursor()
    {
        if (m_app)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    QGuiApplication *m_app;
};

} // namespace


MpvEngine::MpvEngine(QStringList extraOptions, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this))
{
    d->extraOptions = std::move(extraOptions);
}

MpvEngine::~MpvEngine()
{
    if (d->openLoop)
        d->openLoop->quit();
    if (d->view)
        d->view->detach();
    if (d->mpv) {
        mpv_set_wakeup_callback(d->mpv, nullptr, nullptr);
        mpv_terminate_destroy(d->mpv);
    }
}

bool MpvEngine::start()
{
    if (d->started)
        return true;
    if (d->startFailed)
        return false;
    d->mpv = MpvOptions::create(d->extraOptions);
    if (!d->mpv) {
        d->startFailed = true;
        return false;
    }
    mpv_request_log_messages(d->mpv, "error");
    mpv_set_wakeup_callback(d->mpv, [](void *p) { static_cast<Private *>(p)->wakeup(); }, d.get());
    d->started = true;
    return true;
}

MediaEngine::OpenResult MpvEngine::open(const QString &path)
{
    // Asked for from within an open's wait: one file at a time.
    if (d->opening) {
        qCWarning(lcMpv, "open of %s refused: another file is opening", qPrintable(path));
        return OpenResult::Failed;
    }
    if (!start())
        return OpenResult::Failed;
    close();
    // Only plain files: a folder or a device would be read as a list of other things.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return OpenResult::Failed;

    d->drain();
    d->setString("pause", "yes");
    d->setString("vid", "auto");
    d->setString("end", "none");
    d->setString("hr-seek-demuxer-offset", "0");
    d->running = false;
    d->beyondStop = false;
    d->lastSeek = -1;
    d->startedEntry = d->loadedEntry = d->endedEntry = -1;
    d->endError = 0;
    const QByteArray file = info.absoluteFilePath().toLocal8Bit();
    if (!d->command({"loadfile", file.constData(), "replace"}))
        return OpenResult::Failed;

    // libmpv reads the file on threads of its own while this one goes on handling events,
    // until the wakeup callback's drain sees the load settled. Clicks and keys wait.
    const QPointer<MpvEngine> alive(this);
    d->opening = true;
    d->openCancelled = false;
    {
        const BusyCursor busy;
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        timeout.start(OpenTimeoutMs);
        d->openLoop = &loop;
        d->drain();
        if (!d->openSettled())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!alive)
            return OpenResult::Failed; // destroyed from within the loop: nothing left to touch
        d->openLoop = nullptr;
    }
    d->opening = false;
    if (d->openCancelled || !d->loadReady()) {
        if (!d->openCancelled && !d->loadEnded())
            qCWarning(lcMpv, "%s did not start within %d s", file.constData(), OpenTimeoutMs / 1000);
        d->command({"stop"});
        return OpenResult::Failed;
    }
    d->entryId = d->startedEntry;
    d->open = true;
    d->readTracks();
    if (!d->hasVideo)
        d->setString("vid", "no");
    double dur = 0;
    mpv_get_property(d->mpv, "duration", MPV_FORMAT_DOUBLE, &dur);
    d->durationSec = std::isfinite(dur) && dur > 0 ? dur : 0;
    d->stopAtEnd = true;
    d->stopUnitsSet = 0;

    char *format = mpv_get_property_string(d->mpv, "file-format");
    const QByteArray fileFormat = format ? QByteArray(format) : QByteArray();
    mpv_free(format);
    d->seekOffset = fileFormat.startsWith("mpeg") ? Private::MpegSeekOffset : 0.0;
    d->setString("hr-seek-demuxer-offset", Private::number(d->seekOffset));
    return d->hasVideo ? OpenResult::Ok : OpenResult::VideoNotRendered;
}

void MpvEngine::close()
{
    // From within an open's wait: the open stops its load and fails.
    if (d->opening) {
        d->openCancelled = true;
        if (d->openLoop)
            d->openLoop->quit();
        return;
    }
    if (!d->open)
        return;
    d->open = false;
    d->running = false;
    d->hasVideo = false;
    d->size = {};
    d->fps = 0;
    d->durationSec = 0;
    d->setString("pause", "yes");
    d->command({"stop"});
}

bool MpvEngine::isOpen() const
{
    return d->open;
}

QSize MpvEngine::videoSize() const
{
    return d->open ? d->size : QSize();
}

double MpvEngine::frameDuration() const
{
    return d->open && d->fps > 0 ? 1.0 / d->fps : 0.0;
}

bool MpvEngine::frameFormat() const
{
    return d->frameFormat();
}

double MpvEngine::duration() const
{
    return d->open ? d->durationSec : 0.0;
}

qint64 MpvEngine::durationUnits() const
{
    return d->open ? d->durationUnits() : 0;
}

double MpvEngine::position() const
{
    if (!d->open)
        return 0;
    // In frames, a position is its frame's nominal time, whatever the stream's offset.
    if (d->frameFormat())
        return d->toSeconds(positionUnits());
    const double t = d->timePos();
    return d->atStop(t) ? stopPosition() : t;
}

qint64 MpvEngine::positionUnits() const
{
    if (!d->open)
        return 0;
    const double t = d->timePos();
    return d->atStop(t) ? d->stopUnits() : d->toUnits(t);
}

void MpvEngine::seek(double seconds)
{
    if (!d->open)
        return;
    if (d->frameFormat()) {
        seekUnits(d->frameAt(std::max(0.0, seconds)));
        return;
    }
    d->aimAt(d->toUnits(seconds));
    d->seekTo(seconds);
}

void MpvEngine::seekUnits(qint64 units)
{
    if (!d->open)
        return;
    d->aimAt(units);
    if (d->frameFormat())
        d->seekToFrame(units);
    else
        d->seekTo(d->toSeconds(units));
}

double MpvEngine::stopPosition() const
{
    if (!d->open)
        return 0;
    return d->stopAtEnd ? d->durationSec : d->toSeconds(d->stopUnitsSet);
}

qint64 MpvEngine::stopUnits() const
{
    return d->open ? d->stopUnits() : 0;
}

void MpvEngine::setStop(double seconds)
{
    if (!d->open)
        return;
    setStopUnits(d->frameFormat() ? d->frameAt(std::max(0.0, seconds)) : d->toUnits(seconds));
}

void MpvEngine::setStopUnits(qint64 units)
{
    if (!d->open)
        return;
    d->stopAtEnd = units >= d->durationUnits();
    d->stopUnitsSet = std::max<qint64>(0, units);
    d->applyStop();
    // A stop before the position ends play where it is.
    if (d->beyondStop) {
        d->beyondStop = false;
        if (d->running)
            d->setString("pause", "no");
    }
}

void MpvEngine::run()
{
    if (!d->open)
        return;
    d->running = true;
    if (!d->beyondStop)
        d->setString("pause", "no");
}

void MpvEngine::pause()
{
    if (!d->open)
        return;
    d->running = false;
    d->setString("pause", "yes");
}

void MpvEngine::stop()
{
    pause();
}

bool MpvEngine::setRate(double rate)
{
    if (!start())
        return false;
    return std::isfinite(rate) && mpv_set_property(d->mpv, "speed", MPV_FORMAT_DOUBLE, &rate) >= 0;
}

QWidget *MpvEngine::hostPicture(QWidget *owner)
{
    if (!d->open || !d->hasVideo || !owner || !d->mpv)
        return nullptr;
    if (!d->view) {
        d->view = new VideoView(
            d->mpv, [this](bool ready) { d->pictureContextChanged(ready); }, owner);
    } else if (d->view->parentWidget() != owner) {
        d->view->setParent(owner);
    }
    return d->view;
}

void MpvEngine::releasePicture()
{
    if (d->view)
        d->view->hide();
}

double MpvEngine::seekOffset() const
{
    return d->seekOffset;
}

double MpvEngine::playbackTime() const
{
    return d->open ? d->timePos() : 0.0;
}

double MpvEngine::appliedRate() const
{
    double rate = 0;
    if (d->mpv)
        mpv_get_property(d->mpv, "speed", MPV_FORMAT_DOUBLE, &rate);
    return rate;
}
