#include "VideoView.h"

#include "PicturePath.h"
#include "SoftwareFrames.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QWheelEvent>
#include <QWindow>

#include <mpv/client.h>
#include <mpv/render_gl.h>

namespace {
void *procAddress(void *, const char *name)
{
    QOpenGLContext *ctx = QOpenGLContext::currentContext();
    return ctx ? reinterpret_cast<void *>(ctx->getProcAddress(name)) : nullptr;
}
} // namespace

// The native window libmpv draws into. It takes no input: the window system passes clicks
// through to the hosting window, and whatever reaches it all the same is handed on.
class PictureSurface : public QWindow
{
public:
    explicit PictureSurface(VideoView *view) : m_view(view)
    {
        setObjectName(QStringLiteral("PictureSurface"));
        setSurfaceType(QSurface::OpenGLSurface);
        setFlag(Qt::WindowTransparentForInput);
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setAlphaBufferSize(0);
        format.setDepthBufferSize(0);
        format.setStencilBufferSize(0);
        // libmpv times the frames; waiting for the vertical blank keeps each one whole.
        format.setSwapInterval(1);
        setFormat(format);
    }
    void forget() { m_view = nullptr; }

protected:
    bool event(QEvent *e) override
    {
        if (!m_view)
            return QWindow::event(e);
        switch (e->type()) {
        case QEvent::Expose:
            if (isExposed())
                m_view->surfaceExposed();
            return true;
        case QEvent::Resize:
            // libmpv fits the picture to the new size; draw it once the size has settled.
            requestUpdate();
            break;
        case QEvent::UpdateRequest:
            m_view->draw();
            return true;
        case QEvent::PlatformSurface:
            if (static_cast<QPlatformSurfaceEvent *>(e)->surfaceEventType()
                == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
                m_view->surfaceGoing();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            m_view->forwardInput(e);
            return true;
        default:
            break;
        }
        return QWindow::event(e);
    }

private:
    VideoView *m_view;
};

VideoView::VideoView(mpv_handle *mpv, bool software, std::function<void(bool)> contextChanged, QWidget *parent)
    : QWidget(parent), m_software(software), m_mpv(mpv),
      m_contextChanged(std::move(contextChanged))
{
    setObjectName(QStringLiteral("VideoView"));
    // The hosting window owns every mouse and key action on the picture.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    if (m_software) {
        // Every pixel is the picture's or the black libmpv puts around it.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        m_frames = std::make_unique<SoftwareFrames>(this);
        return;
    }
    m_surface = new PictureSurface(this);
    m_container = QWidget::createWindowContainer(m_surface, this);
    m_container->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_container->setFocusPolicy(Qt::NoFocus);
    m_container->setGeometry(rect());
}

VideoView::~VideoView()
{
    if (m_render && makeCurrent()) {
        freeRenderContext();
        doneCurrent();
    }
    if (m_surface)
        m_surface->forget();
    delete m_container; // and the surface with it, while the context is still here
}

void VideoView::detach()
{
    m_contextChanged = nullptr;
    if (m_render && makeCurrent()) {
        freeRenderContext();
        doneCurrent();
    }
    m_mpv = nullptr;
}

void VideoView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_container)
        m_container->setGeometry(rect());
    else
        draw(); // libmpv fits the frame it shows to the new size
}

void VideoView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_software)
        return;
    m_frames->setVisible(true);
    if (!m_render && m_mpv)
        createRenderContext();
    draw();
}

void VideoView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_frames)
        m_frames->setVisible(false);
}

void VideoView::takeImage(const QImage &image, bool fresh)
{
    m_image = image;
    m_framePending = m_framePending || fresh;
    update(); // counted as drawn once painted
}

void VideoView::paintEvent(QPaintEvent *)
{
    if (!m_software)
        return;
    QPainter p(this);
    if (m_image.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, m_image);
    if (m_framePending) {
        m_framePending = false;
        ++m_framesDrawn;
        Q_EMIT frameDrawn();
    }
}

bool VideoView::makeCurrent()
{
    if (m_software)
        return true; // nothing to make current: libmpv draws into memory
    if (!m_gl)
        return false;
    if (m_surface->handle())
        return m_gl->makeCurrent(m_surface);
    // No window to draw in (going or gone): libmpv still needs the context to let go.
    if (!m_spare) {
        m_spare = std::make_unique<QOffscreenSurface>();
        m_spare->setFormat(m_gl->format());
        m_spare->create();
    }
    return m_gl->makeCurrent(m_spare.get());
}

void VideoView::doneCurrent()
{
    if (m_gl)
        m_gl->doneCurrent();
}

void VideoView::surfaceExposed()
{
    if (!m_gl) {
        auto gl = std::make_unique<QOpenGLContext>();
        gl->setFormat(m_surface->requestedFormat());
        if (!gl->create()) {
            qWarning("no OpenGL context for the picture");
            return;
        }
        m_gl = std::move(gl);
    }
    if (!m_render && m_mpv && makeCurrent())
        createRenderContext();
    draw();
}

void VideoView::surfaceGoing()
{
    // libmpv's objects stay with the context, but its target goes: it starts anew on the
    // next window.
    if (m_render && makeCurrent()) {
        freeRenderContext();
        doneCurrent();
    }
}

