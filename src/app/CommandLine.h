#pragma once

#include <QString>
#include <QStringList>

// What the program was asked on its command line. Read before the application object
// exists: "--help" and "--version" must answer without a display, and the toolkit's own
// options are passed on to it while the files are kept from it (it would take a file
// named like one of its options).
struct CommandLine {
    enum class Action { Run, Help, Version, ExportSkin, Error };

    Action action = Action::Run;
    // The media files and playlists, in the order given, each as a path.
    QStringList files;
    // The one current path the first start opens or a later start hands over: with a single
    // argument that argument by the old quoting rules, otherwise the first file.
    QString currentPath;
    QString exportFolder;
    QString error;            // Action::Error: what was wrong, for the user
    QStringList qtArguments;  // the toolkit's options, for the application object
    bool platformChosen = false;

    // arguments.at(0) is the program.
    static CommandLine parse(const QStringList &arguments);
    // A file argument as a path: the quoting rule, then a file:// URI as its local path.
    static QString fileArgument(const QString &argument);

    static QString usage();
    static QString helpText();
    static QString versionText();
};
