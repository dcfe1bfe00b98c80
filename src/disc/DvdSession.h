#pragma once

// The DVD navigator's pipeline and the work done on GStreamer's threads and the thread pool;
// included by the navigator alone.
#include "disc/DvdNavigator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/missing-plugins.h>
#include <gst/video/navigation.h>
#include <gst/video/video.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <future>
#include <mutex>

namespace DvdPipeline {

inline constexpr int PollMs = 200;
inline constexpr int ReverseStepMs = 250;

inline bool startGStreamer()
{
    static const bool started = [] {
        GError *error = nullptr;
        const bool ok = gst_init_check(nullptr, nullptr, &error);
        if (error)
            g_error_free(error);
        return ok;
    }();
    return started;
}

inline bool haveElement(const char *name)
{
    GstElementFactory *f = gst_element_factory_find(name);
    if (!f)
        return false;
    gst_object_unref(f);
    return true;
}

// The navigator picks its picture decoder among these; without one it shows nothing and
// says nothing.
inline bool haveMpeg2Decoder()
{
    GList *decoders = gst_element_factory_list_get_elements(
        GST_ELEMENT_FACTORY_TYPE_DECODER | GST_ELEMENT_FACTORY_TYPE_MEDIA_VIDEO, GST_RANK_MARGINAL);
    GstCaps *mpeg2 = gst_caps_from_string("video/mpeg, mpegversion=(int)2, systemstream=(boolean)false");
    bool found = false;
    for (GList *l = decoders; l && !found; l = l->next)
        found = gst_element_factory_can_sink_any_caps(GST_ELEMENT_FACTORY(l->data), mpeg2);
    gst_caps_unref(mpeg2);
    gst_plugin_feature_list_free(decoders);
    return found;
}

enum Kind { Prerolled, Error, NoVideoDecoder };

} // namespace DvdPipeline

// Everything the streaming threads and the background tasks touch. The navigator lets go
// of it at once; the last task or callback to finish frees it.
struct DvdNavigator::Session : std::enable_shared_from_this<Session> {
    // Only the serial tasks use these.
    GstElement *pipeline = nullptr;
    GstElement *vsink = nullptr;
    GstElement *spu = nullptr;
    // The navigator's own formats are registered at run time, past the values the GstFormat
    // enumeration declares: C++ may not hold them in that type, so they are kept as numbers.
    int titleFormat = GST_FORMAT_UNDEFINED;
    int chapterFormat = GST_FORMAT_UNDEFINED;
    double reverseTarget = -1;
    std::atomic<bool> stepQueued{false};

    std::mutex lock; // guards what follows
    DvdNavigator *receiver = nullptr;
    QImage frame;
    quint64 frames = 0;
    double rate = 1.0;
    double frameTime = -1;
    double aspect = 4.0 / 3.0;
    std::atomic<bool> framePosted{false};

    // The serial queue: tasks run one at a time, in order, on the program's thread pool.
    std::mutex queueLock;
    std::deque<std::function<void()>> queue;
    bool draining = false;

    ~Session() { closePipeline(); }

    void post(std::function<void()> task)
    {
        {
            std::lock_guard g(queueLock);
            queue.push_back(std::move(task));
            if (draining)
                return;
            draining = true;
        }
        QThreadPool::globalInstance()->start([self = shared_from_this()] { self->drain(); });
    }

