#pragma once

#include "app/Prompt.h"

#include <QImage>
#include <QWidget>

#include <atomic>

class QLabel;
class QTimer;
struct mpv_handle;

// The preview pane of the open dialogs: a still frame of the selected media file and its
// duration, from a small libmpv player of its own that decodes no sound and shows nothing.
class MediaPreview : public QWidget
{
    Q_OBJECT
public:
    explicit MediaPreview(QWidget *parent = nullptr);
    ~MediaPreview() override;

    // For WidgetPrompt::setPreviewFactory: a pane that follows the dialog's current file.
    static WidgetPrompt::PreviewFactory factory();

    // Previews a file (after a short pause, so running through a folder stays quick);
    // a folder, a playlist or an empty path clears the pane.
    void showFile(const QString &path);

    QString shownFile() const { return m_path; }
    QString durationText() const;
    QImage picture() const { return m_picture; }
    // "H:MM:SS" or "M:SS".
    static QString durationText(double seconds);

Q_SIGNALS:
    // The preview of shownFile() is complete (picture, duration or the failure).
    void ready();

private:
    void load();
    bool ensurePlayer();
    void drain();
    void takePicture();
    void clear(const QString &text);
    void finish();

    QLabel *m_image;
    QLabel *m_text;
    QTimer *m_delay;
    mpv_handle *m_mpv = nullptr;
    bool m_playerFailed = false;
    std::atomic<bool> m_wakeupQueued{false};
    QString m_path;
    qint64 m_entry = -1;    // the player's entry for m_path
    bool m_current = false; // the player's events are about m_path now
    bool m_done = true;
    QImage m_picture;
};
