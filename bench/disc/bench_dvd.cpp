// The DVD player against the bare navigator pipeline (rsndvdbin, dvdspu, videoconvert,
// appsink, no Qt), in the same run on the same authored disc: Browse OK to the first menu
// picture on screen, and a chapter seek to the first picture of the new chapter. Medians of
// several rounds, printed with their ratio ours / bare. Needs a display (xvfb-run is fine).
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/DvdNavigator.h"
#include "disc/DvdPicture.h"
#include "disc/DvdPlayerDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/navigation.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

constexpr int Rounds = 7;
constexpr double ChapterTwo = 3.9; // seconds into a title where its second chapter begins

// Waits on the navigator's own signal, not by polling, so the figure has no polling step in it.
bool waitFrame(DvdNavigator &nav, const std::function<bool()> &done)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    QObject::connect(&nav, &DvdNavigator::frameReady, &loop, [&] {
        if (done())
            loop.quit();
    }, Qt::QueuedConnection);
    loop.exec();
    return done();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The bare pipeline, as a program without a player around it would run it.
struct Bare {
    GstElement *pipe = nullptr, *spu = nullptr, *sink = nullptr;
    std::mutex m;
    std::condition_variable cv;
    int frames = 0;
    double lastTime = -1;

    static GstFlowReturn sample(GstAppSink *s, gpointer p)
    {
        auto *b = static_cast<Bare *>(p);
        GstSample *smp = gst_app_sink_pull_sample(s);
        const GstSegment *seg = gst_sample_get_segment(smp);
        const guint64 t = gst_segment_to_stream_time(seg, GST_FORMAT_TIME, GST_BUFFER_PTS(gst_sample_get_buffer(smp)));
        gst_sample_unref(smp);
        std::lock_guard g(b->m);
        ++b->frames;
        b->lastTime = GST_CLOCK_TIME_IS_VALID(t) ? double(t) / GST_SECOND : -1;
        b->cv.notify_all();
        return GST_FLOW_OK;
    }

