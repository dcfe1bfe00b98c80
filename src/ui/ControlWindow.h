#pragma once

#include "Commands.h"
#include "SkinSetup.h"
#include "skin/DisplayColours.h"
#include "prefs/Preferences.h"
#include "disc/DvdPlayerDialog.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <memory>

class Connectivity;
class ControlSet;
class UpdateCheck;
class FileDialogs;
class MediaGraph;
class MixerDevice;
class MixerFader;
class MprisBridge;
class PlayList;
class PlaybackBridge;
class Prompt;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QueueBridge;
class Readouts;
class ScreenModes;
class SettingsStore;
class SystemVolume;
class Transport;
class VideoCdBridge;
class VideoCdSearch;
class VideoWindow;
struct ProcessState;

// The main window: a frameless dialog that carries every control and owns the playback,
// the video window and the play queue. It builds its parts, wires them together and runs
// its lifecycle; the parts do the work. Ends with 1 to be rebuilt (restart), else 0.
class ControlWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 268;
    static constexpr int DesignHeight = 491;
    static constexpr int RestartResult = 1;
    enum TimerId { PlaybackTimer = 1, ClockTimer, StartFileTimer, SplashTimer, UpdateTimer };

    // The toggles the window keeps and saves at shutdown.
    struct Toggles {
        bool random = false;        // "RandomState"
        bool loopFile = false;      // "AutoLoop"
        bool loopList = false;      // "LoopPlaylist"
        bool remaining = false;     // "Remain": the file-number readout counts down
        bool timeRemaining = false; // "Current": the current time counts down
    };

    // connectivity: whether the update check has a network, when not the system's say; it
    // outlives the window.
    ControlWindow(SettingsStore &settings, Prompt &prompt, ProcessState &process, QWidget *parent = nullptr,
                  Connectivity *connectivity = nullptr);
    ~ControlWindow() override;

    // Shows the window and runs until it ends; hiding it to the status area does not end it.
    int run();

    QString currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString &path) { m_currentPath = path; }
    // Several files from the command line: the working playlist, in this order, at the start.
    void setStartFiles(const QStringList &files) { m_startFiles = files; }

    // Takes a file left by a later start of the program; runs first in every timer event.
    void pollHandOff();
    void bringForward();

    // Every control, menu item, key, media key, mouse action and desktop request ends here.
    void execute(const Action &action);

    ControlSet &controls() { return *m_controls; }
    Readouts &readouts() { return *m_readouts; }
    SkinSetup &skin() { return *m_skin; }
    ScreenModes &screenModes() { return *m_screenModes; }
    MediaGraph &graph() { return *m_graph; }
    Transport &transport();
    PlayList &playList() { return *m_playList; }
    FileDialogs &fileDialogs() { return *m_fileDialogs; }
    MprisBridge *mpris() const { return m_mpris.get(); }
    VideoCdSearch &videoCd() { return *m_videoCd; }
    PlaybackBridge &playbackHost() { return *m_playbackHost; }
    UpdateCheck &updateCheck() { return *m_update; }
    MixerDevice &mixerDevice() { return *m_mixerDevice; }
    SystemVolume &systemVolume() { return *m_systemVolume; }
    VideoWindow *videoWindow() const;
    const Preferences &preferences() const { return m_prefs; }
    Preferences &preferences() { return m_prefs; }
    const Toggles &toggles() const { return m_toggles; }
    Toggles &toggles() { return m_toggles; }
    Prompt &prompt() { return m_prompt; }
    ProcessState &processState() { return m_process; }
    QTimer *timer(TimerId id) const { return m_timers[id]; }
    QMenu *contextMenu() const { return m_menu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    int windowSizeMode() const { return m_windowSizeMode; }

    void hideToStatusArea();
    void shutdown(bool restart);
    void restartControlWindow() { shutdown(true); }
    // Ends the program once the current event is handled (fatal engine failure, "AutoExit").
    void quitProgram();
    void trayActivated(bool leftButton);
    // Files dropped on the window itself replace the list; on the drop button they join it.
    void dropFiles(const QStringList &paths, bool onDropButton);
    // Plays an http or https address the user gave (Open URL, the desktop's OpenUri).
    void openAddress(const QString &address);
    // The file a screenshot of the open file goes to now (its folder made if missing).
    QString screenshotFile() const;

    // The DVD button: a disc found plays in the DVD dialog; with none, a VideoCD plays
    // instead when there is one, else the dialog opens empty for Browse.
    void playDvd();
    // Scans for a VideoCD and, when one is found, plays it as at launch (no question);
    // true when it did. Unset: there is never a VideoCD.
    using VideoCdFallback = std::function<bool()>;
    void setVideoCdFallback(VideoCdFallback f) { m_videoCdFallback = std::move(f); }
    DvdToggles &dvdToggles() { return m_dvdToggles; }

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
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
    // A request that came while a file opened: run after the open, in the order it came.
    void afterOpen(std::function<void()> request);
    void armAfterOpen();
    void onTimer(int id);
    void buildMenu();
    void listTracks(QMenu *menu, QAction *placeholder, Command command);
    void askForAddress();
    void loadSubtitleFile();
    void saveScreenshot();
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
    void openStartFile();
    void eject();
    void jog(int wheelDelta);
    void middleClick(bool doubleClick);
    void connectVideoWindow(VideoWindow *video);
    void notifyDesktop();
    SkinSetup::Toggles skinToggles() const;
    void showDockState();
    void showOptions();
    void changeColour(DisplayColours::Group group, DisplayColours::Which which);
    void setUpMixer();
    void showMute(bool muted);
    void connectMixer();

    SettingsStore &m_settings;
    Prompt &m_prompt;
    ProcessState &m_process;
    Preferences m_prefs;
    Toggles m_toggles;
    ControlSet *m_controls = nullptr;
    Readouts *m_readouts = nullptr;
    SkinSetup *m_skin = nullptr;
    bool m_dockShown = true;
    std::unique_ptr<PlaybackBridge> m_playbackHost;
    std::unique_ptr<QueueBridge> m_queueHost;
    std::unique_ptr<MediaGraph> m_graph;
    ScreenModes *m_screenModes = nullptr;
    std::unique_ptr<PlayList> m_playList;
    std::unique_ptr<FileDialogs> m_fileDialogs;
    std::unique_ptr<MprisBridge> m_mpris;
    std::unique_ptr<VideoCdBridge> m_videoCdHost;
    std::unique_ptr<VideoCdSearch> m_videoCd;
    std::unique_ptr<Connectivity> m_connectivity;
    UpdateCheck *m_update = nullptr;
    // The device first: the two bound to it go before it.
    std::unique_ptr<MixerDevice> m_mixerDevice;
    std::unique_ptr<SystemVolume> m_systemVolume;
    std::unique_ptr<MixerFader> m_balance;

    DvdToggles m_dvdToggles;
    VideoCdFallback m_videoCdFallback;

    QString m_currentPath;
    QStringList m_startFiles;
    QRect m_initialRect;
    int m_windowSizeMode = 0;
    bool m_closing = false;

    std::array<QTimer *, 6> m_timers{};
    std::deque<std::function<void()>> m_afterOpen;
    bool m_afterOpenArmed = false;
    QMenu *m_menu = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