void VideoView::createRenderContext()
{
    if (m_render || !m_mpv)
        return;
    if (m_software) {
        m_render = m_frames->create(m_mpv);
        if (!m_render) {
            qWarning("libmpv cannot draw into memory");
            return;
        }
        m_framePending = false;
        if (m_contextChanged)
            m_contextChanged(true);
        return;
    }
    mpv_opengl_init_params gl{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param glParams[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&m_render, m_mpv, glParams) < 0) {
        qWarning("libmpv cannot draw with this OpenGL context");
        m_render = nullptr;
        return;
    }
    m_framePending = false;
    mpv_render_context_set_update_callback(m_render, &VideoView::updateCallback, this);
    if (m_contextChanged)
        m_contextChanged(true);
}

void VideoView::freeRenderContext()
{
    if (!m_render)
        return;
    // The engine takes libmpv's video output off this context before it goes.
    if (m_contextChanged)
        m_contextChanged(false);
    if (m_software) {
        m_frames->release();
    } else {
        mpv_render_context_set_update_callback(m_render, nullptr, nullptr);
        mpv_render_context_free(m_render);
    }
    m_render = nullptr;
    m_framePending = false;
}

void VideoView::updateCallback(void *self)
{
    // Any libmpv thread: hop to ours, once per burst; wake an engine that waits for libmpv.
    auto *view = static_cast<VideoView *>(self);
    if (!view->m_updateQueued.exchange(true)) {
        QMetaObject::invokeMethod(view, [view] { view->onUpdate(); }, Qt::QueuedConnection);
        if (view->m_mpv)
            mpv_wakeup(view->m_mpv);
    }
}

void VideoView::onUpdate()
{
    m_updateQueued = false;
    if (m_render && (mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        frameWaiting();
}

void VideoView::renderPending()
{
    // The software renderer's thread takes its frames by itself.
    if (m_software || !m_updateQueued || !m_render)
        return;
    m_updateQueued = false;
    if (mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME)
        frameWaiting();
}

void VideoView::frameWaiting()
{
    mpv_render_frame_info info{};
    const bool fresh = mpv_render_context_get_info(m_render, {MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info}) >= 0
                       && (info.flags & MPV_RENDER_FRAME_INFO_PRESENT)
                       && !(info.flags & MPV_RENDER_FRAME_INFO_REDRAW);
    if (!isVisible()) {
        // Hidden: let libmpv move on without drawing, so playback does not wait for us.
        skipFrame();
        return;
    }
    if (!m_software && !m_surface->isExposed()) {
        // Shown once the window is: keep one frame for then and let the others go by.
        if (m_framePending)
            skipFrame();
        m_framePending = m_framePending || fresh;
        return;
    }
    m_framePending = m_framePending || fresh;
    draw();
}

void VideoView::skipFrame()
{
    if (!makeCurrent())
        return;
    int skip = 1;
    int block = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    mpv_render_context_report_swap(m_render);
}

void VideoView::draw(QImage *copy)
{
    if (m_software) {
        if (copy)
            *copy = m_image.copy();
        else if (isVisible())
            m_frames->setTarget((QSizeF(size()) * devicePixelRatioF()).toSize(), devicePixelRatioF());
        return;
    }
    if (!m_surface->isExposed() || !makeCurrent())
        return;
    const qreal dpr = m_surface->devicePixelRatio();
    const int w = qRound(m_surface->width() * dpr), h = qRound(m_surface->height() * dpr);
    QOpenGLFunctions *gl = m_gl->functions();
    if (!m_render) {
        // Nothing to draw yet: black, as libmpv leaves the area around a picture.
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
    } else {
        mpv_opengl_fbo fbo{int(m_gl->defaultFramebufferObject()), w, h, 0};
        int flipY = 1;
        int block = 0; // never hold the user-interface thread for a frame's display time
        mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                     {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                     {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(m_render, params);
    }
    if (copy) {
        QImage image(w, h, QImage::Format_RGBA8888);
        gl->glPixelStorei(GL_PACK_ALIGNMENT, 4);
        gl->glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
        *copy = image.mirrored();
    }
    m_gl->swapBuffers(m_surface);
    if (!m_render)
        return;
    mpv_render_context_report_swap(m_render);
    if (m_framePending) {
        m_framePending = false;
        ++m_framesDrawn;
        Q_EMIT frameDrawn();
    }
}

QImage VideoView::grabFramebuffer()
{
    QImage image;
    draw(&image);
    return image;
}

void VideoView::forwardInput(QEvent *e)
{
    QWidget *target = parentWidget();
    if (!target)
        return;
    switch (e->type()) {
    case QEvent::Wheel: {
        const auto *we = static_cast<QWheelEvent *>(e);
        QWheelEvent out(mapToParent(we->position()), we->globalPosition(), we->pixelDelta(), we->angleDelta(),
                        we->buttons(), we->modifiers(), we->phase(), we->inverted(), we->source(),
                        we->pointingDevice());
        QCoreApplication::sendEvent(target, &out);
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        std::unique_ptr<QEvent> out(e->clone());
        QCoreApplication::sendEvent(target, out.get());
        break;
    }
    default: {
        const auto *me = static_cast<QMouseEvent *>(e);
        QMouseEvent out(me->type(), mapToParent(me->position()), me->globalPosition(), me->button(), me->buttons(),
                        me->modifiers(), me->pointingDevice());
        QCoreApplication::sendEvent(target, &out);
        break;
    }
    }
}
