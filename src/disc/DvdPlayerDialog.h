#pragma once
// "Kinetrope DVD Player": a modal dialog that finds or browses for a DVD-Video volume and
// plays it with its menus, chapters and scans.
#include <QDialog>
#include <QHash>
#include <QPoint>
#include <QString>

#include <functional>

class DvdNavigator;
class DvdPicture;
class Prompt;
class QPushButton;
class SettingsStore;

// Kept by the control window for every DVD dialog it opens.
struct DvdToggles {
    bool endFast = false;  // the next End scans at 1.0
    bool homeFast = false; // the next Home scans at 1.0
    bool paused = false;
};

class DvdPlayerDialog : public QDialog
{
    Q_OBJECT
public:
    // The dialog's controls by id.
    enum Control {
        ExitButton = 2, BrowseButton = 3, FullScreenButton = 4, PrevChapterButton = 6, NextChapterButton = 7,
        StopButton = 8, CueButton = 9, ReviewButton = 10, MenuButton = 12, ResumeButton = 13, PauseButton = 14,
        ReversePlayButton = 1074,
    };
    static constexpr QRect PicturePlace{15, 20, 540, 432};

    DvdPlayerDialog(SettingsStore &settings, Prompt &prompt, DvdToggles &toggles, QWidget *parent = nullptr);
    ~DvdPlayerDialog() override;

    // "DvdAutoFull": 1 goes full screen once a found disc runs.
    void setAutoFullScreen(int value) { m_autoFullScreen = value; }

    // Looks through the optical drives for VIDEO_TS/VIDEO_TS.IFO. The first search of a
    // dialog takes the first disc unasked; later ones ask about each.
    bool searchForDvd();
    QString volumePath() const { return m_volumePath; }
    // The IFO's folder for an IFO file (libdvdread takes a file for a disc image).
    static QString deviceFor(const QString &volumePath);
    // root/VIDEO_TS/VIDEO_TS.IFO as the volume spells it, or empty.
    static QString videoTsIfo(const QString &root);

    DvdNavigator &navigator() { return *m_navigator; }
    DvdPicture *picture() const { return m_picture; }
    QPushButton *button(int id) const { return m_buttons.value(id); }
    bool fullScreen() const { return m_fullScreen; }

    void pauseToggle();
    void reversePlay();
    void browse();
    void enterFullScreen();
    void leaveFullScreen();
    // Every key of the dialog and of its full-screen picture; false when it is not ours.
    bool handleKey(int key);

protected:
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void startUp();
    bool softwareReady();
    void startDisc(bool startSequence);
    void onBuilt();
    void onBuildFailed(const QString &text);
    void onDecoderMissing();
    void onPlayingError(const QString &text);
    void discStarted();
    void release();
    void showResult(int result);
    void addButton(int id, const char *text, const QRect &place, std::function<void()> action);
    // Runs a call only when a disc is running, as every button and key of the dialog does.
    void withDisc(const std::function<void()> &call);
    void pointerMoved(QPointF video, QPoint global, Qt::MouseButtons buttons);
    void pressed(QPointF video, QPoint global, Qt::MouseButton button);

    SettingsStore &m_settings;
    Prompt &m_prompt;
    DvdToggles &m_toggles;
    DvdNavigator *m_navigator = nullptr;
    DvdPicture *m_picture = nullptr;
    QHash<int, QPushButton *> m_buttons;
    int m_autoFullScreen = 0;
    bool m_searchedOnce = false;
    bool m_started = false;
    bool m_fullScreen = false;
    bool m_startSequence = false;
    QString m_volumePath;
    QString m_lastPath;
    // A left click on the windowed picture moves the dialog; without a window manager to
    // do it, the dialog follows the pointer itself.
    bool m_dragging = false;
    QPoint m_dragOffset;
};
