#include "MediaPreview.h"

#include "playback/MpvOptions.h"
#include "playlist/PlayList.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include <mpv/client.h>

namespace {

constexpr int PictureWidth = 200;
constexpr int PictureHeight = 150;
constexpr int DelayMs = 200;

// The player's libmpv, made quiet and quick: one frame a tenth into the file, no sound.
// (The sound track stays selected, or a file of sound only would count as unplayable; an
// embedded cover picture shows as the file's picture.)
const QStringList PreviewOverrides = {
    QStringLiteral("ao=null"),
    QStringLiteral("start=10%"),
    QStringLiteral("hr-seek=no"),
    QStringLiteral("cache=no"),
    QStringLiteral("msg-level=all=no"),
    QStringLiteral("audio-display=embedded-first"),
};

} // namespace

MediaPreview::MediaPreview(QWidget *parent)
    : QWidget(parent), m_image(new QLabel(this)), m_text(new QLabel(this)), m_delay(new QTimer(this))
{
    setObjectName(QStringLiteral("mediaPreview"));
    m_image->setFixedSize(PictureWidth, PictureHeight);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setFrameShape(QFrame::StyledPanel);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 0, 0);
    layout->addWidget(m_image);
    layout->addWidget(m_text);
    layout->addStretch(1);
    m_delay->setSingleShot(true);
    connect(m_delay, &QTimer::timeout, this, &MediaPreview::load);
}

MediaPreview::~MediaPreview()
{
    if (m_mpv) {
        mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
        mpv_terminate_destroy(m_mpv);
    }
}

WidgetPrompt::PreviewFactory MediaPreview::factory()
{
    return [](QWidget *dialog) -> QWidget * {
        auto *pane = new MediaPreview(dialog);
        if (auto *fd = qobject_cast<QFileDialog *>(dialog))
            connect(fd, &QFileDialog::currentChanged, pane, &MediaPreview::showFile);
        return pane;
    };
}

QString MediaPreview::durationText(double seconds)
{
    const qint64 s = qint64(seconds + 0.5);
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString MediaPreview::durationText() const
{
    return m_text->text();
}

void MediaPreview::showFile(const QString &path)
{
    m_path = path;
    m_delay->start(DelayMs);
}

void MediaPreview::clear(const QString &text)
{
    m_picture = QImage();
    m_image->clear();
    m_text->setText(text);
}

void MediaPreview::finish()
{
    if (m_done)
        return;
    m_done = true;
    Q_EMIT ready();
}

bool MediaPreview::ensurePlayer()
{
    if (m_mpv)
        return true;
    if (m_playerFailed)
        return false;
    m_mpv = MpvOptions::create(PreviewOverrides);
    if (!m_mpv) {
        m_playerFailed = true;
        return false;
    }
    mpv_set_wakeup_callback(
        m_mpv,
        [](void *p) {
            // Any libmpv thread: the events are taken on ours.
            auto *self = static_cast<MediaPreview *>(p);
            if (!self->m_wakeupQueued.exchange(true))
                QMetaObject::invokeMethod(self, &MediaPreview::drain, Qt::QueuedConnection);
        },
        this);
    return true;
}

void MediaPreview::load()
{
    const QFileInfo info(m_path);
    m_done = true;
    m_current = false;
    m_entry = -1;
    if (m_path.isEmpty() || !info.isFile() || PlayList::isPlaylistPath(m_path)) {
        if (m_mpv) {
            const char *stop[] = {"stop", nullptr};
            mpv_command(m_mpv, stop);
        }
        clear(QString());
        return;
    }
    m_done = false;
    if (!ensurePlayer()) {
        clear(QStringLiteral("No preview"));
        finish();
        return;
    }
    clear(QStringLiteral("..."));
    const QByteArray file = info.absoluteFilePath().toUtf8();
    const char *cmd[] = {"loadfile", file.constData(), "replace", nullptr};
    mpv_node result{};
    if (mpv_command_ret(m_mpv, cmd, &result) < 0) {
        clear(QStringLiteral("Cannot preview this file"));
        finish();
        return;
    }
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i) {
            if (qstrcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                m_entry = result.u.list->values[i].u.int64;
        }
    }
    mpv_free_node_contents(&result);
}

void MediaPreview::takePicture()
{
    const char *cmd[] = {"screenshot-raw", "video", nullptr};
    mpv_node result{};
    if (mpv_command_ret(m_mpv, cmd, &result) < 0)
        return;
    qint64 w = 0, h = 0, stride = 0;
    QByteArray format;
    const mpv_byte_array *data = nullptr;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i) {
            const char *key = result.u.list->keys[i];
            const mpv_node &v = result.u.list->values[i];
            if (qstrcmp(key, "w") == 0 && v.format == MPV_FORMAT_INT64)
                w = v.u.int64;
            else if (qstrcmp(key, "h") == 0 && v.format == MPV_FORMAT_INT64)
                h = v.u.int64;
            else if (qstrcmp(key, "stride") == 0 && v.format == MPV_FORMAT_INT64)
                stride = v.u.int64;
            else if (qstrcmp(key, "format") == 0 && v.format == MPV_FORMAT_STRING)
                format = v.u.string;
            else if (qstrcmp(key, "data") == 0 && v.format == MPV_FORMAT_BYTE_ARRAY)
                data = v.u.ba;
        }
    }
    // "bgr0" is B, G, R, padding in memory: a 32-bit RGB pixel on this byte order.
    if (format == "bgr0" && data && w > 0 && h > 0 && stride >= w * 4 && qint64(data->size) >= stride * h) {
        m_picture = QImage(static_cast<const uchar *>(data->data), int(w), int(h), int(stride),
                           QImage::Format_RGB32)
                        .copy();
        m_image->setPixmap(QPixmap::fromImage(
            m_picture.scaled(m_image->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    mpv_free_node_contents(&result);
}

void MediaPreview::drain()
{
    m_wakeupQueued = false;
    while (m_mpv) {
        mpv_event *e = mpv_wait_event(m_mpv, 0);
        if (e->event_id == MPV_EVENT_NONE)
            break;
        switch (e->event_id) {
        case MPV_EVENT_START_FILE:
            m_current = m_entry >= 0
                && static_cast<mpv_event_start_file *>(e->data)->playlist_entry_id == m_entry;
            break;
        case MPV_EVENT_FILE_LOADED: {
            if (!m_current || m_done)
                break;
            double seconds = 0;
            if (mpv_get_property(m_mpv, "duration", MPV_FORMAT_DOUBLE, &seconds) >= 0 && seconds > 0)
                m_text->setText(QStringLiteral("Duration: ") + durationText(seconds));
            else
                m_text->setText(QStringLiteral("Duration: unknown"));
            char *vid = mpv_get_property_string(m_mpv, "vid");
            const bool video = vid && qstrcmp(vid, "no") != 0;
            mpv_free(vid);
            if (!video)
                finish(); // sound only: the duration is all there is
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            if (m_current && !m_done) {
                takePicture();
                finish();
            }
            break;
        case MPV_EVENT_END_FILE: {
            const auto *end = static_cast<mpv_event_end_file *>(e->data);
            if (end->playlist_entry_id != m_entry || m_done)
                break;
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                clear(QStringLiteral("Cannot preview this file"));
            finish();
            break;
        }
        default:
            break;
        }
    }
}
