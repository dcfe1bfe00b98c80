#include "FileListEditorDialog.h"

#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playlist/FileCopy.h"
#include "playlist/FileDialogs.h"
#include "playlist/PlayList.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QPushButton>

namespace {
const QString SectionName = QString::fromLatin1(PlayList::Section);
const QString CountName = QString::fromLatin1(PlayList::CountKey);
} // namespace

FileListEditorDialog::FileListEditorDialog(SettingsStore &settings, Prompt &prompt, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompt(prompt), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Kinetrope File List Editor"));
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setMinimumWidth(380);

    auto *buttons = new QVBoxLayout;
    const auto button = [&](const char *name, const char *text, void (FileListEditorDialog::*slot)()) {
        auto *b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("moveUp", "Move &Up", &FileListEditorDialog::moveUp);
    button("moveDown", "&Move Down", &FileListEditorDialog::moveDown);
    buttons->addSpacing(12);
    button("add", "A&dd", &FileListEditorDialog::addFiles);
    button("replaceAll", "&Replace All", &FileListEditorDialog::replaceAll);
    button("delete", "&Delete", &FileListEditorDialog::deleteEntry);
    button("clearAll", "C&lear All", &FileListEditorDialog::clearAll);
    buttons->addStretch(1);
    QPushButton *accept = button("accept", "&Accept", &FileListEditorDialog::acceptList);
    accept->setDefault(true);
    button("cancel", "&Cancel", &FileListEditorDialog::reject);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 340);
}

int FileListEditorDialog::run()
{
    if (!choosePlaylist())
        return QDialog::Rejected;
    return exec();
}

bool FileListEditorDialog::choosePlaylist()
{
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenOrNew;
    r.title = QStringLiteral("Choose a playlist to edit OR Enter a new playlist name");
    r.directory = m_settings.read(Key::LastPlayListDirectory, QDir::currentPath());
    r.filters = FileDialogs::playlistFilters();
    r.defaultSuffix = QStringLiteral("lst");
    r.showPatterns = false;
    const FileDialogResult res = m_prompt.fileDialog(r);
    if (!res.accepted || res.files.isEmpty())
        return false;

    const QString path = FileDialogs::withDefaultSuffix(res.files.first(), QStringLiteral("lst"));
    const QFileInfo info(path);
    const bool playlist = PlayList::isPlaylistPath(path);
    QString why;
    if (!info.exists()) {
        if (!writeEmptyFile(path, &why)) {
            m_prompt.error(QStringLiteral("The play list could not be created:\n") + path + u'\n' + why);
            return false;
        }
    } else if (!info.isFile() || !info.isReadable()) {
        m_prompt.error(QStringLiteral("The play list cannot be read:\n") + path);
        return false;
    } else if (!playlist && info.size() > 0) {
        // Writing the list into it would spoil whatever it holds.
        m_prompt.error(QStringLiteral("This is not a play list (.lst) file; it is left unchanged:\n") + path);
        return false;
    }
    m_settings.write(Key::LastDirectory, FileDialogs::folderOf(path));
    m_settings.write(Key::PlayListFilename, path);

    m_path = path;
    m_file.setPath(path);
    m_modified = false;
    m_list->clear();
    if (playlist)
        load();
    updateExtent();
    return true;
}

void FileListEditorDialog::load()
{
    ProfileFile::Batch batch(m_file);
    const int n = PlayList::entryCountOf(m_file);
    QStringList paths;
    for (int i = 0; i < n; ++i) {
        const QString v = m_file.readString(SectionName, PlayList::entryKey(i));
        if (!v.isEmpty())
            paths << v;
    }
    m_list->addItems(paths);
}

