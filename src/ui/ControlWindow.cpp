#include "ControlWindow.h"

#include "AboutDialog.h"
#include "ControlLayout.h"
#include "ViewGeometry.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
const QString TrayTip = QStringLiteral("Kinetrope V3.33");
const QString ExitQuestion = QStringLiteral(
    "Would you prefer to hide instead of closing?\rIf yes, the preference will be set for you.\r\r"
    "This question will only be asked once");
const QString NoTime = QStringLiteral("  :  :  : 0");

QSize virtualScreen()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry().size() : QSize(1024, 768);
}
} // namespace

ControlWindow::ControlWindow(SettingsStore &settings, Prompt &prompt, ProcessState &process,
                             QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Tool), m_settings(settings), m_prompt(prompt),
      m_process(process)
{
    setObjectName(QStringLiteral("ControlWindow"));
    setWindowTitle(QStringLiteral("Kinetrope"));
    setWindowIcon(QIcon(QStringLiteral(":/kinetrope.png")));
    setFixedSize(DesignWidth, DesignHeight);
    setAcceptDrops(true);
    for (int id = PlaybackTimer; id <= UpdateTimer; ++id) {
        auto *t = new QTimer(this);
        t->setObjectName(QStringLiteral("timer%1").arg(id));
        connect(t, &QTimer::timeout, this, [this, id] { onTimer(id); });
        m_timers[id] = t;
    }
    m_timers[StartFileTimer]->setSingleShot(true);
    m_timers[SplashTimer]->setSingleShot(true);

    buildControls();
    buildMenu();

    // Initialisation, in its fixed order.
    readSettings();
    applyAlwaysOnTop();
    m_initialRect = QRect(QPoint(0, 0), size());
    m_startupDirectory = QDir::currentPath();
    setReadout(1083, QStringLiteral(" 1.0"));
    for (int id : {1084, 1085, 1086, 1087})
        setReadout(id, NoTime);
    setReadout(1082, QStringLiteral("----"));
    restoreWindow();
    if (!m_prefs.isOn(Key::SplashDisable))
        m_timers[SplashTimer]->start(100);
    for (const ControlEntry &c : Commands::controls()) {
        if (c.tooltip && m_controls.value(c.id))
            m_controls.value(c.id)->setToolTip(QString::fromUtf8(c.tooltip));
    }
    if (QWidget *open = m_controls.value(1021))
        open->setFocus();
    m_timers[ClockTimer]->start(100);
    setReadout(1088, QStringLiteral("    :  :    "));
    setReadout(1089, QStringLiteral("   ") + TrayTip + QStringLiteral("  "));

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(TrayTip);
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            bringForward();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
    m_timers[StartFileTimer]->start(100);
}

ControlWindow::~ControlWindow() = default;

void ControlWindow::buildControls()
{
    for (const ControlEntry &c : Commands::controls()) {
        const ControlPlace *p = ControlLayout::place(c.id);
        QWidget *w = nullptr;
        const QString caption = QString::fromUtf8(c.caption ? c.caption : (p && p->text ? p->text : ""));
        switch (c.kind) {
        case ControlKind::Button: {
            auto *b = new QPushButton(caption, this);
            b->setAutoDefault(false);
            const Command cmd = c.command;
            if (cmd == Command::Cue || cmd == Command::Review) {
                // Steps repeat every 100 ms while held.
                b->setAutoRepeat(true);
                b->setAutoRepeatDelay(100);
                b->setAutoRepeatInterval(100);
                connect(b, &QPushButton::pressed, this, [this, cmd] { execute(cmd); });
                connect(b, &QPushButton::clicked, this, [this, cmd, b] {
                    if (b->isDown())
                        execute(cmd);
                });
            } else {
                connect(b, &QPushButton::clicked, this, [this, cmd] { execute(cmd); });
            }
            w = b;
            break;
        }
        case ControlKind::Label:
        case ControlKind::Display: {
            auto *l = new QLabel(caption, this);
            if (c.kind == ControlKind::Display) {
                l->setAlignment(Qt::AlignCenter);
                l->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
                l->setAutoFillBackground(true);
            }
            w = l;
            break;
        }
        case ControlKind::Slider: {
            auto *s = new QSlider(Qt::Horizontal, this);
            s->setFocusPolicy(Qt::NoFocus); // transport keys belong to the window
            s->setPageStep(1);
            w = s;
            break;
        }
        case ControlKind::CheckBox: {
            auto *cb = new QCheckBox(this);
            cb->hide();
            w = cb;
            break;
        }
        }
        w->setObjectName(QString::number(c.id));
        if (p && !p->rect.isEmpty())
            w->setGeometry(p->rect);
        else
            w->hide();
        w->installEventFilter(this);
        m_controls.insert(c.id, w);
    }
    if (auto *speed = qobject_cast<QSlider *>(m_controls.value(1010))) {
        speed->setRange(1, 19);
        speed->setValue(10);
        speed->setTickInterval(3);
        speed->setTickPosition(QSlider::TicksBelow);
    }
}

