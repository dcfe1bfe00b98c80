#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QWidget;

// Every message box, question and file dialog of the program goes through a Prompt,
// so that a person sees Qt dialogs and a test can answer them.
namespace PromptKind {
enum Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum Icon { NoIcon, Information, Question, Warning, Stop };
enum Answer { AnswerOk = 1, AnswerCancel = 2, AnswerRetry = 4, AnswerYes = 6, AnswerNo = 7 };
} // namespace PromptKind

struct PromptMessage {
    QString text;
    QString caption; // empty: the program's default caption
    PromptKind::Buttons buttons = PromptKind::Ok;
    PromptKind::Icon icon = PromptKind::NoIcon;
    // Text from outside (a server): shown as it is, never read as markup.
    bool plainText = false;
    // Without an owner, kept above every window.
    bool onTop = false;
};

struct FileDialogRequest {
    // OpenOrNew: an open dialog that also takes the name of a file that does not exist yet.
    enum Mode { OpenOne, OpenMany, Save, PickFolder, OpenOrNew };
    Mode mode = OpenOne;
    QString title;
    QString directory;       // folder to start in
    QString fileName;        // proposed file name
    QStringList filters;     // "Media Files (*.avi *.mpg)" style, in order
    QString defaultSuffix;   // added to a saved name that has none
    bool preview = false;    // show a preview of the selected media file
    bool confirmOverwrite = true; // Save: ask before an existing file is replaced
    bool showPatterns = true;     // show a filter's "(patterns)" after its text
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files;       // absolute paths
    int filterIndex = 0;     // the filter in force when accepted
};

// One line of text asked of the user (an address to open).
struct TextRequest {
    QString title;
    QString label;
    QString text; // proposed
};

class Prompt
{
public:
    virtual ~Prompt() = default;
    virtual PromptKind::Answer message(const PromptMessage &m) = 0;
    virtual FileDialogResult fileDialog(const FileDialogRequest &r) = 0;
    // The text entered; accepted is false when the user cancelled.
    virtual QString askText(const TextRequest &r, bool *accepted)
    {
        Q_UNUSED(r);
        *accepted = false;
        return {};
    }

    // The caption a message box takes when none is given.
    static QString defaultCaption();

    PromptKind::Answer error(const QString &text, const QString &caption = QStringLiteral("Error"))
    {
        return message({text, caption, PromptKind::Ok, PromptKind::Stop});
    }
};

// Qt dialogs for people.
class WidgetPrompt : public Prompt
{
public:
    explicit WidgetPrompt(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    PromptKind::Answer message(const PromptMessage &m) override;
    FileDialogResult fileDialog(const FileDialogRequest &r) override;
    QString askText(const TextRequest &r, bool *accepted) override;

    // Builds a preview pane for open dialogs; set by the subsystem that can show media.
    using PreviewFactory = std::function<QWidget *(QWidget *dialog)>;
    void setPreviewFactory(PreviewFactory f) { m_previewFactory = std::move(f); }

private:
    QWidget *m_parent;
    PreviewFactory m_previewFactory;
};

// Answers from a script and keeps what was asked, for tests. With no scripted answer a
// message gets its first button (Ok or Yes) and a file dialog is cancelled.
class ScriptedPrompt : public Prompt
{
public:
    PromptKind::Answer message(const PromptMessage &m) override;
    FileDialogResult fileDialog(const FileDialogRequest &r) override;

    void queueAnswer(PromptKind::Answer a) { m_answers.push_back(a); }
    void queueFiles(const FileDialogResult &r) { m_files.push_back(r); }
    void queueFiles(const QStringList &files) { m_files.push_back({true, files, 0}); }
    QString askText(const TextRequest &r, bool *accepted) override;
    // Without a queued text the question is cancelled.
    void queueText(const QString &text) { m_texts.push_back(text); }

    std::vector<PromptMessage> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<TextRequest> textRequests;

private:
    std::deque<QString> m_texts;
    std::deque<PromptKind::Answer> m_answers;
    std::deque<FileDialogResult> m_files;
};
