#include "VideoView.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <mpv/client.h>
#include <mpv/render_gl.h>

namespace {
void *procAddress(void *, const char *name)
{
    QOpenGLContext *ctx = QOpenGLContext::currentContext();
    return ctx ? reinterpret_cast<void *>(ctx->getProcAddress(name)) : nullptr;
}
} // namespace

VideoView::VideoView(mpv_handle *mpv, std::function<void(bool)> contextChanged, QWidget *parent)
    : QOpenGLWidget(parent), m_mpv(mpv), m_contextChanged(std::move(contextChanged))
{
    setObjectName(QStringLiteral("VideoView"));
    // The hosting window owns every mouse and key action on the picture.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

VideoView::~VideoView()
{
    if (m_render) {
        makeCurrent();
        freeRenderContext();
        doneCurrent();
    }
}

void VideoView::detach()
{
    m_contextChanged = nullptr;
    if (m_render) {
        makeCurrent();
        freeRenderContext();
        doneCurrent();
    }
    m_mpv = nullptr;
}

void VideoView::initializeGL()
{
    // A new top-level parent replaces the GL context; libmpv's objects go with the old one.
    if (m_hookedContext != context()) {
        m_hookedContext = context();
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                [this] {
                    if (!m_render)
                        return;
                    if (QOpenGLContext::currentContext() != context())
                        makeCurrent();
                    freeRenderContext();
                },
                Qt::DirectConnection);
    }
    createRenderContext();
}

void VideoView::createRenderContext()
{
    if (m_render || !m_mpv)
        return;
    mpv_opengl_init_params gl{procAddress, nullptr};
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&m_render, m_mpv, params) < 0) {
        qWarning("libmpv cannot draw with this OpenGL context");
        m_render = nullptr;
        return;
    }
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
    mpv_render_context_set_update_callback(m_render, nullptr, nullptr);
    mpv_render_context_free(m_render);
    m_render = nullptr;
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
    if (!m_render)
        return;
    if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (isVisible()) {
        update();
        return;
    }
    // Hidden: let libmpv move on without drawing, so playback does not wait for us.
    makeCurrent();
    render(true);
    doneCurrent();
}

void VideoView::renderPending()
{
    if (!m_updateQueued || !m_render || !m_painted)
        return;
    m_updateQueued = false;
    if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        return;
    makeCurrent();
    render(!isVisible());
    doneCurrent();
    if (isVisible())
        update();
}

void VideoView::paintGL()
{
    m_painted = true;
    render(false);
}

void VideoView::render(bool skip)
{
    if (!m_render) {
        // Nothing to draw yet: black, as libmpv leaves the area around a picture.
        QOpenGLFunctions *gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    mpv_render_frame_info info{};
    const bool fresh =
        !skip && mpv_render_context_get_info(m_render, {MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info}) >= 0
        && (info.flags & MPV_RENDER_FRAME_INFO_PRESENT) && !(info.flags & MPV_RENDER_FRAME_INFO_REDRAW);
    const qreal dpr = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * dpr), int(height() * dpr), 0};
    int flipY = 1;
    int skipRendering = skip ? 1 : 0;
    int block = 0; // never hold the user-interface thread for a frame's display time
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_SKIP_RENDERING, &skipRendering},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(m_render, params);
    if (fresh) {
        ++m_framesDrawn;
        Q_EMIT frameDrawn();
    }
}
