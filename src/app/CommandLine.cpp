#include "CommandLine.h"

#include <QUrl>

#include <array>

namespace {

struct ToolkitOption {
    const char *name;
    bool takesValue;
};

// The options QGuiApplication, QApplication and the xcb platform take for themselves.
constexpr std::array<ToolkitOption, 18> ToolkitOptions{{
    {"platform", true},  {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"style", true},     {"stylesheet", true},  {"display", true},    {"name", true},
    {"reverse", false},  {"widgetcount", false}, {"nograb", false},   {"dograb", false},
    {"sync", false},     {"visual", true},
}};

const ToolkitOption *toolkitOption(const QString &arg)
{
    // The toolkit reads its options with one dash or two.
    QString name = arg.mid(1);
    if (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    for (const ToolkitOption &o : ToolkitOptions) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

CommandLine failed(QString why)
{
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.error = std::move(why);
    return c;
}

} // namespace

QString CommandLine::fileArgument(const QString &argument)
{
    QString path = argument;
    if (path.startsWith(QLatin1Char('"'))) {
        // The closing quote is assumed: whatever the last character is, it goes.
        path.remove(0, 1);
        path.chop(1);
    }
    // What a desktop passes for a file it names by URI; escapes such as %20 are decoded.
    if (path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        QUrl url(path, QUrl::StrictMode);
        // "localhost" is this machine, not a share on a server of that name.
        if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            url.setHost(QString());
        if (url.isValid() && url.isLocalFile())
            return url.toLocalFile();
    }
    return path;
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine c;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || arg.size() < 2 || !arg.startsWith(QLatin1Char('-'))) {
            const QString path = fileArgument(arg);
            if (!path.isEmpty())
                c.files.append(path);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            // The first of --help and --version wins.
            if (c.action == Action::Run)
                c.action = Action::Help;
        } else if (arg == QLatin1String("--version")) {
            if (c.action == Action::Run)
                c.action = Action::Version;
        } else if (arg == QLatin1String("--export-skin")) {
            if (i + 1 >= arguments.size())
                return failed(QStringLiteral("option '--export-skin' needs a folder"));
            c.exportFolder = arguments.at(++i);
            if (c.action == Action::Run)
                c.action = Action::ExportSkin;
        } else if (const ToolkitOption *o = toolkitOption(arg)) {
            c.qtArguments.append(arg);
            if (o->takesValue) {
                if (i + 1 >= arguments.size())
                    return failed(QStringLiteral("option '%1' needs a value").arg(arg));
                c.qtArguments.append(arguments.at(++i));
            }
            if (QLatin1String(o->name) == QLatin1String("platform"))
                c.platformChosen = true;
        } else {
            return failed(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    c.currentPath = c.files.value(0);
    return c;
}

QString CommandLine::usage()
{
    return QStringLiteral("Usage: kinetrope [--help] [--version] [--export-skin FOLDER] [--] [FILE|URI]...");
}

QString CommandLine::helpText()
{
    return usage() + QStringLiteral(
        "\n\n"
        "Plays video and sound files, Kinetrope play lists (.lst), VideoCDs and DVDs.\n"
        "\n"
        "One file, or a play list, starts the player with it. Several files become the\n"
        "working play list in the order given, and the first of them is opened. When a\n"
        "player is running already the files are handed to it, and this start ends.\n"
        "A file:// URI is taken as the file it names.\n"
        "\n"
        "  -h, --help              show this help and exit\n"
        "      --version           show the version and exit\n"
        "      --export-skin FOLDER\n"
        "                          write the built-in skin images as .bmp files into FOLDER\n"
        "      --                  end of options: every later argument is a file\n"
        "\n"
        "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n"
        "Settings: ~/.config/Ostrevan/kinetrope.conf. See kinetrope(1).\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Kinetrope " KT_VERSION "\n");
}
