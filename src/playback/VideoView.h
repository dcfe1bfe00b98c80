#pragma once

#include <QOpenGLWidget>

#include <atomic>
#include <functional>

struct mpv_handle;
struct mpv_render_context;

// The picture: libmpv draws each frame into this widget's framebuffer through its
// OpenGL render API. Part of the libmpv adapter; the rest of the program sees a QWidget.
class VideoView : public QOpenGLWidget
{
    Q_OBJECT
public:
    // contextChanged(true) once libmpv can draw here, (false) just before it no longer can.
    VideoView(mpv_handle *mpv, std::function<void(bool)> contextChanged, QWidget *parent);
    ~VideoView() override;

    bool hasRenderContext() const { return m_render != nullptr; }
    // Frames drawn so far (a repaint of the same frame does not count).
    quint64 framesDrawn() const { return m_framesDrawn; }
    // Frees the render context now; the engine calls this before it shuts libmpv down.
    void detach();
    // Draws a frame libmpv has waiting, at once: the engine calls this while it holds the
    // user-interface thread waiting for libmpv, which may in turn wait for the frame.
    void renderPending();

Q_SIGNALS:
    void frameDrawn();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void createRenderContext();
    void freeRenderContext();
    void onUpdate();
    void render(bool skip);
    static void updateCallback(void *self);

    mpv_handle *m_mpv;
    std::function<void(bool)> m_contextChanged;
    mpv_render_context *m_render = nullptr;
    QOpenGLContext *m_hookedContext = nullptr;
    std::atomic<bool> m_updateQueued{false};
    quint64 m_framesDrawn = 0;
    bool m_painted = false;
};
