#include "PulseMixerDevice.h"

#include "MixerLog.h"

#include <QTimer>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Whatever the sink reports (a null sink says 65537, which leaves no units per step).
constexpr int VolumeSteps = 256;

struct SinkReport {
    uint32_t index = PA_INVALID_INDEX;
    QString name;
    QString description;
    pa_channel_map map{};
    pa_cvolume volume{};
    bool muted = false;
};

// The two channels of a plain stereo map, found by position: a map may list right first.
struct Sides {
    int left = -1;
    int right = -1;
    bool found() const { return left >= 0 && right >= 0; }
};

Sides stereoSides(const pa_channel_map &map)
{
    Sides s;
    if (map.channels != 2)
        return s;
    for (int i = 0; i < 2; ++i) {
        if (map.map[i] == PA_CHANNEL_POSITION_FRONT_LEFT)
            s.left = i;
        else if (map.map[i] == PA_CHANNEL_POSITION_FRONT_RIGHT)
            s.right = i;
    }
    return s;
}

bool twoSided(const pa_channel_map &map)
{
    return stereoSides(map).found() || pa_channel_map_can_balance(&map);
}

MixerLine lineOf(const SinkReport &r)
{
    MixerLine line;
    line.channels = twoSided(r.map) ? 2 : 1;
    line.minimum = PA_VOLUME_MUTED;
    line.maximum = PA_VOLUME_NORM;
    line.steps = VolumeSteps;
    line.name = r.description;
    line.shortName = r.name;
    return line;
}

// Left and right; on other maps the louder side keeps the level and libpulse's balance
// sets the other, which is the same (right - left) / max the faders use.
MixerValues valuesOf(const SinkReport &r)
{
    const Sides s = stereoSides(r.map);
    if (s.found())
        return {r.volume.values[s.left], r.volume.values[s.right]};
    const pa_volume_t level = pa_cvolume_max(&r.volume);
    if (!pa_channel_map_can_balance(&r.map))
        return {level};
    const double balance = pa_cvolume_get_balance(&r.volume, &r.map);
    const auto part = [level](double f) { return quint32(std::lround(double(level) * f)); };
    return {balance > 0 ? part(1 - balance) : level, balance < 0 ? part(1 + balance) : level};
}

pa_cvolume volumeFor(const SinkReport &r, const MixerValues &values)
{
    pa_cvolume v = r.volume;
    const auto clamp = [](quint32 x) { return pa_volume_t(std::min<quint32>(x, PA_VOLUME_MAX)); };
    const Sides s = stereoSides(r.map);
    if (s.found() && values.size() == 2) {
        v.values[s.left] = clamp(values[0]);
        v.values[s.right] = clamp(values[1]);
        return v;
    }
    const pa_volume_t level = clamp(*std::max_element(values.begin(), values.end()));
    // Scaling keeps the channels' ratio; from silence it starts them all equal.
    pa_cvolume_scale(&v, level);
    if (values.size() == 2 && level > PA_VOLUME_MUTED)
        pa_cvolume_set_balance(&v, &r.map, float((double(values[1]) - double(values[0])) / double(level)));
    return v;
}

void unref(pa_operation *o)
{
    if (o)
        pa_operation_unref(o);
}

} // namespace

struct PulseMixerDevice::Private {
    explicit Private(PulseMixerDevice *owner) : q(owner) {}

    PulseMixerDevice *q;
    pa_threaded_mainloop *loop = nullptr;
    QTimer reconnect;

    // Under the loop's lock. The owner's thread is the only one to change them.
    pa_context *context = nullptr;
    quint64 generation = 0; // the connection a callback belongs to
    // Under the loop's lock, loop thread only.
    uint32_t boundIndex = PA_INVALID_INDEX;

    // The owner's thread only.
    bool ready = false;
    std::optional<SinkReport> sink;

    void connectServer();
    void dropContext();

    // On the loop thread: queue to the owner's thread, for this connection only.
    template <typename F>
    void post(F f)
    {
        const quint64 g = generation;
        QMetaObject::invokeMethod(q, [this, g, f] {
            if (g == generation)
                f();
        }, Qt::QueuedConnection);
    }

    void readServer(pa_context *c) { unref(pa_context_get_server_info(c, serverRead, this)); }

    static void stateChanged(pa_context *c, void *u);
    static void serverRead(pa_context *c, const pa_server_info *info, void *u);
    static void sinkRead(pa_context *c, const pa_sink_info *info, int eol, void *u);
    static void eventArrived(pa_context *c, pa_subscription_event_type_t t, uint32_t index, void *u);
    static void volumeWritten(pa_context *c, int success, void *u);
    static void muteWritten(pa_context *c, int success, void *u);

    // Owner's thread.
    void becameReady();
    void failed();
    void reported(const SinkReport &r);
    void gone();
};

void PulseMixerDevice::Private::stateChanged(pa_context *c, void *u)
{
    auto *d = static_cast<Private *>(u);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        pa_context_set_subscribe_callback(c, eventArrived, d);
        unref(pa_context_subscribe(c, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
                                   nullptr, nullptr));
        d->readServer(c);
        d->post([d] { d->becameReady(); });
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        d->post([d] { d->failed(); });
        break;
    default:
        break;
    }
}

void PulseMixerDevice::Private::serverRead(pa_context *c, const pa_server_info *info, void *u)
{
    auto *d = static_cast<Private *>(u);
    if (!info || !info->default_sink_name || !*info->default_sink_name) {
        d->boundIndex = PA_INVALID_INDEX;
        d->post([d] { d->gone(); });
        return;
    }
    unref(pa_context_get_sink_info_by_name(c, info->default_sink_name, sinkRead, d));
}

