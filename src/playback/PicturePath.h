#pragma once

// How the picture reaches the screen. Where OpenGL is drawn by the CPU anyway (llvmpipe and
// its kin, or no OpenGL at all), libmpv's software renderer into an image that Qt puts on
// the window costs about half as much as its OpenGL renderer drawn by that same CPU.
namespace PicturePath {

enum class Kind { OpenGl, Software };

// KINETROPE_PICTURE=gl or =software decides; otherwise Mesa's LIBGL_ALWAYS_SOFTWARE, or the
// OpenGL renderer does.
Kind choose();

// True for the names Mesa gives its CPU renderers.
bool isSoftwareRenderer(const char *glRenderer);

} // namespace PicturePath
