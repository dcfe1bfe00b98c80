#pragma once

#include <QRect>

#include <span>

// Where each control of the control window sits, in pixels of the 268 x 491 window.
// The window is arranged in bands so that the compact and minimal heights make sense:
// the normal controls (transport, exit, hide, the view toggles) in the top 104 pixels,
// the time clocks down to 189, everything else below.
struct ControlPlace {
    int id;
    QRect rect;
};

namespace ControlLayout {
std::span<const ControlPlace> places();
const ControlPlace *place(int id);
inline constexpr QRect LogoRect{30, 0, 84, 22};
} // namespace ControlLayout