    void drain()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard g(queueLock);
                if (queue.empty()) {
                    draining = false;
                    return;
                }
                task = std::move(queue.front());
                queue.pop_front();
            }
            task();
        }
    }

    // Runs f on the navigator's thread, unless the navigator has let go by then.
    void deliver(std::function<void(DvdNavigator &)> f)
    {
        std::lock_guard g(lock);
        if (!receiver)
            return;
        DvdNavigator *nav = receiver;
        QMetaObject::invokeMethod(
            nav, [nav, f = std::move(f)] { f(*nav); }, Qt::QueuedConnection);
    }

    void notify(int kind, const QString &text = {})
    {
        deliver([kind, text](DvdNavigator &nav) { nav.handleMessage(kind, text); });
    }

    void detach()
    {
        std::lock_guard g(lock);
        receiver = nullptr;
    }

    // --- on the serial queue ---

    bool open(const QString &device)
    {
        GstElement *dvd = gst_element_factory_make("rsndvdbin", "dvd");
        spu = gst_element_factory_make("dvdspu", "spu");
        GstElement *convert = gst_element_factory_make("videoconvert", nullptr);
        vsink = gst_element_factory_make("appsink", "picture");
        if (!dvd || !spu || !convert || !vsink) {
            for (GstElement *e : {dvd, spu, convert, vsink}) {
                if (e)
                    gst_object_unref(e);
            }
            notify(DvdPipeline::Error, QStringLiteral("DVD software not installed properly."));
            return false;
        }
        pipeline = gst_pipeline_new("kinetrope-dvd");
        g_object_set(dvd, "device", QFile::encodeName(device).constData(), nullptr);
        // Four bytes a pixel in the order a 32-bit QImage keeps them.
        GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING,
                                            G_BYTE_ORDER == G_LITTLE_ENDIAN ? "BGRx" : "xRGB", nullptr);
        g_object_set(vsink, "caps", caps, "sync", TRUE, "max-buffers", 2u, "drop", TRUE, nullptr);
        gst_caps_unref(caps);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_preroll = [](GstAppSink *sink, gpointer data) {
            if (GstSample *s = gst_app_sink_pull_preroll(sink))
                static_cast<Session *>(data)->takeFrame(s);
            return GST_FLOW_OK;
        };
        callbacks.new_sample = [](GstAppSink *sink, gpointer data) {
            if (GstSample *s = gst_app_sink_pull_sample(sink))
                static_cast<Session *>(data)->takeFrame(s);
            return GST_FLOW_OK;
        };
        // The pipeline is closed before the session goes: the raw pointer outlives every call.
        gst_app_sink_set_callbacks(GST_APP_SINK(vsink), &callbacks, this, nullptr);
        gst_bin_add_many(GST_BIN(pipeline), dvd, spu, convert, vsink, nullptr);
        gst_element_link_many(spu, convert, vsink, nullptr);
        g_signal_connect(dvd, "pad-added", G_CALLBACK(+[](GstElement *, GstPad *pad, gpointer data) {
                             static_cast<Session *>(data)->padAdded(pad);
                         }),
                         this);
        GstBus *bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(
            bus, [](GstBus *, GstMessage *m, gpointer data) {
                static_cast<Session *>(data)->onMessage(m);
                return GST_BUS_DROP;
            },
            this, nullptr);
        gst_object_unref(bus);
        // Asked beside the disc's start, on a thread of its own: its connection attempt
        // would otherwise hold back the first picture.
        soundServer = std::async(std::launch::async, &Session::probeSoundServer).share();
        gst_element_set_state(pipeline, GST_STATE_PAUSED);
        // Asked while the disc starts: the answer is only needed when there is none.
        if (!DvdPipeline::haveMpeg2Decoder()) {
            notify(DvdPipeline::NoVideoDecoder);
            return false;
        }
        return true;
    }

    void closePipeline()
    {
        if (!pipeline)
            return;
        gst_element_set_state(pipeline, GST_STATE_NULL);
        GstBus *bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline);
        pipeline = vsink = spu = nullptr;
    }

    std::shared_future<bool> soundServer;

    static bool probeSoundServer()
    {
        GstElement *sink = gst_element_factory_make("pulsesink", nullptr);
        if (!sink)
            return false;
        const bool ok = gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
        gst_element_set_state(sink, GST_STATE_NULL);
        gst_object_unref(sink);
        return ok;
    }

    // On a streaming thread.
    void padAdded(GstPad *pad)
    {
        const gchar *name = GST_PAD_NAME(pad);
        GstElement *queue = gst_element_factory_make("queue", nullptr);
        gst_bin_add(GST_BIN(pipeline), queue);
        if (!g_strcmp0(name, "video") || !g_strcmp0(name, "subpicture")) {
            gst_element_link_pads(queue, "src", spu, name);
        } else {
            GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
            GstElement *resample = gst_element_factory_make("audioresample", nullptr);
            const bool server = soundServer.valid() ? soundServer.get() : probeSoundServer();
            GstElement *sink = server ? gst_element_factory_make("pulsesink", nullptr) : nullptr;
            if (!sink) {
                // No server: the sound is thrown away at its pace, so the picture keeps time.
                sink = gst_element_factory_make("fakesink", nullptr);
                g_object_set(sink, "sync", TRUE, nullptr);
            }
            gst_bin_add_many(GST_BIN(pipeline), convert, resample, sink, nullptr);
            gst_element_link_many(queue, convert, resample, sink, nullptr);
            for (GstElement *e : {sink, resample, convert})
                gst_element_sync_state_with_parent(e);
        }
        gst_element_sync_state_with_parent(queue);
        GstPad *sinkPad = gst_element_get_static_pad(queue, "sink");
        gst_pad_link(pad, sinkPad);
        gst_object_unref(sinkPad);
    }

    // On a streaming thread.
    void takeFrame(GstSample *sample)
    {
        GstVideoInfo info;
        GstCaps *caps = gst_sample_get_caps(sample);
        auto *mapped = new GstVideoFrame;
        if (!caps || !gst_video_info_from_caps(&info, caps)
            || !gst_video_frame_map(mapped, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
            delete mapped;
            gst_sample_unref(sample);
            return;
        }
        // The image shares the decoded buffer, which goes back when the last copy does.
        struct Hold {
            GstVideoFrame *frame;
            GstSample *sample;
        };
        auto *hold = new Hold{mapped, sample};
        QImage image(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(mapped, 0)), info.width, info.height,
                     GST_VIDEO_FRAME_PLANE_STRIDE(mapped, 0), QImage::Format_RGB32,
                     [](void *p) {
                         auto *h = static_cast<Hold *>(p);
                         gst_video_frame_unmap(h->frame);
                         delete h->frame;
                         gst_sample_unref(h->sample);
                         delete h;
                     },
                     hold);
        const GstSegment *segment = gst_sample_get_segment(sample);
        {
            std::lock_guard g(lock);
            frame = image;
            ++frames;
            if (segment) {
                rate = segment->rate;
                const guint64 t = gst_segment_to_stream_time(segment, GST_FORMAT_TIME,
                                                             GST_BUFFER_PTS(gst_sample_get_buffer(sample)));
                frameTime = GST_CLOCK_TIME_IS_VALID(t) ? double(t) / GST_SECOND : -1;
            }
            if (info.height > 0 && info.par_d > 0)
                aspect = double(info.width) * info.par_n / (double(info.height) * info.par_d);
        }
        if (!framePosted.exchange(true)) {
            deliver([self = shared_from_this()](DvdNavigator &nav) {
                self->framePosted = false;
                Q_EMIT nav.frameReady();
            });
        }
    }

    // On whichever thread posted it; never waits.
    void onMessage(GstMessage *m)
    {
        switch (GST_MESSAGE_TYPE(m)) {
        case GST_MESSAGE_ERROR: {
            GError *error = nullptr;
            gchar *debug = nullptr;
            gst_message_parse_error(m, &error, &debug);
            const QString text = QString::fromUtf8(error ? error->message : "Failure");
            if (error)
                g_error_free(error);
            g_free(debug);
            notify(DvdPipeline::Error, text);
            break;
        }
        case GST_MESSAGE_ELEMENT:
            if (gst_is_missing_plugin_message(m)) {
                // Without a picture decoder the disc posts this and nothing else; a missing
                // sound decoder only leaves it silent.
                const GstStructure *s = gst_message_get_structure(m);
                GstCaps *caps = nullptr;
                if (!g_strcmp0(gst_structure_get_string(s, "type"), "decoder")
                    && gst_structure_get(s, "detail", GST_TYPE_CAPS, &caps, nullptr) && caps) {
                    const GstStructure *c = gst_caps_get_structure(caps, 0);
                    if (c && g_str_has_prefix(gst_structure_get_name(c), "video/"))
                        notify(DvdPipeline::NoVideoDecoder);
                    gst_caps_unref(caps);
                }
            }
            break;
        case GST_MESSAGE_ASYNC_DONE:
            if (GST_MESSAGE_SRC(m) == GST_OBJECT(pipeline))
                notify(DvdPipeline::Prerolled);
            break;
        default: break;
        }
    }

    gint64 query(int format) const
    {
        gint64 value = -1;
        if (!pipeline || format == GST_FORMAT_UNDEFINED
            || !gst_element_query_position(pipeline, static_cast<GstFormat>(format), &value))
            return -1;
        return value;
    }

    void poll()
    {
        // The navigator's own formats exist once its source has been made, in the first start.
        if (titleFormat == GST_FORMAT_UNDEFINED) {
            titleFormat = gst_format_get_by_nick("title");
            chapterFormat = gst_format_get_by_nick("chapter");
        }
        const int title = int(query(titleFormat));
        const int chapter = int(query(chapterFormat));
        const gint64 time = query(GST_FORMAT_TIME);
        deliver([title, chapter, time](DvdNavigator &nav) {
            // A query fails while a seek flushes: the place is still the last one known.
            const double seconds = time < 0 ? nav.m_position : double(time) / GST_SECOND;
            const int knownTitle = title < 0 ? nav.m_title : title;
            const int knownChapter = chapter < 0 ? nav.m_chapter : chapter;
            const bool moved = knownTitle != nav.m_title || knownChapter != nav.m_chapter || seconds != nav.m_position;
            nav.m_title = knownTitle;
            nav.m_chapter = knownChapter;
            nav.m_position = seconds;
            if (moved)
                Q_EMIT nav.locationChanged();
        });
    }

    void setState(GstState state)
    {
        if (pipeline)
            gst_element_set_state(pipeline, state);
    }

    void seekRate(double rate)
    {
        const gint64 now = query(GST_FORMAT_TIME);
        gst_element_seek(pipeline, rate, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET,
                         now < 0 ? 0 : now, GST_SEEK_TYPE_NONE, -1);
    }

    void stepChapter(int delta)
    {
        if (chapterFormat == GST_FORMAT_UNDEFINED)
            return;
        const gint64 now = query(chapterFormat);
        if (now < 1)
            return;
        gst_element_seek_simple(pipeline, static_cast<GstFormat>(chapterFormat), GST_SEEK_FLAG_FLUSH, std::max<gint64>(1, now + delta));
        poll();
    }

    void stepBack(double rate)
    {
        stepQueued = false;
        if (reverseTarget < 0) {
            const gint64 now = query(GST_FORMAT_TIME);
            reverseTarget = now < 0 ? 0 : double(now) / GST_SECOND;
        }
        reverseTarget -= rate * DvdPipeline::ReverseStepMs / 1000.0;
        const auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT | GST_SEEK_FLAG_SNAP_BEFORE);
        if (reverseTarget <= 0) {
            reverseTarget = -1;
            gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_NONE, -1);
            deliver([](DvdNavigator &nav) {
                nav.stopReverse();
                Q_EMIT nav.reverseEnded();
            });
            return;
        }
        gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                         gint64(reverseTarget * GST_SECOND), GST_SEEK_TYPE_NONE, -1);
    }

    void navigate(GstEvent *event)
    {
        if (vsink)
            gst_element_send_event(vsink, event);
        else
            gst_event_unref(event);
    }
};
