#pragma once

#include <QProcess>

// A real status area (system tray) on the test's display: Debian's trayer, an X tray host.
// Without one, Qt reports no status area, as on a desktop without a tray.
class StatusArea
{
public:
    ~StatusArea();
    // True once Qt sees the status area.
    bool start();
    void stop();

private:
    QProcess m_tray;
};
