#pragma once
// The libmpv session behind MpvEngine: the open file's facts, libmpv's event bookkeeping, the
// waits, exact seeks and the picture hand-over. Included by MpvEngine.cpp only.

#include "MpvEngine.h"
#include "PicturePath.h"
#include "VideoView.h"

#include <QGuiApplication>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <mpv/client.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcMpv)


struct MpvEngine::Private {
    static constexpr double UnitsPerSecond = 1e7;
    static constexpr int SeekTimeoutMs = 5000;
    static constexpr int QuietWaitMs = 100;
    static constexpr int ClockWaitMs = 1000;
    // MPEG program streams seek by a timestamp search that lands up to a group of pictures
    // after the target; the exact seek then starts the demuxer this much earlier.
    static constexpr double MpegSeekOffset = 1.0;
    static constexpr double MaxSeekOffset = 8.0;

    static QByteArray number(double v) { return QByteArray::number(v, 'f', 6); }

    MpvEngine *q;
    QStringList extraOptions;
    mpv_handle *mpv = nullptr;
    bool started = false;
    bool startFailed = false;
    std::atomic<bool> wakeupQueued{false};

    // The open file.
    bool open = false;
    int64_t entryId = -1;
    bool hasVideo = false;
    QSize size;
    double fps = 0;
    double durationSec = 0;
    bool stopAtEnd = true;
    qint64 stopUnitsSet = 0;
    bool running = false;
    // A seek took the file past its stop position: it shows that place and plays no more.
    bool beyondStop = false;
    double lastSeek = -1;
    double seekOffset = 0;
    // Came over the network; live: without a duration (the stop is its end, wherever that is).
    bool stream = false;
    bool live = false;
    // The file whose same-named subtitle files load with it; empty for an address.
    QString loadSubtitlesBeside;

    // How files open.
    bool autoSubs = true;
    bool hwdec = true;
    // The engine's words for what went wrong in the open under way.
    QString lastError;
    QString lastLog;

    // Event bookkeeping, filled as libmpv's events are taken.
    int64_t startedEntry = -1;
    int64_t loadedEntry = -1;
    int64_t endedEntry = -1;
    int endError = 0;
    quint64 restarts = 0;
    quint64 restartsAtLoad = 0;

    // An open under way: its nested event loop, and whether a close asked for meanwhile
    // ended it.
    bool opening = false;
    bool openCancelled = false;
    QEventLoop *openLoop = nullptr;
    // Inside a long wait that turns the event loop.
    int waiting = 0;
    QEventLoop *waitLoop = nullptr;
    const std::function<bool()> *waitDone = nullptr;

    // An exact seek under way: where it goes, and libmpv's answer to it. Until it lands, the
    // position is its target; asking libmpv would wait for the frames it decodes to get there.
    double seekingTo = -1;
    uint64_t seekRequest = 0;
    // Seek requests and clock watches take their ids from here (libmpv returns them on
    // events of different kinds).
    uint64_t lastId = 0;
    bool seekAnswered = false;
    bool seekRefused = false;
    quint64 restartsAtAnswer = 0;

    // The file's clock comes from libmpv's change notices: asking libmpv waits for its core,
    // and decoding a huge frame can hold that for most of a second, so the readouts and the
    // desktop's requests would wait with it. Each seek and each pause starts a new watch, so
    // no notice from before it is taken for the place after it; until the new watch's first
    // notice, libmpv is asked.
    uint64_t clockWatch = 0;
    bool clockTimeKnown = false;
    bool clockEofKnown = false;
    // The watch's first notices came, with a value or without one (nothing to tell).
    bool clockTimeHeard = false;
    bool clockEofHeard = false;
    double clockTime = 0;
    bool clockEof = false;

