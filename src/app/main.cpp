#include "app/CommandLine.h"
#include "app/PlayerApp.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

// A program cannot place its own windows on Wayland: docking, the saved coordinates and the
// first start at 50,50 would all silently fail. XWayland lets it, so that is where we run
// unless the user chose a platform.
bool runThroughXWayland(const CommandLine &commandLine)
{
    if (commandLine.platformChosen || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    const bool wayland = qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // Without an X display there is no XWayland to run on.
    return wayland && !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine commandLine = CommandLine::parse(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(qPrintable(CommandLine::helpText()), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(qPrintable(CommandLine::versionText()), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "kinetrope: %s\n%s\nTry 'kinetrope --help' for more information.\n",
                     qPrintable(commandLine.error), qPrintable(CommandLine::usage()));
        return 2;
    case CommandLine::Action::Run:
    case CommandLine::Action::ExportSkin:
        break;
    }

    // The control window repaints a few small displays several times a second. Through X
    // shared memory each flush waits on the server for the previous one; plain requests
    // cost about a third less of an idle core. The picture is drawn by OpenGL either way.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");

    // The toolkit sees its own options only; it would take a file named like one of them.
    std::vector<QByteArray> kept{QByteArray(argv[0])};
    for (const QString &a : std::as_const(commandLine.qtArguments))
        kept.push_back(a.toLocal8Bit());
    if (runThroughXWayland(commandLine)) {
        // An option, not the environment: the programs we start choose for themselves.
        kept.push_back("-platform");
        kept.push_back("xcb");
    }
    std::vector<char *> qtArgv;
    for (QByteArray &a : kept)
        qtArgv.push_back(a.data());
    qtArgv.push_back(nullptr);
    int qtArgc = int(kept.size());

    PlayerApp app(qtArgc, qtArgv.data(), std::move(commandLine));
    return app.initInstance();
}
