#include "PlayerApp.h"

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

#include <cstdio>

namespace {
constexpr int RestartResult = 1;
const QString MprisName = QStringLiteral("org.mpris.MediaPlayer2.kinetrope");
} // namespace

PlayerApp::PlayerApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    auto prompt = std::make_unique<WidgetPrompt>();
    prompt->setPreviewFactory(MediaPreview::factory());
    m_prompt = std::move(prompt);
    setOrganizationName(QString::fromLatin1(Key::Company));
    setQuitOnLastWindowClosed(false); // the run loop below decides when the program ends
    setWindowIcon(QIcon(QStringLiteral(":/kinetrope.png")));
}

PlayerApp::~PlayerApp() = default;

QString PlayerApp::commandLinePath(const QStringList &arguments)
{
    QString path;
    if (arguments.size() > 1) {
        path = arguments.at(1);
        if (path.startsWith(QLatin1Char('"'))) {
            // The closing quote is assumed: whatever the last character is, it goes.
            path.remove(0, 1);
            path.chop(1);
        }
    }
    return path;
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
        if (!BmpFile::save(BuiltinImages::image(info.id), file)) {
            std::fprintf(stderr, "kinetrope: cannot write '%s'\n", qPrintable(file));
            return 1;
        }
        ++written;
    }
    std::printf("%d images written to %s\n", written, qPrintable(QDir(folder).absolutePath()));
    return 0;
}

int PlayerApp::initInstance()
{
    const QStringList args = arguments();
    if (args.size() > 1 && args.at(1) == QLatin1String("--export-skin"))
        return exportSkin(args.value(2));

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
        m_settings.write({{Key::MultipleInstanceRunTimeFlag, 0}, {Key::MultipleInstanceRunTimeStr, QString()}});
    window->setCurrentPath(commandLinePath(arguments()));

    if (!first && !multiple) {
        // 10. Hand the file over; the running instance was already asked to come forward.
        // It works in another folder; one write, so that it never sees the flag without the path.
        if (!window->currentPath().isEmpty()) {
            const QString path = QFileInfo(window->currentPath()).absoluteFilePath();
            m_settings.write({{Key::MultipleInstanceRunTimeStr, path}, {Key::MultipleInstanceRunTimeFlag, 1}});
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
