#pragma once

#include "Commands.h"
#include "playback/PlaybackHost.h"
#include "prefs/Preferences.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

class DigitalDisplay;
class FileDialogs;
class MediaGraph;
class MprisBridge;
class PlayList;
class QMenu;
class QSlider;
class QSystemTrayIcon;
class QTimer;
class Prompt;
class QueueBridge;
class ScrollingDisplay;
class SettingsStore;
class Transport;
class VideoWindow;
struct ProcessState;

// The main window: a frameless dialog that carries every control and owns the playback,
// the video window and the play queue. Ends with 1 to be rebuilt (restart), else 0.
class ControlWindow : public QDialog, public PlaybackHost
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 268;
    static constexpr int DesignHeight = 491;
    static constexpr int RestartResult = 1;
    enum TimerId { PlaybackTimer = 1, ClockTimer, StartFileTimer, SplashTimer, UpdateTimer };

    ControlWindow(SettingsStore &settings, Prompt &prompt, ProcessState &process,
                  QWidget *parent = nullptr);
    ~ControlWindow() override;

    // Shows the window and runs until it ends; hiding it to the status area does not end it.
    int run();

    QString currentPath() const override { return m_currentPath; }
    void setCurrentPath(const QString &path) { m_currentPath = path; }

    // Takes a file left by a later start of the program; runs first in every timer event.
    void pollHandOff();
    void bringForward();

    // Every control, menu item, key, media key and mouse action ends here.
    void execute(Command command);

    QWidget *control(int id) const { return m_controls.value(id); }
    QTimer *timer(TimerId id) const { return m_timers[id]; }
    const Preferences &preferences() const { return m_prefs; }
    Preferences &preferences() { return m_prefs; }
    QMenu *contextMenu() const { return m_menu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    MediaGraph &graph() { return *m_graph; }
    Transport &transport();
    PlayList &playList() { return *m_playList; }
    FileDialogs &fileDialogs() { return *m_fileDialogs; }
    MprisBridge *mpris() const { return m_mpris.get(); }

    int windowSizeMode() const { return m_windowSizeMode; }
    int videoScale() const { return m_videoScale; }
    bool isDocked() const { return m_docked; }
    bool isFitToWindow() const { return m_fitToWindow; }
    QString readoutText(int id) const;

    void hideToStatusArea();
    void shutdown(bool restart);
    void restartControlWindow() { shutdown(true); }
    void trayActivated(bool leftButton);
    // Files dropped on the window itself replace the list; on the drop button they join it.
    void dropFiles(const QStringList &paths, bool onDropButton);

    // PlaybackHost
    void showReadout(Readout which, const QString &text) override;
    void showClockText(const QString &text) override;
    void scrollClockText(const QString &text, int cells, int periodMs) override;
    void stopClockScroll() override;
    void scrollTitle(const QString &text, int cells, int periodMs) override;
    void stopTitleScroll() override;
    void refreshDate() override;
    void refreshFileNumber() override;
    void refreshControls() override;
    void setSetButtonsEnabled(bool enabled) override;
    void startPlaybackTimer(int periodMs) override;
    void stopPlaybackTimer() override;
    VideoWindow *videoWindow() const;
    PictureHost *pictureHost() override;
    PictureHost *ensurePictureHost() override;
    void sizeVideoWindow() override { sizeVideoWindowFor(false); }
    bool fullScreenView() const override { return m_fullScreen; }
    bool fillScreenView() const override { return m_fillScreen; }
    bool windowedView() const override { return m_windowedView; }
    void reapplyFullScreen() override;
    void reapplyFillScreen() override;
    void enterAutoFull() override;
    int preference(const IntKey &key) const override;
    PlayQueue *playQueue() override;
    Prompt &prompt() override { return m_prompt; }
    ProcessState &processState() override { return m_process; }
    void openFileDialog() override;
    void nextVideoCdTrack() override {}
    void quitProgram() override;

protected:
    void onTimer(int id);
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void moveEvent(QMoveEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void reject() override;

private:
    friend class QueueBridge;

    void buildControls();
    QWidget *buildDisplay(int id);
    void buildMenu();
    void bindSliders();
    void applyDisplayColours();
    void readSettings();
    void restoreWindow();
    void applyAlwaysOnTop();
    void applyCorners();
    void toggleHeight(bool compact);
    void exitButton();
    void closeProgram();
    void showAbout();
    void showContextMenu(const QPoint &globalPos);
    void handleEscape();
    void updateClock();
    void openStartFile();
    void eject();
    void setScale(int percent);
    void sizeVideoWindowFor(bool viewChange);
    void placeRenderer();
    QSize pictureSize() const; // the native picture at the current scale
    void placeVideoDocked(bool forced);
    void moveControlBesideVideo();
    void placeVideoUndocked();
    void toggleDock();
    void destroyVideoWindow();
    void enterFullScreen();
    void leaveFullScreen(bool activate = true);
    void enterFillScreen();
    void leaveFillScreen();
    void leaveScreenModes();
    void videoResized();
    void videoMoved();
    void notifyDesktop();
    void keyFromVideo(QKeyEvent *e);

    SettingsStore &m_settings;
    Prompt &m_prompt;
    ProcessState &m_process;
    Preferences m_prefs;
    std::unique_ptr<QueueBridge> m_queueHost;
    std::unique_ptr<MediaGraph> m_graph;
    std::unique_ptr<PlayList> m_playList;
    std::unique_ptr<FileDialogs> m_fileDialogs;
    std::unique_ptr<MprisBridge> m_mpris;
    QPointer<VideoWindow> m_videoWindow;

    QString m_currentPath;
    QRect m_initialRect;

    int m_videoScale = 100;
    bool m_fullScreen = false;
    bool m_fillScreen = false;
    bool m_windowedView = true;
    bool m_fitToWindow = false;
    bool m_docked = true;
    bool m_dockedBeforeFill = false;
    int m_windowSizeMode = 0;
    bool m_randomState = false;
    bool m_autoLoop = false;
    bool m_loopPlaylist = false;
    bool m_remain = false;
    bool m_timeRemaining = false;
    bool m_closing = false;
    // Re-entry guards: a move of one window places the other, never back again.
    bool m_placingVideo = false;
    bool m_placingControl = false;

    QHash<int, QWidget *> m_controls;
    std::array<QTimer *, 6> m_timers{};
    QMenu *m_menu = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
