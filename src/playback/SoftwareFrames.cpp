#include "SoftwareFrames.h"

#include "VideoView.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <cstdlib>

namespace {
// libmpv converts a line at a time in SIMD steps: lines and their start on 64 bytes.
QImage alignedImage(const QSize &size)
{
    const qsizetype stride = (qsizetype(size.width()) * 4 + 63) / 64 * 64;
    void *bits = std::aligned_alloc(64, size_t(stride) * size_t(size.height()));
    if (!bits)
        return {};
    return QImage(static_cast<uchar *>(bits), size.width(), size.height(), stride, QImage::Format_RGB32,
                  [](void *p) { std::free(p); }, bits);
}
} // namespace

SoftwareFrames::SoftwareFrames(VideoView *view) : m_view(view)
{
    m_thread.setObjectName(QStringLiteral("kt-picture"));
    moveToThread(&m_thread);
    m_thread.start();
}

SoftwareFrames::~SoftwareFrames()
{
    release();
    m_thread.quit();
    m_thread.wait();
}

mpv_render_context *SoftwareFrames::create(mpv_handle *mpv)
{
    mpv_render_context *created = nullptr;
    onThread([&] {
        int advanced = 0;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW)},
                                     {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&m_ctx, mpv, params) < 0) {
            m_ctx = nullptr;
            return;
        }
        mpv_render_context_set_update_callback(m_ctx, &SoftwareFrames::updateCallback, this);
        created = m_ctx;
    });
    return created;
}

void SoftwareFrames::release()
{
    onThread([this] {
        if (!m_ctx)
            return;
        mpv_render_context_set_update_callback(m_ctx, nullptr, nullptr);
        mpv_render_context_free(m_ctx);
        m_ctx = nullptr;
    });
}

void SoftwareFrames::setTarget(QSize size, qreal dpr)
{
    {
        std::lock_guard g(m_lock);
        m_size = size;
        m_dpr = dpr;
    }
    QMetaObject::invokeMethod(this, [this] { render(false); }, Qt::QueuedConnection);
}

void SoftwareFrames::updateCallback(void *self)
{
    auto *f = static_cast<SoftwareFrames *>(self);
    if (!f->m_queued.exchange(true))
        QMetaObject::invokeMethod(f, [f] { f->update(); }, Qt::QueuedConnection);
}

void SoftwareFrames::onThread(const std::function<void()> &task)
{
    if (QThread::currentThread() == &m_thread)
        task();
    else
        QMetaObject::invokeMethod(this, task, Qt::BlockingQueuedConnection);
}

void SoftwareFrames::update()
{
    m_queued = false;
    if (!m_ctx || !(mpv_render_context_update(m_ctx) & MPV_RENDER_UPDATE_FRAME))
        return;
    mpv_render_frame_info info{};
    const bool fresh = mpv_render_context_get_info(m_ctx, {MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info}) >= 0
                       && (info.flags & MPV_RENDER_FRAME_INFO_PRESENT) && !(info.flags & MPV_RENDER_FRAME_INFO_REDRAW);
    if (!m_visible) {
        // Hidden: let libmpv move on without drawing, so playback does not wait for us.
        int skip = 1;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip}, {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(m_ctx, params);
        mpv_render_context_report_swap(m_ctx);
        return;
    }
    render(fresh);
}

QImage &SoftwareFrames::spareImage(QSize size, qreal dpr)
{
    for (QImage &image : m_images) {
        if (image.isDetached() && image.size() == size)
            return image;
    }
    // Replaced, never drawn into, while the view may still be painting it.
    QImage &image = m_images[m_images[0].isNull() || m_images[0].isDetached() ? 0 : 1];
    image = alignedImage(size);
    image.setDevicePixelRatio(dpr);
    return image;
}

void SoftwareFrames::render(bool fresh)
{
    if (!m_ctx || !m_visible)
        return;
    QSize size;
    qreal dpr;
    {
        std::lock_guard g(m_lock);
        size = m_size;
        dpr = m_dpr;
    }
    if (size.isEmpty())
        return;
    QImage &target = spareImage(size, dpr);
    if (target.isNull())
        return;
    int wh[2] = {size.width(), size.height()};
    size_t stride = size_t(target.bytesPerLine());
    // Blue, green, red and a spare byte: Qt's own 32-bit layout, put on the window as is.
    char format[] = "bgr0";
    int block = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, wh},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, target.bits()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_ctx, params);
    mpv_render_context_report_swap(m_ctx);
    QMetaObject::invokeMethod(
        m_view, [view = m_view, image = target, fresh] { view->takeImage(image, fresh); }, Qt::QueuedConnection);
}
