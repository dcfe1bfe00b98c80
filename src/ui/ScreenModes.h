#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class MediaGraph;
class Preferences;
class SettingsStore;
class VideoWindow;
class QWidget;

// Where the picture is: the video window beside the control window (docked) or on its
// own (floating), at half, normal, double or triple size or fitted to a size the user
// dragged; or the picture on the whole screen (full screen) or the desktop's work area
// (fill screen). Owns the video window and keeps the two windows together.
class ScreenModes : public QObject
{
    Q_OBJECT
public:
    enum class Mode { Docked, Floating, FullScreen, FillScreen };

    ScreenModes(QWidget &control, MediaGraph &graph, const Preferences &prefs, SettingsStore &settings);
    ~ScreenModes() override;

    Mode mode() const { return m_mode; }
    // Docking is on: the video window follows the control window (kept through full screen).
    bool docked() const;
    // The full-screen view is on, or "AutoFull" has it waiting for the first picture.
    bool fullScreen() const { return m_mode == Mode::FullScreen || m_fullScreenArmed; }
    bool fillScreen() const { return m_mode == Mode::FillScreen; }
    bool windowed() const { return m_mode == Mode::Docked || m_mode == Mode::Floating; }
    int scale() const { return m_scale; }
    // The user sized the video window; the picture follows the window, not the scale.
    bool fitToWindow() const { return m_fitToWindow; }

    // "AutoFull": the next file with a picture opens in full screen.
    void armFullScreen() { m_fullScreenArmed = true; }
    void setScale(int percent);

    VideoWindow *videoWindow() const;
    // Created hidden; videoWindowCreated() tells the owner to connect its input.
    VideoWindow *ensureVideoWindow();
    void destroyVideoWindow();
    // Sizes, shows or hides the video window for the open file, then places it.
    // A view change (scale, leaving a screen mode) honours "OpenOnLeft".
    void sizeVideoWindow(bool viewChange = false);

    void toggleDock();
    void controlWindowMoved();

    void enterFullScreen();
    void reapplyFullScreen();
    // Leaving: activate gives the control window the focus back.
    void leaveFullScreen(bool activate = true);
    void enterFillScreen();
    void reapplyFillScreen();
    void leaveFillScreen();
    void leaveScreenModes();

    // Keeps a top-level window above others, or lets it go, without moving it.
    static void setStaysOnTop(QWidget &window, bool onTop);

Q_SIGNALS:
    void videoWindowCreated(VideoWindow *window);
    // Back from full or fill screen: the control window takes the focus.
    void windowedViewRestored();

private:
    QSize pictureSize() const;
    void placeRenderer();
    void placeVideoDocked(bool forced);
    void moveControlBesideVideo();
    void placeVideoUndocked();
    void videoResized();
    void videoMoved();
    bool hasPicture() const;

    QWidget &m_control;
    MediaGraph &m_graph;
    const Preferences &m_prefs;
    SettingsStore &m_settings;
    QPointer<VideoWindow> m_video;

    Mode m_mode = Mode::Docked;
    // The windowed mode that full and fill screen return to.
    Mode m_returnMode = Mode::Docked;
    bool m_fullScreenArmed = false;
    bool m_fitToWindow = false;
    int m_scale = 100;
    // Re-entry guards: a move of one window places the other, never back again.
    bool m_placingVideo = false;
    bool m_placingControl = false;
};