void ControlWindow::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("135"));
    for (const MenuEntry &m : Commands::menu()) {
        QAction *a = m_menu->addAction(QString::fromUtf8(m.text));
        a->setObjectName(QString::number(m.id));
        const Command cmd = m.command;
        connect(a, &QAction::triggered, this, [this, cmd] { execute(cmd); });
    }
}

void ControlWindow::readSettings()
{
    // Preferences start at the built-in values, then every stored preference replaces them.
    m_prefs = Preferences();
    m_docked = true;
    m_autoLoop = m_settings.read(Key::AutoLoop) != 0;
    m_loopPlaylist = m_settings.read(Key::LoopPlaylist) != 0;
    m_remain = m_settings.read(Key::Remain) != 0;
    m_timeRemaining = m_settings.read(Key::Current) != 0;
    m_videoScale = m_settings.read(Key::VideoSize);
    m_prefs.load(m_settings);
    m_fullScreen = m_prefs.isOn(Key::AutoFull) && false; // full screen needs a loaded file
}

void ControlWindow::restoreWindow()
{
    using namespace ViewGeometry;
    const QSize screen = virtualScreen();
    SavedRect r{m_settings.read(Key::WindowLeft), m_settings.read(Key::WindowTop),
                m_settings.read(Key::WindowRight), m_settings.read(Key::WindowBottom)};
    if (outsideScreen(r, screen)) {
        r = resetRect(m_initialRect.size());
        m_settings.write(Key::WindowLeft, r.left);
        m_settings.write(Key::WindowTop, r.top);
        m_settings.write(Key::WindowRight, r.right);
        m_settings.write(Key::WindowBottom, r.bottom);
    }
    if (m_prefs.isOn(Key::RememberSize)) {
        const int mode = m_settings.read(Key::WindowSize);
        if (mode == 1)
            toggleHeight(true);
        else if (mode == 2)
            toggleHeight(false);
    }
    if (r.right != 0 && r.bottom != 0 && m_prefs.isOn(Key::RememberCoords))
        move(r.left, r.top);
    else
        move(50, 50);
}

void ControlWindow::applyAlwaysOnTop()
{
    const bool top = m_prefs.isOn(Key::AlwaysOnTop);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, top);
    if (visible)
        show();
}

void ControlWindow::applyCorners()
{
    if (m_settings.read(Key::SquareCorners) != 0) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width(), height()), 25, 25);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void ControlWindow::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    applyCorners();
}

void ControlWindow::toggleHeight(bool compact)
{
    if (m_initialRect.isEmpty())
        return;
    bool &toggle = compact ? m_process.compactToggle : m_process.minimalToggle;
    int h = ViewGeometry::FullHeight;
    if (!toggle) {
        m_windowSizeMode = compact ? 1 : 2;
        h = compact ? ViewGeometry::CompactHeight : ViewGeometry::MinimalHeight;
    } else {
        m_windowSizeMode = 0;
    }
    toggle = !toggle;
    setFixedSize(m_initialRect.width(), h);
    update();
}

void ControlWindow::onTimer(int id)
{
    pollHandOff();
    switch (id) {
    case SplashTimer:
        showAbout();
        break;
    case StartFileTimer:
        if (!m_currentPath.isEmpty())
            openAndStart();
        break;
    default:
        break;
    }
}