    void stopWatchingClock()
    {
        if (clockWatch && mpv)
            mpv_unobserve_property(mpv, clockWatch);
        clockWatch = 0;
        clockTimeKnown = clockEofKnown = clockTimeHeard = clockEofHeard = false;
    }
    void watchClock()
    {
        stopWatchingClock();
        if (!mpv)
            return;
        clockWatch = ++lastId;
        mpv_observe_property(mpv, clockWatch, "time-pos", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mpv, clockWatch, "eof-reached", MPV_FORMAT_FLAG);
    }
    void clockChanged(const mpv_event_property &p)
    {
        const std::string_view name(p.name);
        if (name == "time-pos") {
            clockTimeHeard = true;
            clockTimeKnown = p.format == MPV_FORMAT_DOUBLE && std::isfinite(*static_cast<double *>(p.data));
            if (clockTimeKnown)
                clockTime = *static_cast<double *>(p.data);
        } else if (name == "eof-reached") {
            clockEofHeard = true;
            clockEofKnown = p.format == MPV_FORMAT_FLAG;
            if (clockEofKnown)
                clockEof = *static_cast<int *>(p.data) != 0;
        }
    }

    QPointer<VideoView> view;
    // Decided once per engine: the machine's OpenGL renderer does not change under it.
    std::optional<PicturePath::Kind> picture;
    PicturePath::Kind picturePath()
    {
        if (!picture)
            picture = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? PicturePath::choose()
                                                                                  : PicturePath::Kind::Software;
        return *picture;
    }
    bool pictureReady = false;

    explicit Private(MpvEngine *owner) : q(owner) {}

    bool frameFormat() const { return open && hasVideo && fps > 0; }

    qint64 toUnits(double seconds) const
    {
        return frameFormat() ? qint64(std::llround(seconds * fps))
                             : qint64(std::llround(seconds * UnitsPerSecond));
    }
    double toSeconds(qint64 units) const
    {
        return frameFormat() ? double(units) / fps : double(units) / UnitsPerSecond;
    }
    // The frame shown at a time: frame n covers [n/fps, (n+1)/fps).
    qint64 frameAt(double seconds) const { return qint64(std::floor(seconds * fps + 1e-6)); }

    qint64 durationUnits() const { return toUnits(durationSec); }
    qint64 stopUnits() const
    {
        // A live stream ends where the engine runs out, not at a length.
        if (stopAtEnd && live)
            return atEnd() ? toUnits(timePos()) : std::numeric_limits<qint64>::max();
        return stopAtEnd ? durationUnits() : stopUnitsSet;
    }

    double timePos() const
    {
        double t = 0;
        if (seekingTo >= 0)
            return seekingTo;
        if (clockTimeKnown)
            t = clockTime;
        else if (mpv_get_property(mpv, "time-pos", MPV_FORMAT_DOUBLE, &t) < 0)
            return 0;
        t = std::max(0.0, t);
        // Sound lands on a sample boundary, and until it plays its time can read up to the
        // output's buffer early: a file put somewhere reads as that place until it moves on.
        if (lastSeek >= 0 && t > lastSeek - 0.25 && t < lastSeek + 0.002)
            return lastSeek;
        return t;
    }
    bool atEnd() const
    {
        if (seekingTo >= 0)
            return false;
        if (clockEofKnown)
            return clockEof;
        int eof = 0;
        mpv_get_property(mpv, "eof-reached", MPV_FORMAT_FLAG, &eof);
        return eof != 0;
    }
    // Play has reached the stop position (or the end of the file).
    bool atStop(double t) const { return !beyondStop && (atEnd() || toUnits(t) >= stopUnits()); }

    // Before a seek: past the stop position the file is shown without its stop and held.
    void aimAt(qint64 targetUnits)
    {
        const bool beyond = !stopAtEnd && targetUnits > stopUnitsSet;
        if (beyond == beyondStop)
            return;
        beyondStop = beyond;
        if (beyond) {
            setString("end", "none");
            if (running)
                setString("pause", "yes");
        } else {
            applyStop();
            if (running)
                setString("pause", "no");
        }
    }

    bool setString(const char *name, const QByteArray &value)
    {
        return mpv_set_property_string(mpv, name, value.constData()) >= 0;
    }
    bool command(std::initializer_list<const char *> args)
    {
        std::vector<const char *> argv(args);
        argv.push_back(nullptr);
        return mpv_command(mpv, argv.data()) >= 0;
    }

