#include "ControlWindow.h"

#include "app/Prompt.h"
#include "app/SettingsStore.h"

#include <QTimer>

ControlWindow::ControlWindow(SettingsStore &settings, Prompt &prompt, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Tool), m_settings(settings), m_prompt(prompt)
{
    setObjectName(QStringLiteral("ControlWindow"));
    setWindowTitle(QStringLiteral("Kinetrope"));
    setFixedSize(DesignWidth, DesignHeight);
    setAcceptDrops(true);
    for (int id = PlaybackTimer; id <= UpdateTimer; ++id) {
        auto *t = new QTimer(this);
        t->setObjectName(QStringLiteral("timer%1").arg(id));
        connect(t, &QTimer::timeout, this, [this, id] { onTimer(id); });
        m_timers[id] = t;
    }
    m_timers[ClockTimer]->start(100);
}

ControlWindow::~ControlWindow() = default;

void ControlWindow::onTimer(int id)
{
    pollHandOff();
    Q_UNUSED(id);
}

void ControlWindow::bringForward()
{
    show();
    raise();
    activateWindow();
}

void ControlWindow::pollHandOff()
{
    if (m_settings.read(Key::MultipleInstanceRunTimeFlag) == 0)
        return;
    bringForward();
    m_settings.write(Key::MultipleInstanceRunTimeFlag, 0);
    m_currentPath = m_settings.read(Key::MultipleInstanceRunTimeStr);
    if (m_currentPath.isEmpty())
        return;
    openAndStart();
    m_settings.write(Key::MultipleInstanceRunTimeStr, QString());
}

bool ControlWindow::openAndStart()
{
    return false;
}
