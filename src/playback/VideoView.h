#pragma once

#include <QImage>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

struct mpv_handle;
struct mpv_render_context;
class QOpenGLContext;
class QOffscreenSurface;
class PictureSurface;
class SoftwareFrames;

// The picture: libmpv draws each frame through its OpenGL render API straight into the
// default framebuffer of a native child window, which this widget hosts; or, where OpenGL
// is drawn by the CPU (PicturePath), through its software renderer into an image this
// widget paints. Part of the libmpv adapter; the rest of the program sees a QWidget that
// takes no input of its own: what the user does on the picture goes to the widget
// underneath, the hosting window.
class VideoView : public QWidget
{
    Q_OBJECT
public:
    // contextChanged(true) once libmpv can draw here, (false) just before it no longer can.
    // software: libmpv's software renderer into an image (PicturePath), else its OpenGL one.
    VideoView(mpv_handle *mpv, bool software, std::function<void(bool)> contextChanged, QWidget *parent);
    ~VideoView() override;

    bool hasRenderContext() const { return m_render != nullptr; }
    // libmpv's software renderer draws here, not OpenGL.
    bool isSoftware() const { return m_software; }
    // Frames drawn so far (a repaint of the same frame does not count).
    quint64 framesDrawn() const { return m_framesDrawn; }
    // Frees the render context now; the engine calls this before it shuts libmpv down.
    void detach();
    // Draws a frame libmpv has waiting, at once: the engine calls this while it holds the
    // user-interface thread waiting for libmpv, which may in turn wait for the frame.
    void renderPending();
    // The picture as it is on the screen now (OpenGL: drawn again for the copy; tests).
    QImage grabFramebuffer();

Q_SIGNALS:
    void frameDrawn();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class PictureSurface;
    friend class SoftwareFrames;
    void takeImage(const QImage &image, bool fresh);
    bool makeCurrent();
    void doneCurrent();
    void createRenderContext();
    void freeRenderContext();
    void onUpdate();
    void frameWaiting();
    void surfaceExposed();
    void surfaceGoing();
    void draw(QImage *copy = nullptr);
    void skipFrame();
    void forwardInput(QEvent *event);
    static void updateCallback(void *self);

    const bool m_software;
    mpv_handle *m_mpv;
    std::function<void(bool)> m_contextChanged;
    PictureSurface *m_surface = nullptr;
    QWidget *m_container = nullptr;
    // The software renderer's latest frame, at the widget's size in device pixels.
    QImage m_image;
    std::unique_ptr<SoftwareFrames> m_frames;
    std::unique_ptr<QOpenGLContext> m_gl;
    std::unique_ptr<QOffscreenSurface> m_spare;
    mpv_render_context *m_render = nullptr;
    std::atomic<bool> m_updateQueued{false};
    // libmpv handed over a frame that is not on the screen yet.
    bool m_framePending = false;
    quint64 m_framesDrawn = 0;
};