void ControlWindow::bringForward()
{
    show();
    raise();
    activateWindow();
    applyAlwaysOnTop();
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

void ControlWindow::setReadout(int id, const QString &text)
{
    if (auto *l = qobject_cast<QLabel *>(m_controls.value(id)))
        l->setText(text.toUpper());
}

void ControlWindow::execute(Command command)
{
    using enum Command;
    switch (command) {
    case CompactView: toggleHeight(true); break;
    case MinimalView: toggleHeight(false); break;
    case ExitButton: exitButton(); break;
    case Exit: closeProgram(); break;
    case StatusAreaView: hideToStatusArea(); break;
    case About: showAbout(); break;
    case EnterKey:
    case PlayPause:
        break;
    case EscapeKey: handleEscape(); break;
    case RandomToggle: m_randomState = !m_randomState; break;
    case LoopFileToggle: m_autoLoop = !m_autoLoop; break;
    case LoopListToggle: m_loopPlaylist = !m_loopPlaylist; break;
    case ShowCurrentNumber: m_remain = false; break;
    case ShowRemaining: m_remain = true; break;
    case ToggleTimeRemaining: m_timeRemaining = !m_timeRemaining; break;
    case DockToggle: m_docked = !m_docked; break;
    case Scale50: m_videoScale = 50; break;
    case Scale100: m_videoScale = 100; break;
    case Scale200: m_videoScale = 200; break;
    case Scale300: m_videoScale = 300; break;
    default: break;
    }
}

bool ControlWindow::handleEscape()
{
    if (m_prefs.isOn(Key::EscFunction)) {
        closeProgram();
        return true;
    }
    return true;
}

void ControlWindow::keyPressEvent(QKeyEvent *e)
{
    Command c = Commands::forKey(e->key(), e->modifiers());
    if (c == Command::None)
        c = Commands::forMediaKey(e->key());
    if (c == Command::None) {
        e->ignore();
        return;
    }
    execute(c);
    e->accept();
}

bool ControlWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        // Enter in an edit control goes to the default button; Esc never reaches a child.
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && qobject_cast<QLineEdit *>(watched)) {
            if (QWidget *play = m_controls.value(1105))
                play->setFocus();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            execute(Command::EscapeKey);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void ControlWindow::reject()
{
    // Esc is a command of its own here, never "close the dialog".
}

void ControlWindow::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
        e->accept();
        return;
    }
    QDialog::mousePressEvent(e);
}

void ControlWindow::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton)) {
        move(e->globalPosition().toPoint() - m_dragOffset);
        e->accept();
        return;
    }
    QDialog::mouseMoveEvent(e);
}

void ControlWindow::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_dragging = false;
    if (e->button() == Qt::RightButton && m_windowedView) {
        showContextMenu(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    QDialog::mouseReleaseEvent(e);
}

void ControlWindow::mouseDoubleClickEvent(QMouseEvent *e)
{
    QDialog::mouseDoubleClickEvent(e);
}

void ControlWindow::wheelEvent(QWheelEvent *e)
{
    e->accept();
}

void ControlWindow::showContextMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}

void ControlWindow::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(ControlLayout::LogoRect, Qt::AlignCenter, QStringLiteral("KINETROPE"));
}

void ControlWindow::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void ControlWindow::dropEvent(QDropEvent *e)
{
    e->acceptProposedAction();
}

void ControlWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void ControlWindow::hideToStatusArea()
{
    hide();
}

void ControlWindow::exitButton()
{
    if (m_prefs.isOn(Key::CloseHides)) {
        hideToStatusArea();
        return;
    }
    if (m_settings.read(Key::AskExitQuestion) == 0) {
        m_settings.write(Key::AskExitQuestion, 1);
        m_prefs.set(Key::AskExitQuestion, 1);
        const auto answer = m_prompt.message(
            {ExitQuestion, QStringLiteral("Close or Hide?"), PromptKind::YesNo, PromptKind::Question});
        if (answer == PromptKind::AnswerYes) {
            m_settings.write(Key::CloseHides, 1);
            m_prefs.set(Key::CloseHides, 1);
            hideToStatusArea();
            return;
        }
    }
    closeProgram();
}

void ControlWindow::closeProgram()
{
    if (m_closing)
        return;
    m_closing = true;
    m_timers[UpdateTimer]->stop();
    shutdown(false);
}

void ControlWindow::closeEvent(QCloseEvent *e)
{
    closeProgram();
    e->accept();
}

void ControlWindow::shutdown(bool restart)
{
    m_closing = true;
    if (m_tray)
        m_tray->hide();
    const QRect r = frameGeometry();
    m_settings.write(Key::WindowLeft, r.left());
    m_settings.write(Key::WindowTop, r.top());
    m_settings.write(Key::WindowRight, r.left() + r.width());
    m_settings.write(Key::WindowBottom, r.top() + r.height());
    m_settings.write(Key::WindowSize, m_windowSizeMode);
    m_settings.write(Key::VideoSize, m_videoScale);
    m_settings.write(Key::RandomState, m_randomState);
    m_settings.write(Key::AutoLoop, m_autoLoop);
    m_settings.write(Key::LoopPlaylist, m_loopPlaylist);
    m_settings.write(Key::DockWindow, m_docked);
    m_settings.write(Key::Remain, m_remain);
    m_settings.write(Key::Current, m_timeRemaining);
    m_timers[ClockTimer]->stop();
    done(restart ? RestartResult : 0);
}
