// How fast the control window follows the sound server, and how little it writes to it,
// on a private PulseAudio server: the time from another client's volume set to the volume
// slider showing it (200 sets, medians) against that client's own subscription callback for
// the same change, as a ratio; then the server writes sent for 1,000 moves of the thumb in
// 2 s, with the change events the server posted for them.
// Run under a display: xvfb-run -a -s "-screen 0 1920x1080x24" bench_mixer
#include "PrivatePulse.h"
#include "TestEnv.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "mixer/MixerDevice.h"
#include "skin/SkinSlider.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Sets = 200;
constexpr int Moves = 1000;
constexpr int MovesMs = 2000;

// The other client: sets the sink's volume and notes when its own subscription tells of
// the change.
class SettingClient
{
public:
    bool start()
    {
        m_loop = pa_threaded_mainloop_new();
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "bench-setter");
        pa_context_set_state_callback(m_context, [](pa_context *, void *u) {
            pa_threaded_mainloop_signal(static_cast<SettingClient *>(u)->m_loop, 0);
        }, this);
        pa_threaded_mainloop_lock(m_loop);
        pa_threaded_mainloop_start(m_loop);
        pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        while (pa_context_get_state(m_context) != PA_CONTEXT_READY) {
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
                pa_threaded_mainloop_unlock(m_loop);
                return false;
            }
            pa_threaded_mainloop_wait(m_loop);
        }
        pa_context_set_subscribe_callback(m_context, [](pa_context *, pa_subscription_event_type_t t, uint32_t, void *u) {
            auto *self = static_cast<SettingClient *>(u);
            if ((t & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SINK
                && (t & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_CHANGE) {
                self->m_lastEvent = Clock::now().time_since_epoch().count();
                ++self->m_events;
            }
        }, this);
        pa_operation *o = pa_context_subscribe(m_context, PA_SUBSCRIPTION_MASK_SINK, [](pa_context *, int, void *u) {
            pa_threaded_mainloop_signal(static_cast<SettingClient *>(u)->m_loop, 0);
        }, this);
        while (pa_operation_get_state(o) == PA_OPERATION_RUNNING)
            pa_threaded_mainloop_wait(m_loop);
        pa_operation_unref(o);
        pa_threaded_mainloop_unlock(m_loop);
        return true;
    }
    ~SettingClient()
    {
        if (!m_loop)
            return;
        pa_threaded_mainloop_lock(m_loop);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }
    void set(pa_volume_t v)
    {
        pa_cvolume cv;
        pa_cvolume_set(&cv, 2, v);
        pa_threaded_mainloop_lock(m_loop);
        pa_operation *o = pa_context_set_sink_volume_by_name(m_context, "ci_sink", &cv, nullptr, nullptr);
        if (o)
            pa_operation_unref(o);
        pa_threaded_mainloop_unlock(m_loop);
    }
    Clock::time_point lastEvent() const { return Clock::time_point(Clock::duration(m_lastEvent.load())); }
    int events() const { return m_events; }

private:
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    std::atomic<Clock::rep> m_lastEvent{0};
    std::atomic<int> m_events{0};
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestEnv env;
    PrivatePulse pulse;
    if (!pulse.start(env.path("pulse"))) {
        std::fprintf(stderr, "pulseaudio did not start (Debian package pulseaudio)\n");
        return 1;
    }
    SettingsStore store(QStringLiteral("kinetrope"));
    store.write(Key::SplashDisable, 1);
    store.write(Key::AutoUpdateNotification, 0);
    ScriptedPrompt prompt;
    ProcessState process;
    ControlWindow window(store, prompt, process);
    window.show();
    QSlider *volume = window.controls().slider(SliderId::Volume);
    QSlider *balance = window.controls().slider(SliderId::Balance);
    SettingClient setter;
    if (!setter.start() || !waitFor([&] { return balance->isEnabled(); }, 5000)) {
        std::fprintf(stderr, "the window or the setting client found no server\n");
        return 1;
    }

    // 1. From another client's set to the slider showing it.
    std::vector<double> shown, told;
    Clock::time_point shownAt;
    QObject::connect(volume, &QSlider::valueChanged, [&] { shownAt = Clock::now(); });
    for (int i = 0; i < Sets; ++i) {
        const int v = 20000 + 100 * i;
        const int events = setter.events();
        const Clock::time_point start = Clock::now();
        setter.set(pa_volume_t(v));
        if (!waitFor([&] { return volume->value() == v && setter.events() > events; }, 2000)) {
            std::fprintf(stderr, "set %d of %d was not shown\n", i + 1, Sets);
            return 1;
        }
        shown.push_back(ms(shownAt - start));
        told.push_back(ms(setter.lastEvent() - start));
    }
    const double player = median(shown), reference = median(told);
    std::printf("volume set by another client -> shown, median of %d sets\n", Sets);
    std::printf("  the setting client's own subscription callback %8.3f ms\n", reference);
    std::printf("  the control window's volume slider             %8.3f ms  (%.2f x the callback)\n", player,
                player / reference);

    // 2. Thumb moves: one write in flight, the newest waiting.
    const quint64 sentBefore = window.mixerDevice().writesSent();
    const int eventsBefore = setter.events();
    int moved = 0;
    int last = 0;
    QTimer moves;
    moves.setTimerType(Qt::PreciseTimer);
    moves.setInterval(MovesMs / Moves);
    QObject::connect(&moves, &QTimer::timeout, [&] {
        if (moved == Moves) {
            moves.stop();
            volume->setSliderDown(false);
            return;
        }
        last = 10000 + 37 * (moved % 1000) + (moved % 2) * 5000;
        volume->setSliderPosition(last);
        ++moved;
    });
    QElapsedTimer dragTime;
    dragTime.start();
    volume->setSliderDown(true);
    moves.start();
    waitFor([&] { return !moves.isActive(); }, 10 * MovesMs);
    const qint64 dragMs = dragTime.elapsed();
    // The last move reaches the server once the write before it completes.
    const bool settled = waitFor([&] { return window.mixerDevice().writesSent() > sentBefore
                                              && PrivatePulse::volume() == QList<quint32>{quint32(last), quint32(last)}; },
                                 3000);
    waitFor([] { return false; }, 300);
    const quint64 sent = window.mixerDevice().writesSent() - sentBefore;
    std::printf("%d thumb moves in %lld ms\n", Moves, dragMs);
    std::printf("  server writes sent %llu (%.2f per move), change events the server posted %d\n",
                static_cast<unsigned long long>(sent), double(sent) / Moves, setter.events() - eventsBefore);
    std::printf("  the last position on the server: %s\n", settled ? "yes" : "NO");
    return settled ? 0 : 1;
}
