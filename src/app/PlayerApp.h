#pragma once

#include "app/CommandLine.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"

#include <QApplication>

#include <memory>

class ControlWindow;
class InstanceGuard;

// The application object: runs start-up, the instance guard and the control window's
// run-and-restart loop. It owns the few things every part of the program shares.
class PlayerApp : public QApplication
{
    Q_OBJECT
public:
    // argv holds the toolkit's options only; what the program was asked is in commandLine.
    PlayerApp(int &argc, char **argv, CommandLine commandLine = {});
    ~PlayerApp() override;

    // The whole start-up sequence; returns the process exit code.
    int initInstance();

    // "--export-skin DIR": writes every built-in image as a .bmp into DIR; the exit code.
    static int exportSkin(const QString &folder);

    // The current file path from the command line, by the program's quoting rules.
    static QString commandLinePath(const QStringList &arguments);
    // The desktop entry's id; the media-player interface and the window name it too.
    static QString desktopId();

    // Owns an MPRIS name on the session bus; false without a bus or when the name is taken.
    bool registerAsMediaPlayer(bool firstInstance);

    SettingsStore &settings() { return m_settings; }
    Prompt &prompt() { return *m_prompt; }
    ControlWindow *controlWindow() const { return m_window; }
    ProcessState &processState() { return m_processState; }

private:
    CommandLine m_commandLine;
    SettingsStore m_settings;
    ProcessState m_processState;
    std::unique_ptr<Prompt> m_prompt;
    InstanceGuard *m_guard = nullptr;
    ControlWindow *m_window = nullptr;
    QString m_busName;
};
