#include "PicturePath.h"

#include <QByteArray>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QtGlobal>

namespace PicturePath {

bool isSoftwareRenderer(const char *glRenderer)
{
    const QByteArray name = QByteArray(glRenderer).toLower();
    return name.contains("llvmpipe") || name.contains("softpipe") || name.contains("swrast");
}

Kind choose()
{
    const QByteArray forced = qgetenv("KINETROPE_PICTURE").toLower();
    if (forced == "gl")
        return Kind::OpenGl;
    if (forced == "software")
        return Kind::Software;
    // Mesa's own switch to its CPU renderer: known without loading the driver to ask it.
    const QByteArray mesaSoftware = qgetenv("LIBGL_ALWAYS_SOFTWARE").toLower();
    if (!mesaSoftware.isEmpty() && mesaSoftware != "0" && mesaSoftware != "false" && mesaSoftware != "no")
        return Kind::Software;
    QOpenGLContext gl;
    if (!gl.create())
        return Kind::Software;
    QOffscreenSurface surface;
    surface.setFormat(gl.format());
    surface.create();
    if (!surface.isValid() || !gl.makeCurrent(&surface))
        return Kind::Software;
    const auto *renderer = reinterpret_cast<const char *>(gl.functions()->glGetString(GL_RENDERER));
    const bool software = !renderer || isSoftwareRenderer(renderer);
    gl.doneCurrent();
    return software ? Kind::Software : Kind::OpenGl;
}

} // namespace PicturePath
