#include "PlayerApp.h"

#include "HandOff.h"
#include "InstanceGuard.h"
#include "skin/BmpFile.h"
#include "skin/BuiltinImages.h"
#include "playlist/MediaPreview.h"
#include "ui/ControlWindow.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QDir>
#include <QIcon>
#include <QUrl>

#include <cstdio>

namespace {
constexpr int RestartResult = 1;
const QString MprisName = QStringLiteral("org.mpris.MediaPlayer2.kinetrope");
} // namespace

PlayerApp::PlayerApp(int &argc, char **argv, CommandLine commandLine)
    : QApplication(argc, argv), m_commandLine(std::move(commandLine))
{
    auto prompt = std::make_unique<WidgetPrompt>();
    prompt->setPreviewFactory(MediaPreview::factory());
    m_prompt = std::move(prompt);
    setOrganizationName(QString::fromLatin1(Key::Company));
    setQuitOnLastWindowClosed(false); // the run loop below decides when the program ends
    // The desktop finds the launcher, and so the icon, of our windows by this name.
    setDesktopFileName(desktopId());
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
}

QString PlayerApp::desktopId()
{
    return QStringLiteral(KT_DESKTOP_ID);
}

PlayerApp::~PlayerApp() = default;

QString PlayerApp::commandLinePath(const QStringList &arguments)
{
    return CommandLine::parse(arguments).currentPath;
}

bool PlayerApp::registerAsMediaPlayer(bool firstInstance)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString name = firstInstance ? MprisName
                                       : MprisName + QStringLiteral(".instance%1").arg(applicationPid());
    if (!bus.registerService(name))
        return false;
    m_busName = name;
    return true;
}

int PlayerApp::exportSkin(const QString &folder)
{
    // A starting point for a skin of one's own: every built-in image, as the .bmp it replaces.
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "kinetrope: cannot make the folder '%s'\n", qPrintable(folder));
        return 1;
    }
    int written = 0;
    for (const BuiltinImages::Info &info : BuiltinImages::all()) {
        const QString file = QDir(folder).filePath(QStringLiteral("%1_%2.bmp").arg(info.id).arg(QLatin1String(info.name)));
        QString why;
        if (!BmpFile::save(BuiltinImages::image(info.id), file, &why)) {
            std::fprintf(stderr, "kinetrope: cannot write '%s': %s\n", qPrintable(file), qPrintable(why));
            return 1;
        }
        ++written;
    }
    std::printf("%d images written to %s\n", written, qPrintable(QDir(folder).absolutePath()));
    return 0;
}

int PlayerApp::initInstance()
{
    if (m_commandLine.action == CommandLine::Action::ExportSkin)
        return exportSkin(m_commandLine.exportFolder);

    // 1. The guard first: a later start must not build anything of its own.
    m_guard = new InstanceGuard(m_settings.appName(), *m_prompt, this);
    const bool first = m_guard->check();

    // 3. Settings are readable from here on (the company name is set in the constructor).
    const bool multiple = m_settings.read(Key::MultipleInstance) != 0;

    // 4. Registration as a media player; its result does not matter.
    if (first || multiple)
        registerAsMediaPlayer(first);

    // 6-8.
    auto window = std::make_unique<ControlWindow>(m_settings, *m_prompt, m_processState);
    if (first)
        HandOff::clear(m_settings);
    window->setCurrentPath(m_commandLine.currentPath);
    // A file manager sends every file selected; they become the list, in their order. The
    // running instance works in another folder, and the list outlives this one's.
    QStringList files;
    for (const QString &f : std::as_const(m_commandLine.files)) {
        // An address the engine streams from is no file of this folder.
        const bool address = QUrl(f).scheme().size() > 1 && f.contains(QLatin1String("://"));
        files.append(address ? f : QFileInfo(f).absoluteFilePath());
    }
    if (files.size() > 1)
        window->setStartFiles(files);

    if (!first && !multiple) {
        // 10. Hand the files over; the running instance was already asked to come forward.
        if (!files.isEmpty()) {
            HandOff::offer(m_settings, files);
            m_guard->announceOffer();
        }
        return 0;
    }

    // 9. The modal run-and-restart loop.
    for (;;) {
        m_window = window.get();
        connect(m_guard, &InstanceGuard::raiseRequested, m_window, &ControlWindow::bringForward);
        // The offer is in the file already, perhaps in the same tick as the file we last read.
        connect(m_guard, &InstanceGuard::offerWaiting, m_window, [this, w = m_window] {
            m_settings.invalidate();
            w->pollHandOff();
        });
        const int result = window->run();
        if (result != RestartResult)
            break;
        auto fresh = std::make_unique<ControlWindow>(m_settings, *m_prompt, m_processState);
        fresh->setCurrentPath(window->currentPath());
        window = std::move(fresh);
    }
    m_window = nullptr;
    return 0;
}
