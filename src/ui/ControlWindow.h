#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QTimer;
class Prompt;
class SettingsStore;

// The main window: a frameless dialog that carries every control and owns the playback,
// the video window and the play queue. Ends with 1 to be rebuilt (restart), else 0.
class ControlWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 268;
    static constexpr int DesignHeight = 491;
    enum TimerId { PlaybackTimer = 1, ClockTimer, StartFileTimer, SplashTimer, UpdateTimer };

    ControlWindow(SettingsStore &settings, Prompt &prompt, QWidget *parent = nullptr);
    ~ControlWindow() override;

    QString currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString &path) { m_currentPath = path; }

    // Takes a file left by a later start of the program; runs first in every timer event.
    void pollHandOff();
    void bringForward();

protected:
    void onTimer(int id);

private:
    bool openAndStart();

    SettingsStore &m_settings;
    Prompt &m_prompt;
    QString m_currentPath;
    std::array<QTimer *, 6> m_timers{};
};
