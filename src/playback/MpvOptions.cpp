#include "MpvOptions.h"

#include <QLoggingCategory>

#include <mpv/client.h>

#include <clocale>

Q_LOGGING_CATEGORY(lcMpv, "kinetrope.mpv", QtWarningMsg)

namespace {

struct Option {
    const char *name;
    const char *value;
};

// No configuration, scripts, web fetchers, key bindings or on-screen controls, and nothing
// opened but the file itself: no side files, no files or playlists that a file names.
// No override can change these.
constexpr Option Trust[] = {
    {"config", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"osc", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"input-default-bindings", "no"},
    {"input-builtin-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"input-cursor", "no"},
    {"input-terminal", "no"},
    {"terminal", "no"},
    {"access-references", "no"},
    {"ordered-chapters", "no"},
    {"load-unsafe-playlists", "no"},
    {"autoload-files", "no"},
    {"sub-auto", "no"},
    {"audio-file-auto", "no"},
    {"cover-art-auto", "no"},
};

// The file stays open at its end, paused; the transport decides what happens there.
constexpr Option Defaults[] = {
    {"audio-display", "no"},
    {"sid", "no"},
    {"osd-level", "0"},
    {"osd-on-seek", "no"},
    {"idle", "yes"},
    {"keep-open", "yes"},
    {"keep-open-pause", "no"},
    {"pause", "yes"},
    {"hr-seek", "yes"},
    // A seek is done when its frame is decoded; drawing it must not hold libmpv.
    {"video-latency-hacks", "yes"},
    {"video-timing-offset", "0"},
    {"audio-fallback-to-null", "yes"},
    {"hwdec", "no"},
    {"gpu-hwdec-interop", "no"},
    // Until a picture widget can take frames, video is decoded without being shown.
    {"vo", "null"},
};

bool set(mpv_handle *mpv, const char *name, const char *value)
{
    if (mpv_set_option_string(mpv, name, value) >= 0)
        return true;
    qCWarning(lcMpv, "libmpv refused %s=%s", name, value);
    return false;
}

bool apply(mpv_handle *mpv, const QStringList &overrides)
{
    for (const Option &o : Defaults) {
        if (!set(mpv, o.name, o.value))
            return false;
    }
    for (const QString &opt : overrides) {
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        const QByteArray name = opt.left(eq).toUtf8();
        const QByteArray value = eq < 0 ? QByteArray("yes") : opt.mid(eq + 1).toUtf8();
        for (const Option &o : Trust) {
            if (name == o.name) {
                qCWarning(lcMpv, "%s is not for overriding", o.name);
                return false;
            }
        }
        if (!set(mpv, name.constData(), value.constData()))
            return false;
    }
    // Last, so that nothing before can have loosened them.
    for (const Option &o : Trust) {
        if (!set(mpv, o.name, o.value))
            return false;
    }
    return true;
}

} // namespace

mpv_handle *MpvOptions::create(const QStringList &overrides)
{
    // libmpv parses numbers in the C locale only, and will not start in another.
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *mpv = mpv_create();
    if (!mpv)
        return nullptr;
    if (!apply(mpv, overrides) || mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return nullptr;
    }
    return mpv;
}
