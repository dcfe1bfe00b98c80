// Writes without end, as the player does, until it is killed: write_loop MODE FOLDER FIRST
//   working  the settings (two keys in one write) and the working playlist, generation by generation
//   saveas   the working playlist, then "Save Current as Play List" to FOLDER/saved.lst
//   editor   the list editor: FOLDER/edited.lst chosen, "Replace All", "Accept"
// Prints each generation once it is written. The files of generation g: generationFiles(g).
#include "TestHost.h"
#include "WriteGenerations.h"

#include "app/SettingsStore.h"
#include "playlist/FileDialogs.h"
#include "playlist/FileListEditorDialog.h"
#include "playlist/PlayList.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QByteArray mode = argv[1];
    const QString folder = QFile::decodeName(argv[2]);
    SettingsStore store(QStringLiteral("kinetrope"));
    ScriptedPrompt prompt;
    TestHost host(prompt);
    PlayList list(host, prompt, folder);
    FileDialogs dialogs(store, prompt, list, host);
    if (mode == "editor") {
        // The first dialog loads the style and fonts; the kills are meant for the writes.
        FileListEditorDialog warmUp(store, prompt);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (int g = atoi(argv[3]);; ++g) {
        const QStringList files = generationFiles(g);
        if (mode == "working") {
            store.write({{Key::VideoSize, g}, {Key::LastDirectory, generationFolder(g)}});
            list.startFromSelection(files);
        } else if (mode == "saveas") {
            list.startFromSelection(files);
            host.loaded = true;
            prompt.queueFiles({QDir(folder).filePath(QStringLiteral("saved"))});
            dialogs.savePlaylistAs();
        } else if (mode == "editor") {
            FileListEditorDialog editor(store, prompt);
            prompt.queueFiles({QDir(folder).filePath(QStringLiteral("edited.lst"))});
            if (!editor.choosePlaylist())
                return 3;
            prompt.queueFiles(files);
            editor.replaceAll();
            editor.acceptList();
        } else {
            return 2;
        }
        prompt.messages.clear();
        host.tried.clear();
        host.opened.clear();
        std::printf("%d\n", g);
        std::fflush(stdout);
    }
}
