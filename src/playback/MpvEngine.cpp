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
    d->live = stream && d->durationSec <= 0;
    d->stopAtEnd = true;
    d->stopUnitsSet = 0;
    if (d->autoSubs && !d->loadSubtitlesBeside.isEmpty())
        d->addSubtitlesBeside();

    char *format = mpv_get_property_string(d->mpv, "file-format");
    const QByteArray fileFormat = format ? QByteArray(format) : QByteArray();
    mpv_free(format);
    d->seekOffset = fileFormat.startsWith("mpeg") ? Private::MpegSeekOffset : 0.0;
    d->setString("hr-seek-demuxer-offset", Private::number(d->seekOffset));
    return d->hasVideo ? OpenResult::Ok : OpenResult::VideoNotRendered;
}

