#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The arithmetic of the control and video window geometry, apart from any window.
namespace ViewGeometry {

// The virtual desktop's size; its origin is taken as 0,0.
QSize virtualScreen();

// Picture size at a scale in percent, with the integer steps the player has always used:
// 352 x 288 at 100 % is 350 x 280.
QSize scaledPicture(int scalePercent, QSize video);

// The saved control window rectangle, or the reset one (50, 50 and the design size) when
// any saved edge lies outside the virtual screen.
struct SavedRect {
    int left, top, right, bottom;
};
bool outsideScreen(const SavedRect &r, QSize screen);
SavedRect resetRect(QSize designSize);

// Where an undocked video window goes: its stored corner when that and its far edges lie
// on the virtual screen, else 0,0 (and the stored corner is reset).
struct UndockedPlace {
    QPoint topLeft;
    bool reset;
};
UndockedPlace undockedPlace(QPoint stored, QSize outer, QSize screen);

// Docking: the video window beside the control window; when it would leave the screen it
// stops at the screen edge and the control window moves beside it instead.
struct DockPlace {
    QPoint video;
    std::optional<QPoint> control;
};
DockPlace dockVideo(QRect control, QSize videoOuter, int clientExtra, int screenWidth, bool onLeft,
                    bool forced);
// The control window beside a video window the user moved.
QPoint controlBeside(QRect video, int controlWidth, bool onLeft);

// Compact and minimal heights of the control window's client area.
inline constexpr int FullHeight = 491;
inline constexpr int CompactHeight = 491 - 302;
inline constexpr int MinimalHeight = 491 - 387;

} // namespace ViewGeometry