    void start(const QString &device)
    {
        pipe = gst_pipeline_new(nullptr);
        GstElement *dvd = gst_element_factory_make("rsndvdbin", nullptr);
        g_object_set(dvd, "device", device.toLocal8Bit().constData(), nullptr);
        spu = gst_element_factory_make("dvdspu", nullptr);
        GstElement *conv = gst_element_factory_make("videoconvert", nullptr);
        sink = gst_element_factory_make("appsink", nullptr);
        GstCaps *caps = gst_caps_from_string("video/x-raw,format=BGRx");
        g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 2u, "drop", TRUE, nullptr);
        gst_caps_unref(caps);
        GstAppSinkCallbacks cb{};
        cb.new_sample = &Bare::sample;
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &cb, this, nullptr);
        gst_bin_add_many(GST_BIN(pipe), dvd, spu, conv, sink, nullptr);
        gst_element_link_many(spu, conv, sink, nullptr);
        g_signal_connect(dvd, "pad-added", G_CALLBACK(+[](GstElement *, GstPad *pad, gpointer p) {
                             auto *b = static_cast<Bare *>(p);
                             GstElement *q = gst_element_factory_make("queue", nullptr);
                             gst_bin_add(GST_BIN(b->pipe), q);
                             const gchar *name = GST_PAD_NAME(pad);
                             if (!g_strcmp0(name, "video") || !g_strcmp0(name, "subpicture")) {
                                 gst_element_link_pads(q, "src", b->spu, name);
                             } else {
                                 GstElement *f = gst_element_factory_make("fakesink", nullptr);
                                 g_object_set(f, "sync", TRUE, nullptr);
                                 gst_bin_add(GST_BIN(b->pipe), f);
                                 gst_element_link(q, f);
                                 gst_element_sync_state_with_parent(f);
                             }
                             gst_element_sync_state_with_parent(q);
                             GstPad *sp = gst_element_get_static_pad(q, "sink");
                             gst_pad_link(pad, sp);
                             gst_object_unref(sp);
                         }),
                         this);
        gst_element_set_state(pipe, GST_STATE_PLAYING);
    }

    bool waitFor(const std::function<bool()> &done)
    {
        std::unique_lock l(m);
        return cv.wait_for(l, std::chrono::seconds(20), done);
    }

    void stop()
    {
        gst_element_set_state(pipe, GST_STATE_NULL);
        gst_object_unref(pipe);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString volume = tmp.filePath(QStringLiteral("dvd"));
    if (QProcess::execute(QStringLiteral(KT_AUTHOR_DVD), {volume, QStringLiteral("8")}) != 0) {
        std::fprintf(stderr, "authoring the disc failed\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("KINETROPE_OPTICAL_ROOTS", QByteArray());
    const QString folder = volume + QStringLiteral("/VIDEO_TS");
    if (!DvdNavigator::softwareInstalled()) {
        std::fprintf(stderr, "GStreamer's DVD elements are missing\n");
        return 1;
    }
    SettingsStore store(QStringLiteral("bench-dvd"));
    ScriptedPrompt prompt;
    DvdToggles toggles;

    std::vector<double> oursOpen, oursSeek, bareOpen, bareSeek;
    for (int round = 0; round < Rounds; ++round) {
        {
            DvdPlayerDialog d(store, prompt, toggles);
            d.show();
            if (!QTest::qWaitForWindowExposed(&d))
                return 8;
            QTest::qWait(100);
            prompt.queueFiles({folder + QStringLiteral("/VIDEO_TS.IFO")});
            QElapsedTimer t;
            t.start();
            d.browse();
            // On screen: the picture holds a frame when it is painted next.
            if (!waitFrame(d.navigator(), [&] { return !d.picture()->frame().isNull(); }))
                return 2;
            QCoreApplication::processEvents();
            oursOpen.push_back(t.nsecsElapsed() / 1e6);
            if (!QTest::qWaitFor([&] { return d.navigator().ready() && d.navigator().title() == 0; }, 20000))
                return 9;
            QTest::qWait(300);
            d.navigator().mouseActivate({360, 230});
            if (!QTest::qWaitFor([&] { return d.navigator().title() == 1 && d.navigator().frameTime() >= 0.5; }, 20000))
                return 3;
            // Settled in the title as the bare pipeline is below, so both seek from the same state.
            QTest::qWait(100);
            t.restart();
            d.navigator().playNextChapter();
            if (!waitFrame(d.navigator(), [&] { return d.navigator().frameTime() >= ChapterTwo; }))
                return 4;
            QCoreApplication::processEvents();
            oursSeek.push_back(t.nsecsElapsed() / 1e6);
            d.navigator().release();
        }
        {
            Bare b;
            QElapsedTimer t;
            t.start();
            b.start(folder);
            if (!b.waitFor([&] { return b.frames > 0; }))
                return 5;
            bareOpen.push_back(t.nsecsElapsed() / 1e6);
            QTest::qWait(400);
            gst_element_send_event(b.sink, gst_navigation_event_new_mouse_button_press(1, 360, 230, GST_NAVIGATION_MODIFIER_NONE));
            gst_element_send_event(b.sink, gst_navigation_event_new_mouse_button_release(1, 360, 230, GST_NAVIGATION_MODIFIER_NONE));
            const GstFormat chapter = gst_format_get_by_nick("chapter");
            if (!b.waitFor([&] { return b.lastTime >= 0.5 && b.lastTime < ChapterTwo; }))
                return 6;
            QTest::qWait(100);
            t.restart();
            gint64 now = 1;
            gst_element_query_position(b.pipe, chapter, &now);
            gst_element_seek_simple(b.pipe, chapter, GST_SEEK_FLAG_FLUSH, now + 1);
            if (!b.waitFor([&] { return b.lastTime >= ChapterTwo; }))
                return 7;
            bareSeek.push_back(t.nsecsElapsed() / 1e6);
            b.stop();
        }
    }
    const double o1 = median(oursOpen), b1 = median(bareOpen), o2 = median(oursSeek), b2 = median(bareSeek);
    std::printf("DVD, medians of %d rounds (ours / bare pipeline):\n", Rounds);
    std::printf("  Browse OK to first menu picture: %7.1f ms / %7.1f ms  ratio %.2f\n", o1, b1, o1 / b1);
    std::printf("  chapter seek to its first picture: %7.1f ms / %7.1f ms  ratio %.2f\n", o2, b2, o2 / b2);
    std::printf("ROW|DVD Browse OK -> first menu picture|ms|%.1f|-|bare=%.1f/-|bare<=1.2\n", o1, b1);
    std::printf("ROW|DVD chapter seek -> first picture|ms|%.1f|-|bare=%.1f/-|bare<=1.2\n", o2, b2);
    return 0;
}
