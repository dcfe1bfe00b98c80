#pragma once

#include <QPoint>

class QWidget;

// The window the picture plays in, as playback sees it; the video window implements it.
class PictureHost
{
public:
    virtual ~PictureHost() = default;
    // The widget the engine's picture becomes a child of.
    virtual QWidget *pictureParent() = 0;
    // Takes the engine's picture widget as the picture it shows.
    virtual void setPicture(QWidget *picture) = 0;
    // The window's top-left corner on the desktop (remembered when a file closes).
    virtual QPoint windowPosition() const = 0;
    // Brings the window in front of others when it is showing (play started).
    virtual void bringPictureForward() = 0;
};