QStringList FileListEditorDialog::entries() const
{
    QStringList out;
    out.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

void FileListEditorDialog::updateExtent()
{
    const QFontMetrics fm(m_list->font());
    int widest = 0;
    for (int i = 0; i < m_list->count(); ++i)
        widest = std::max(widest, fm.horizontalAdvance(m_list->item(i)->text()));
    m_extent = widest;
}

bool FileListEditorDialog::chooseFiles(const QString &title, const QString &defaultFolder, QStringList *files)
{
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenMany;
    r.title = title;
    r.directory = m_settings.read(Key::LastDirectory, defaultFolder);
    r.filters = FileDialogs::mediaFilters();
    r.defaultSuffix = QStringLiteral("MPG");
    r.preview = true;
    r.showPatterns = false;
    const FileDialogResult res = m_prompt.fileDialog(r);
    if (!res.accepted || res.files.isEmpty())
        return false;
    m_settings.write(Key::LastDirectory, FileDialogs::folderOf(res.files.first()));
    *files = res.files;
    return true;
}

void FileListEditorDialog::append(const QStringList &paths)
{
    QStringList refused;
    for (const QString &p : paths) {
        if (ProfileFile::isStorable(p))
            m_list->addItem(p);
        else
            refused << p;
    }
    if (!refused.isEmpty()) {
        m_prompt.error(QStringLiteral("A file name with a line break cannot be put in a play list:\n")
                       + refused.join(u'\n'));
    }
    updateExtent();
}

void FileListEditorDialog::addFiles()
{
    const QString title = FileDialogs::OsVersionCode >= 3
        ? QStringLiteral("Choose one or more files to add...")
        : QStringLiteral("Choose one or more files to add or preview a file...");
    QStringList files;
    if (!chooseFiles(title, QDir::rootPath(), &files))
        return;
    m_modified = true;
    append(files);
}

void FileListEditorDialog::replaceAll()
{
    const QString title = FileDialogs::OsVersionCode >= 3
        ? QStringLiteral("Choose one or more files...")
        : QStringLiteral("Choose one or more files or preview a file...");
    QStringList files;
    if (!chooseFiles(title, QDir::currentPath(), &files))
        return;
    m_modified = true;
    m_list->clear();
    append(files);
}

void FileListEditorDialog::moveUp()
{
    const int s = m_list->currentRow();
    if (s <= 0)
        return;
    m_list->insertItem(s - 1, m_list->takeItem(s));
    m_list->setCurrentRow(s - 1);
    m_modified = true;
}

void FileListEditorDialog::moveDown()
{
    const int s = m_list->currentRow();
    if (s < 0 || s >= m_list->count() - 1)
        return;
    m_list->insertItem(s + 1, m_list->takeItem(s));
    m_list->setCurrentRow(s + 1);
    m_modified = true;
}

bool FileListEditorDialog::confirmed()
{
    return m_prompt.message({QStringLiteral("Are You Sure?"), QStringLiteral("Confirm"), PromptKind::YesNo,
                             PromptKind::Question})
        == PromptKind::AnswerYes;
}

void FileListEditorDialog::deleteEntry()
{
    const int s = m_list->currentRow();
    if (s < 0 || !confirmed())
        return;
    delete m_list->takeItem(s);
    m_modified = true;
    updateExtent();
}

void FileListEditorDialog::clearAll()
{
    if (!confirmed())
        return;
    m_list->clear();
    m_modified = true;
    updateExtent();
}

bool FileListEditorDialog::write()
{
    const QStringList list = entries();
    ProfileFile::Batch batch(m_file);
    bool ok = true;
    for (int i = 0; i < list.size(); ++i)
        ok = m_file.writeString(SectionName, PlayList::entryKey(i), list[i]) && ok;
    ok = m_file.writeString(SectionName, PlayList::entryKey(int(list.size())), QString()) && ok;
    ok = m_file.writeInt(SectionName, CountName, int(list.size())) && ok;
    ok = batch.commit() && ok;
    if (!ok) {
        m_prompt.error(QStringLiteral("The play list could not be written:\n") + m_path + u'\n'
                       + m_file.errorString());
    }
    return ok;
}

void FileListEditorDialog::acceptList()
{
    // A list that could not be written stays open, so the edits are not lost.
    if (m_modified && !write())
        return;
    m_modified = false;
    accept();
}
