#pragma once

#include "playlist/ProfileFile.h"

#include <QDialog>
#include <QStringList>

class Prompt;
class QListWidget;
class QPushButton;
class SettingsStore;

// Edits one playlist file as a list of full paths. run() first asks which file (a new name
// creates it empty); Accept writes the list only when it was changed.
class FileListEditorDialog : public QDialog
{
    Q_OBJECT
public:
    FileListEditorDialog(SettingsStore &settings, Prompt &prompt, QWidget *parent = nullptr);

    // Asks for the playlist and, when one was given, runs the editor modally.
    int run();
    // The first step of run(): false when no playlist was chosen (the editor does not show).
    bool choosePlaylist();

    // The buttons.
    void addFiles();     // "A&dd"
    void replaceAll();   // "&Replace All"
    void moveUp();       // "Move &Up"
    void moveDown();     // "&Move Down"
    void deleteEntry();  // "&Delete", after "Are You Sure?"
    void clearAll();     // "C&lear All", after "Are You Sure?"
    void acceptList();   // "&Accept": writes when modified, then closes

    QString playlistPath() const { return m_path; }
    QStringList entries() const;
    bool isModified() const { return m_modified; }
    // The widest entry in pixels; the list scrolls sideways that far.
    int horizontalExtent() const { return m_extent; }
    QListWidget *listWidget() const { return m_list; }

private:
    void load();
    bool chooseFiles(const QString &title, const QString &defaultFolder, QStringList *files);
    void append(const QStringList &paths);
    void updateExtent();
    bool confirmed();
    bool write();

    SettingsStore &m_settings;
    Prompt &m_prompt;
    ProfileFile m_file;
    QString m_path;
    bool m_modified = false;
    int m_extent = 0;
    QListWidget *m_list;
};
