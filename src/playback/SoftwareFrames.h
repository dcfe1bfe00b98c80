#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>

struct mpv_handle;
struct mpv_render_context;
class VideoView;

// libmpv's software renderer, on a thread of its own: scaling a frame costs in proportion
// to its size, and a huge or damaged picture on a loaded machine would otherwise hold the
// user-interface thread for seconds. Every call on the render context is made here; the
// view gets finished images.
class SoftwareFrames : public QObject
{
public:
    explicit SoftwareFrames(VideoView *view);
    ~SoftwareFrames() override;

    mpv_render_context *create(mpv_handle *mpv);
    void release();
    // From the view: the size to draw at, in device pixels; draws the frame shown again.
    void setTarget(QSize size, qreal dpr);
    void setVisible(bool visible) { m_visible = visible; }

private:
    static void updateCallback(void *self);
    void onThread(const std::function<void()> &task);
    void update();
    // The image the view is not holding, at the size asked for.
    QImage &spareImage(QSize size, qreal dpr);
    void render(bool fresh);

    VideoView *const m_view;
    QThread m_thread;
    mpv_render_context *m_ctx = nullptr;
    std::atomic<bool> m_queued{false};
    std::atomic<bool> m_visible{false};
    std::mutex m_lock; // guards the target size
    QSize m_size;
    qreal m_dpr = 1;
    QImage m_images[2];
};
