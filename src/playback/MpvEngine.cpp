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
    // Warnings too: a web server's answer (404) comes as one.
    mpv_request_log_messages(d->mpv, "warn");
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

    d->loadSubtitlesBeside = info.absoluteFilePath();
    return load(info.absoluteFilePath().toLocal8Bit(), false);
}

MediaEngine::OpenResult MpvEngine::openUrl(const QUrl &url)
{
    if (d->opening) {
        qCWarning(lcMpv, "open of %s refused: another file is opening", qPrintable(url.toDisplayString()));
        return OpenResult::Failed;
    }
    if (!start())
        return OpenResult::Failed;
    close();
    d->lastError.clear();
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        d->lastError = QStringLiteral("only http and https addresses can be opened");
        return OpenResult::Failed;
    }
    d->loadSubtitlesBeside.clear();
    return load(url.toEncoded(), true);
}

MediaEngine::OpenResult MpvEngine::load(const QByteArray &file, bool stream)
{
    d->drain();
    d->stopWatchingClock();
    d->setString("pause", "yes");
    d->setString("vid", "auto");
    d->setString("end", "none");
    d->setString("hr-seek-demuxer-offset", "0");
    d->running = false;
    d->beyondStop = false;
    d->lastSeek = -1;
    d->startedEntry = d->loadedEntry = d->endedEntry = -1;
    d->endError = 0;
    d->lastError.clear();
    d->lastLog.clear();
    d->stream = stream;
    // Each file starts with the engine's own choice of tracks, not the last file's.
    d->setString("aid", "auto");
    d->setString("sid", d->autoSubs ? "auto" : "no");
    d->setString("hwdec", d->hwdec ? "auto-copy-safe" : "no");
    // An address the user gave may name its parts (an HLS playlist its segments), but only on
    // the network; a local file never gets that.
    const QByteArray whitelist = "protocol_whitelist=[http,https,tls,tcp,crypto]";
    const QByteArray fileOptions = "access-references=yes,demuxer-lavf-o=%" + QByteArray::number(whitelist.size())
                                   + "%" + whitelist;
    const bool loading = stream ? d->command({"loadfile", file.constData(), "replace", fileOptions.constData()})
                                : d->command({"loadfile", file.constData(), "replace"});
    if (!loading)
        return OpenResult::Failed;
    // Choosing how the picture is drawn loads the OpenGL driver, over 100 ms with Mesa's CPU
    // renderer: done while libmpv opens the file on its own threads rather than after it.
    d->picturePath();

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
    // libmpv's log can trail the end of a failed load: its reason is taken too.
    if (!d->openCancelled && !d->loadReady())
        d->drain();
    d->opening = false;
    if (d->openCancelled || !d->loadReady()) {
        if (!d->openCancelled && !d->loadEnded())
            qCWarning(lcMpv, "%s did not start within %d s", file.constData(), OpenTimeoutMs / 1000);
        d->command({"stop"});
        d->noteFailure();
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
    // A stream that cannot be sought, or comes without a length, has no duration of its own:
    // libmpv reports what it holds so far, and play must not end there.
    int seekable = 0;
    int64_t size = 0;
    mpv_get_property(d->mpv, "seekable", MPV_FORMAT_FLAG, &seekable);
    const bool sized = mpv_get_property(d->mpv, "file-size", MPV_FORMAT_INT64, &size) >= 0 && size > 0;
    d->live = stream && (d->durationSec <= 0 || !seekable || !sized);
    if (d->live)
        d->durationSec = 0;
    d->stopAtEnd = true;
    d->stopUnitsSet = 0;
    if (d->autoSubs && !d->loadSubtitlesBeside.isEmpty())
        d->addSubtitlesBeside();

    char *format = mpv_get_property_string(d->mpv, "file-format");
    const QByteArray fileFormat = format ? QByteArray(format) : QByteArray();
    mpv_free(format);
    d->seekOffset = fileFormat.startsWith("mpeg") ? Private::MpegSeekOffset : 0.0;
    d->setString("hr-seek-demuxer-offset", Private::number(d->seekOffset));
    d->watchClock();
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
    d->stream = d->live = false;
    d->stopWatchingClock();
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
    d->watchClock();
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

void MpvEngine::setAutoSubtitles(bool on)
{
    d->autoSubs = on;
}

void MpvEngine::setHardwareDecoding(bool on)
{
    d->hwdec = on;
}

QList<MediaTrack> MpvEngine::tracks(TrackKind kind) const
{
    QList<MediaTrack> out;
    if (!d->open)
        return out;
    const QByteArray wanted = kind == TrackKind::Audio ? "audio" : "sub";
    mpv_node list;
    if (mpv_get_property(d->mpv, "track-list", MPV_FORMAT_NODE, &list) < 0)
        return out;
    if (list.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node &track = list.u.list->values[i];
            if (track.format != MPV_FORMAT_NODE_MAP)
                continue;
            MediaTrack t;
            QByteArray type;
            for (int k = 0; k < track.u.list->num; ++k) {
                const QByteArray key = track.u.list->keys[k];
                const mpv_node &v = track.u.list->values[k];
                if (key == "type" && v.format == MPV_FORMAT_STRING)
                    type = v.u.string;
                else if (key == "id" && v.format == MPV_FORMAT_INT64)
                    t.id = int(v.u.int64);
                else if (key == "lang" && v.format == MPV_FORMAT_STRING)
                    t.language = QString::fromUtf8(v.u.string);
                else if (key == "title" && v.format == MPV_FORMAT_STRING)
                    t.title = QString::fromUtf8(v.u.string);
                else if (key == "external" && v.format == MPV_FORMAT_FLAG)
                    t.external = v.u.flag;
                else if (key == "selected" && v.format == MPV_FORMAT_FLAG)
                    t.selected = v.u.flag;
            }
            if (type == wanted && t.id > 0)
                out.append(t);
        }
    }
    mpv_free_node_contents(&list);
    return out;
}

bool MpvEngine::selectTrack(TrackKind kind, int id)
{
    if (!d->open || (id <= 0 && kind == TrackKind::Audio))
        return false;
    const char *property = kind == TrackKind::Audio ? "aid" : "sid";
    const bool ok = d->setString(property, id > 0 ? QByteArray::number(id) : QByteArray("no"));
    // A still picture shows its new subtitle at once.
    if (ok && !d->running && kind == TrackKind::Subtitle)
        d->refreshPicture();
    return ok;
}

bool MpvEngine::addSubtitleFile(const QString &path)
{
    const QFileInfo info(path);
    if (!d->open || !info.isFile() || !info.isReadable())
        return false;
    const QByteArray file = info.absoluteFilePath().toLocal8Bit();
    if (!d->command({"sub-add", file.constData(), "select"}))
        return false;
    if (!d->running)
        d->refreshPicture();
    return true;
}

QImage MpvEngine::frameImage()
{
    if (!d->open || !d->hasVideo)
        return {};
    mpv_node result;
    const char *args[] = {"screenshot-raw", "subtitles", nullptr};
    if (mpv_command_ret(d->mpv, args, &result) < 0)
        return {};
    QImage image;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        int w = 0, h = 0;
        qint64 stride = 0;
        QByteArray format;
        const mpv_byte_array *data = nullptr;
        for (int k = 0; k < result.u.list->num; ++k) {
            const QByteArray key = result.u.list->keys[k];
            const mpv_node &v = result.u.list->values[k];
            if (key == "w" && v.format == MPV_FORMAT_INT64)
                w = int(v.u.int64);
            else if (key == "h" && v.format == MPV_FORMAT_INT64)
                h = int(v.u.int64);
            else if (key == "stride" && v.format == MPV_FORMAT_INT64)
                stride = v.u.int64;
            else if (key == "format" && v.format == MPV_FORMAT_STRING)
                format = v.u.string;
            else if (key == "data" && v.format == MPV_FORMAT_BYTE_ARRAY)
                data = v.u.ba;
        }
        // bgr0: blue, green, red and a padding byte, which is Qt's RGB32 on this byte order.
        if (format == "bgr0" && data && w > 0 && h > 0 && stride >= qint64(w) * 4
            && qint64(data->size) >= stride * h)
            image = QImage(static_cast<const uchar *>(data->data), w, h, qsizetype(stride), QImage::Format_RGB32)
                        .copy();
    }
    mpv_free_node_contents(&result);
    return image;
}

bool MpvEngine::busy() const
{
    return d->waiting > 0;
}

bool MpvEngine::isStream() const
{
    return d->open && d->stream;
}

QString MpvEngine::lastError() const
{
    return d->lastError;
}

QWidget *MpvEngine::hostPicture(QWidget *owner)
{
    if (!d->open || !d->hasVideo || !owner || !d->mpv)
        return nullptr;
    if (!d->view) {
        d->view = new VideoView(
            d->mpv, d->picturePath() == PicturePath::Kind::Software,
            [this](bool ready) { d->pictureContextChanged(ready); }, owner);
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