    void handle(const mpv_event *e)
    {
        switch (e->event_id) {
        case MPV_EVENT_START_FILE:
            startedEntry = static_cast<mpv_event_start_file *>(e->data)->playlist_entry_id;
            break;
        case MPV_EVENT_FILE_LOADED:
            loadedEntry = startedEntry;
            restartsAtLoad = restarts;
            break;
        case MPV_EVENT_END_FILE: {
            const auto *end = static_cast<mpv_event_end_file *>(e->data);
            endedEntry = end->playlist_entry_id;
            endError = end->reason == MPV_END_FILE_REASON_ERROR ? end->error : 0;
            if (endError)
                lastError = endReason();
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            ++restarts;
            break;
        case MPV_EVENT_COMMAND_REPLY:
            if (seekRequest && e->reply_userdata == seekRequest) {
                seekAnswered = true;
                seekRefused = e->error < 0;
                restartsAtAnswer = restarts;
            }
            break;
        case MPV_EVENT_PROPERTY_CHANGE:
            if (clockWatch && e->reply_userdata == clockWatch)
                clockChanged(*static_cast<const mpv_event_property *>(e->data));
            break;
        case MPV_EVENT_LOG_MESSAGE: {
            const auto *m = static_cast<mpv_event_log_message *>(e->data);
            qCInfo(lcMpv, "%s: %s", m->prefix, QByteArray(m->text).trimmed().constData());
            // The engine's own reason for a failure, as it said it last.
            if (opening && stream && m->log_level <= MPV_LOG_LEVEL_WARN) {
                const QString line = QString::fromUtf8(QByteArray(m->text).trimmed());
                if (!lastLog.contains(line) && lastLog.count(QLatin1Char('\n')) < 3)
                    lastLog += (lastLog.isEmpty() ? QString() : QStringLiteral("\n")) + line;
            }
            break;
        }
        default:
            break;
        }
    }

    void drain()
    {
        if (!mpv)
            return;
        for (;;) {
            mpv_event *e = mpv_wait_event(mpv, 0);
            if (e->event_id == MPV_EVENT_NONE)
                break;
            handle(e);
        }
        if (openLoop && openSettled())
            openLoop->quit();
        if (waitLoop && (*waitDone)())
            waitLoop->quit();
    }

    bool loadEnded() const { return startedEntry >= 0 && endedEntry == startedEntry; }
    // Playing starts (paused) once every chosen stream has its first data.
    bool loadReady() const
    {
        return startedEntry >= 0 && loadedEntry == startedEntry && restarts > restartsAtLoad && !loadEnded();
    }
    bool openSettled() const { return openCancelled || loadEnded() || loadReady(); }

    // Takes libmpv's events on this thread until done() holds or the time is up. A wait that
    // goes on longer than a seek normally takes turns the event loop, so the desktop's
    // requests are answered and the window paints; the window holds back its own (busy()).
    template <typename Pred>
    bool waitFor(Pred done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        drain();
        while (!done()) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                return false;
            if (clock.elapsed() >= QuietWaitMs)
                return waitInEventLoop(done, left);
            const qint64 slice = std::min<qint64>({left, 50, QuietWaitMs - clock.elapsed()});
            mpv_event *e = mpv_wait_event(mpv, double(std::max<qint64>(slice, 1)) / 1000.0);
            if (e->event_id != MPV_EVENT_NONE)
                handle(e);
            // libmpv may be waiting for its frame to be drawn before it goes on.
            if (view)
                view->renderPending();
        }
        return true;
    }

