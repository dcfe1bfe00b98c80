#include "Prompt.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

QString Prompt::defaultCaption()
{
    // As a dialog-based program's message boxes: the executable's name.
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("kinetrope") : name;
}

PromptKind::Answer WidgetPrompt::message(const PromptMessage &m)
{
    using namespace PromptKind;
    QMessageBox box(m.onTop ? nullptr : m_parent);
    box.setWindowTitle(m.caption.isEmpty() ? defaultCaption() : m.caption);
    // Texts come from a platform where "\r" also breaks a line.
    QString text = m.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m.plainText)
        box.setTextFormat(Qt::PlainText);
    if (m.onTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setText(text);
    switch (m.icon) {
    case Information: box.setIcon(QMessageBox::Information); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Warning: box.setIcon(QMessageBox::Warning); break;
    case Stop: box.setIcon(QMessageBox::Critical); break;
    case NoIcon: break;
    }
    switch (m.buttons) {
    case Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return AnswerYes;
    case QMessageBox::No: return AnswerNo;
    case QMessageBox::Retry: return AnswerRetry;
    case QMessageBox::Cancel: return AnswerCancel;
    default: return m.buttons == YesNo ? AnswerNo : AnswerOk;
    }
}

FileDialogResult WidgetPrompt::fileDialog(const FileDialogRequest &r)
{
    QFileDialog dlg(m_parent, r.title, r.directory);
    // Our own dialog widget, so a preview pane can sit beside the list.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setNameFilters(r.filters);
    dlg.setFilter(dlg.filter() | QDir::Hidden);
    if (!r.defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(r.defaultSuffix);
    switch (r.mode) {
    case FileDialogRequest::OpenOne: dlg.setFileMode(QFileDialog::ExistingFile); break;
    case FileDialogRequest::OpenMany: dlg.setFileMode(QFileDialog::ExistingFiles); break;
    case FileDialogRequest::Save:
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        break;
    case FileDialogRequest::PickFolder: dlg.setFileMode(QFileDialog::Directory); break;
    case FileDialogRequest::OpenOrNew: dlg.setFileMode(QFileDialog::AnyFile); break;
    }
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    dlg.setOption(QFileDialog::HideNameFilterDetails, !r.showPatterns);
    if (!r.fileName.isEmpty())
        dlg.selectFile(r.fileName);
    if (r.preview && m_previewFactory) {
        if (auto *grid = qobject_cast<QGridLayout *>(dlg.layout())) {
            if (QWidget *pane = m_previewFactory(&dlg))
                grid->addWidget(pane, 1, grid->columnCount(), grid->rowCount() - 1, 1);
        }
    }
    FileDialogResult out;
    if (dlg.exec() != QDialog::Accepted)
        return out;
    out.accepted = true;
    out.files = dlg.selectedFiles();
    out.filterIndex = std::max<qsizetype>(0, r.filters.indexOf(dlg.selectedNameFilter()));
    return out;
}

PromptKind::Answer ScriptedPrompt::message(const PromptMessage &m)
{
    messages.push_back(m);
    if (!m_answers.empty()) {
        const auto a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    switch (m.buttons) {
    case PromptKind::YesNo:
    case PromptKind::YesNoCancel: return PromptKind::AnswerYes;
    case PromptKind::RetryCancel: return PromptKind::AnswerCancel; // never loop a test
    default: return PromptKind::AnswerOk;
    }
}

FileDialogResult ScriptedPrompt::fileDialog(const FileDialogRequest &r)
{
    fileRequests.push_back(r);
    if (m_files.empty())
        return {};
    auto f = m_files.front();
    m_files.pop_front();
    return f;
}

QString WidgetPrompt::askText(const TextRequest &r, bool *accepted)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, r.title, r.label, QLineEdit::Normal, r.text, &ok);
    *accepted = ok;
    return ok ? text : QString();
}

QString ScriptedPrompt::askText(const TextRequest &r, bool *accepted)
{
    textRequests.push_back(r);
    *accepted = !m_texts.empty();
    if (m_texts.empty())
        return {};
    const QString text = m_texts.front();
    m_texts.pop_front();
    return text;
}
