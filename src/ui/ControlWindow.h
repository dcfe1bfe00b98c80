#pragma once

#include "Commands.h"
#include "prefs/Preferences.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>

#include <array>

class QMenu;
class QSystemTrayIcon;
class QTimer;
class Prompt;
class SettingsStore;
struct ProcessState;

// The main window: a frameless dialog that carries every control and owns the playback,
// the video window and the play queue. Ends with 1 to be rebuilt (restart), else 0.
class ControlWindow : public QDialog
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

    QString currentPath() const { return m_currentPath; }
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

    int windowSizeMode() const { return m_windowSizeMode; }
    int videoScale() const { return m_videoScale; }
    bool isDocked() const { return m_docked; }
    bool isFullScreenView() const { return m_fullScreen; }
    bool isFillScreenView() const { return m_fillScreen; }
    bool isWindowedView() const { return m_windowedView; }

    void hideToStatusArea();
    void shutdown(bool restart);
    void restartControlWindow() { shutdown(true); }

protected:
    void onTimer(int id);
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void reject() override;

private:
    void buildControls();
    void buildMenu();
    void readSettings();
    void restoreWindow();
    void applyAlwaysOnTop();
    void applyCorners();
    void toggleHeight(bool compact);
    void exitButton();
    void closeProgram();
    void showAbout();
    void showContextMenu(const QPoint &globalPos);
    bool handleEscape();
    bool openAndStart();
    void setReadout(int id, const QString &text);

    SettingsStore &m_settings;
    Prompt &m_prompt;
    ProcessState &m_process;
    Preferences m_prefs;

    QString m_currentPath;
    QString m_startupDirectory;
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

    QHash<int, QWidget *> m_controls;
    std::array<QTimer *, 6> m_timers{};
    QMenu *m_menu = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