    bool waitInEventLoop(const std::function<bool()> &done, qint64 timeoutMs)
    {
        QEventLoop loop;
        QTimer poll;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            drain();
            if (view)
                view->renderPending();
            if (clock.elapsed() >= timeoutMs)
                loop.quit();
        });
        poll.start(50);
        // drain() ends the loop as soon as the events it takes settle the wait.
        QEventLoop *outerLoop = waitLoop;
        const std::function<bool()> *outerDone = waitDone;
        waitLoop = &loop;
        waitDone = &done;
        ++waiting;
        if (!done())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        --waiting;
        waitLoop = outerLoop;
        waitDone = outerDone;
        return done();
    }

    void wakeup()
    {
        // Any libmpv thread: take the events on ours, once per burst.
        if (!wakeupQueued.exchange(true)) {
            QMetaObject::invokeMethod(
                q, [this] {
                    wakeupQueued = false;
                    drain();
                },
                Qt::QueuedConnection);
        }
    }

    // One exact seek; waits until its frame is decoded.
    void seekTo(double seconds)
    {
        seconds = std::clamp(seconds, 0.0, std::max(0.0, durationSec));
        // A stream read straight through cannot go anywhere.
        int seekable = 1;
        if (stream && mpv_get_property(mpv, "seekable", MPV_FORMAT_FLAG, &seekable) >= 0 && !seekable)
            return;
        lastSeek = frameFormat() ? -1 : seconds;
        drain();
        const QByteArray target = number(seconds);
        stopWatchingClock();
        // Sent without waiting for libmpv's core, which may be busy with a large frame: the
        // answer and the landing come as events, and the window answers meanwhile.
        const char *argv[] = {"seek", target.constData(), "absolute+exact", nullptr};
        const uint64_t request = ++lastId;
        if (mpv_command_async(mpv, request, argv) < 0) {
            watchClock();
            return;
        }
        seekRequest = request;
        seekAnswered = seekRefused = false;
        seekingTo = seconds;
        // Landed: the first restart after libmpv took the seek. Refused (a stream that
        // cannot seek): nothing to wait for.
        if (!waitFor([&] { return (seekAnswered && (seekRefused || restarts > restartsAtAnswer)) || !open; },
                     SeekTimeoutMs))
            qCWarning(lcMpv, "seek to %s did not finish", target.constData());
        seekRequest = 0;
        if (open) {
            watchClock();
            // Where it landed, from the new watch: without waiting on libmpv's core.
            waitFor([&] { return (clockTimeHeard && clockEofHeard) || !open; }, ClockWaitMs);
        }
        seekingTo = -1;
    }

    // Seeks to a frame; a seek that lands late gets a larger demuxer offset and again.
    void seekToFrame(qint64 frame)
    {
        frame = std::max<qint64>(0, frame);
        // Half a frame early, so a frame whose time is a little off still counts.
        seekTo((double(frame) - 0.5) / fps);
        // The position moves on, and a stream's first frame need not be at 0: landing is
        // judged on a still picture of a file only.
        if (running || stream)
            return;
        while (seekOffset < MaxSeekOffset) {
            const double t = timePos();
            if (atEnd() || toUnits(t) <= frame)
                return;
            seekOffset = std::min(MaxSeekOffset, seekOffset + MpegSeekOffset);
            qCInfo(lcMpv, "seek landed at %.3f for frame %lld; demuxer offset now %.1f", t,
                   static_cast<long long>(frame), seekOffset);
            setString("hr-seek-demuxer-offset", number(seekOffset));
            seekTo((double(frame) - 0.5) / fps);
        }
    }

    // What the engine said last, with its error code's words.
    QString endReason() const
    {
        const QString code = QString::fromUtf8(mpv_error_string(endError));
        return lastLog.isEmpty() ? code : lastLog + QStringLiteral(" (") + code + QLatin1Char(')');
    }

    // A failed open: what the engine said, else what it was left at.
    void noteFailure()
    {
        // The log can trail the end of the load: its words are taken once they are there.
        if (endError && !lastLog.isEmpty())
            lastError = endReason();
        if (lastError.isEmpty() && !lastLog.isEmpty())
            lastError = lastLog;
        if (lastError.isEmpty() && !loadEnded())
            lastError = QStringLiteral("nothing arrived in time");
    }

    // Subtitle files with exactly the video's own name beside it; nothing else in the folder.
    void addSubtitlesBeside()
    {
        static const char *const Extensions[] = {"srt", "ass", "ssa", "vtt", "sub", "idx"};
        const QFileInfo video(loadSubtitlesBeside);
        const QString base = video.completeBaseName();
        const QFileInfoList siblings = video.dir().entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        bool first = true;
        for (const QFileInfo &f : siblings) {
            if (f.completeBaseName() != base)
                continue;
            const QString ext = f.suffix().toLower();
            const bool known = std::any_of(std::begin(Extensions), std::end(Extensions),
                                           [&](const char *e) { return ext == QLatin1String(e); });
            if (!known)
                continue;
            // A VobSub pair is read through its index.
            if (ext == QLatin1String("sub") && QFileInfo::exists(video.dir().filePath(base + QStringLiteral(".idx"))))
                continue;
            const QByteArray path = f.absoluteFilePath().toLocal8Bit();
            if (command({"sub-add", path.constData(), first ? "select" : "auto"}))
                first = false;
        }
    }

    void applyStop()
    {
        if (stopAtEnd) {
            setString("end", "none");
            return;
        }
        // Frames from the stop frame on are not shown.
        const double end = frameFormat() ? (double(stopUnitsSet) - 0.5) / fps : toSeconds(stopUnitsSet);
        setString("end", number(std::max(0.0, end)));
    }

    void readTracks()
    {
        hasVideo = false;
        size = {};
        fps = 0;
        mpv_node list;
        if (mpv_get_property(mpv, "track-list", MPV_FORMAT_NODE, &list) < 0)
            return;
        if (list.format == MPV_FORMAT_NODE_ARRAY) {
            for (int i = 0; i < list.u.list->num && !hasVideo; ++i) {
                const mpv_node &track = list.u.list->values[i];
                if (track.format != MPV_FORMAT_NODE_MAP)
                    continue;
                QByteArray type;
                bool albumArt = false, selected = false;
                int w = 0, h = 0;
                double rate = 0;
                for (int k = 0; k < track.u.list->num; ++k) {
                    const QByteArray key = track.u.list->keys[k];
                    const mpv_node &v = track.u.list->values[k];
                    if (key == "type" && v.format == MPV_FORMAT_STRING)
                        type = v.u.string;
                    else if (key == "albumart" && v.format == MPV_FORMAT_FLAG)
                        albumArt = v.u.flag;
                    else if (key == "selected" && v.format == MPV_FORMAT_FLAG)
                        selected = v.u.flag;
                    else if (key == "demux-w" && v.format == MPV_FORMAT_INT64)
                        w = int(v.u.int64);
                    else if (key == "demux-h" && v.format == MPV_FORMAT_INT64)
                        h = int(v.u.int64);
                    else if (key == "demux-fps" && v.format == MPV_FORMAT_DOUBLE)
                        rate = v.u.double_;
                }
                // A cover picture is no video; a track without a decoder is not selected.
                if (type == "video" && !albumArt && selected) {
                    hasVideo = true;
                    size = QSize(w, h);
                    fps = rate > 0 && std::isfinite(rate) ? rate : 0;
                }
            }
        }
        mpv_free_node_contents(&list);
    }

    void pictureContextChanged(bool ready)
    {
        pictureReady = ready;
        if (!mpv)
            return;
        // libmpv's video output is on our widget only while the widget can take frames.
        if (!ready) {
            setString("vo", "null");
            return;
        }
        // Not inside the widget's GL set-up: from the event loop.
        QMetaObject::invokeMethod(
            q, [this] {
                if (!pictureReady || !mpv)
                    return;
                setString("vo", "libmpv");
                // Video that plays on without an output stalls when one comes (libmpv's own
                // refresh seek can leave its reader idle) until it is put somewhere: a stream
                // at a key frame (the exact kind stalls too), a file where it is.
                if (open && (stream || running)) {
                    const QByteArray at = number(timePos());
                    command({"seek", at.constData(), stream ? "absolute+keyframes" : "absolute+exact"});
                }
                if (open && !running)
                    refreshPicture();
            },
            Qt::QueuedConnection);
    }

    // A new video output has no frame yet; show the one at the position.
    void refreshPicture()
    {
        if (!hasVideo)
            return;
        const qint64 units = toUnits(timePos());
        if (frameFormat() && !atEnd())
            seekToFrame(units);
        else
            seekTo(timePos());
    }
};