void PulseMixerDevice::Private::sinkRead(pa_context *, const pa_sink_info *info, int eol, void *u)
{
    auto *d = static_cast<Private *>(u);
    if (eol < 0) {
        // Gone between the question and the answer; the server tells of its successor.
        d->boundIndex = PA_INVALID_INDEX;
        d->post([d] { d->gone(); });
        return;
    }
    if (eol > 0 || !info)
        return;
    d->boundIndex = info->index;
    SinkReport r;
    r.index = info->index;
    r.name = QString::fromUtf8(info->name);
    r.description = QString::fromUtf8(info->description);
    r.map = info->channel_map;
    r.volume = info->volume;
    r.muted = info->mute != 0;
    d->post([d, r] { d->reported(r); });
}

void PulseMixerDevice::Private::eventArrived(pa_context *c, pa_subscription_event_type_t t, uint32_t index, void *u)
{
    auto *d = static_cast<Private *>(u);
    const int facility = t & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const int type = t & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        d->readServer(c); // the default sink may be another one now
    } else if (facility == PA_SUBSCRIPTION_EVENT_SINK) {
        if (index == d->boundIndex && type == PA_SUBSCRIPTION_EVENT_REMOVE)
            d->readServer(c);
        else if (index == d->boundIndex)
            unref(pa_context_get_sink_info_by_index(c, index, sinkRead, d));
        else if (d->boundIndex == PA_INVALID_INDEX && type == PA_SUBSCRIPTION_EVENT_NEW)
            d->readServer(c);
    }
}

void PulseMixerDevice::Private::volumeWritten(pa_context *, int success, void *u)
{
    auto *d = static_cast<Private *>(u);
    d->post([d, success] { d->q->writeDone(Volume, success != 0); });
}

void PulseMixerDevice::Private::muteWritten(pa_context *, int success, void *u)
{
    auto *d = static_cast<Private *>(u);
    d->post([d, success] { d->q->writeDone(Mute, success != 0); });
}

void PulseMixerDevice::Private::dropContext()
{
    if (!context)
        return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_set_subscribe_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
}

void PulseMixerDevice::Private::connectServer()
{
    ready = false;
    pa_threaded_mainloop_lock(loop);
    dropContext();
    ++generation;
    boundIndex = PA_INVALID_INDEX;
    context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Kinetrope");
    bool started = false;
    if (context) {
        pa_context_set_state_callback(context, stateChanged, this);
        // Never start a server of our own; one that is not there is tried again later.
        started = pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }
    pa_threaded_mainloop_unlock(loop);
    if (!started)
        qCInfo(lcMixer, "no sound server to connect to");
    // A server that accepts and never answers keeps libpulse waiting for far longer.
    reconnect.start();
}

void PulseMixerDevice::Private::becameReady()
{
    ready = true;
    reconnect.stop();
    qCInfo(lcMixer, "connected to the sound server");
}

void PulseMixerDevice::Private::failed()
{
    if (ready)
        qCInfo(lcMixer, "the sound server went away");
    ready = false;
    gone();
    if (!reconnect.isActive())
        reconnect.start();
}

void PulseMixerDevice::Private::reported(const SinkReport &r)
{
    sink = r;
    q->report(lineOf(r), valuesOf(r), r.muted);
}

void PulseMixerDevice::Private::gone()
{
    sink.reset();
    q->lost();
}

PulseMixerDevice::PulseMixerDevice(QObject *parent) : MixerDevice(parent), d(std::make_unique<Private>(this))
{
    d->reconnect.setSingleShot(true);
    d->reconnect.setInterval(ReconnectMs);
    connect(&d->reconnect, &QTimer::timeout, this, [this] {
        if (!d->ready)
            d->connectServer();
    });
    d->loop = pa_threaded_mainloop_new();
    if (d->loop)
        pa_threaded_mainloop_set_name(d->loop, "kt-pulse");
    if (!d->loop || pa_threaded_mainloop_start(d->loop) < 0) {
        qCWarning(lcMixer, "libpulse could not start its thread");
        if (d->loop)
            pa_threaded_mainloop_free(d->loop);
        d->loop = nullptr;
        return;
    }
    d->connectServer();
}

PulseMixerDevice::~PulseMixerDevice()
{
    d->reconnect.stop();
    if (!d->loop)
        return;
    pa_threaded_mainloop_lock(d->loop);
    d->dropContext();
    pa_threaded_mainloop_unlock(d->loop);
    pa_threaded_mainloop_stop(d->loop);
    pa_threaded_mainloop_free(d->loop);
}

bool PulseMixerDevice::sendVolume(const MixerValues &values)
{
    if (!d->ready || !d->sink || values.isEmpty())
        return false;
    const pa_cvolume v = volumeFor(*d->sink, values);
    pa_threaded_mainloop_lock(d->loop);
    pa_operation *o = pa_context_set_sink_volume_by_index(d->context, d->sink->index, &v, Private::volumeWritten,
                                                          d.get());
    pa_threaded_mainloop_unlock(d->loop);
    const bool sent = o != nullptr;
    unref(o);
    return sent;
}

bool PulseMixerDevice::sendMute(bool muted)
{
    if (!d->ready || !d->sink)
        return false;
    pa_threaded_mainloop_lock(d->loop);
    pa_operation *o = pa_context_set_sink_mute_by_index(d->context, d->sink->index, muted, Private::muteWritten,
                                                        d.get());
    pa_threaded_mainloop_unlock(d->loop);
    const bool sent = o != nullptr;
    unref(o);
    return sent;
}

void PulseMixerDevice::reread()
{
    if (!d->ready)
        return;
    pa_threaded_mainloop_lock(d->loop);
    d->readServer(d->context);
    pa_threaded_mainloop_unlock(d->loop);
}
