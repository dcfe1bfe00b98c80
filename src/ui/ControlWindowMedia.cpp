// What players of today add to the control window: addresses to play, the open file's
// subtitle and audio tracks, and screenshots.
#include "ControlWindow.h"
#include "ReadoutFormat.h"
#include "Readouts.h"
#include "app/Prompt.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/PlaybackText.h"
#include "playback/Transport.h"
#include "playlist/PlayList.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cmath>

namespace {
// Shown long enough to read the whole name scroll by once.
constexpr int ConfirmationMs = 8000;

QString trackText(const MediaTrack &t)
{
    QString text = t.title.isEmpty() ? QStringLiteral("Track %1").arg(t.id) : t.title;
    if (!t.language.isEmpty())
        text += QStringLiteral(" [%1]").arg(t.language);
    return text;
}
} // namespace

void ControlWindow::listTracks(QMenu *menu, QAction *placeholder, Command command)
{
    for (QAction *a : menu->actions()) {
        if (a->property("track").isValid())
            delete a;
    }
    const auto kind = command == Command::SelectAudio ? MediaEngine::TrackKind::Audio : MediaEngine::TrackKind::Subtitle;
    const QList<MediaTrack> tracks = m_graph->loaded() ? m_graph->engine().tracks(kind) : QList<MediaTrack>();
    placeholder->setVisible(tracks.isEmpty());
    bool anySelected = false;
    for (const MediaTrack &t : tracks) {
        auto *a = new QAction(trackText(t), menu);
        a->setProperty("track", t.id);
        a->setObjectName(placeholder->objectName() + QLatin1Char('.') + QString::number(t.id));
        a->setCheckable(true);
        a->setChecked(t.selected);
        anySelected = anySelected || t.selected;
        menu->insertAction(placeholder, a);
        const Action action{command, double(t.id)};
        connect(a, &QAction::triggered, this, [this, action] { execute(action); });
    }
    // "Off" is ticked while no subtitle shows.
    if (command == Command::SelectSubtitle) {
        for (QAction *a : menu->actions()) {
            if (a->objectName() == QLatin1String("32902")) {
                a->setCheckable(true);
                a->setChecked(m_graph->loaded() && !anySelected);
                a->setEnabled(m_graph->loaded());
            } else if (a->objectName() == QLatin1String("32903")) {
                a->setEnabled(m_graph->loaded() && !m_graph->noVideo());
            }
        }
    }
}

void ControlWindow::askForAddress()
{
    bool accepted = false;
    const QString text = m_prompt.askText({QStringLiteral("Open URL"),
                                           QStringLiteral("Address of a video or audio stream (http, https, HLS):"),
                                           QString()},
                                          &accepted)
                             .trimmed();
    if (!accepted || text.isEmpty())
        return;
    openAddress(text);
}

void ControlWindow::openAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        m_prompt.error(QStringLiteral("''%1'' is not an address Kinetrope can open.\n"
                                      "Give one that starts with http:// or https://")
                           .arg(address));
        return;
    }
    if (m_graph->opening()) {
        afterOpen([this, address] { openAddress(address); });
        return;
    }
    const QString path = url.toString(QUrl::FullyEncoded);
    if (m_graph->playing())
        transport().stopPlayback();
    m_graph->closeMedia();
    // The address replaces whatever list was playing.
    m_playList->resetQueue();
    setCurrentPath(path);
    m_graph->allowAddress(path);
    if (!m_graph->openMedia()) {
        setCurrentPath(QString());
        notifyDesktop();
        return;
    }
    // Once the picture has taken over from the opening (a stream set playing before that
    // stalls at its first frame).
    const QPointer<ControlWindow> self(this);
    QTimer::singleShot(200, this, [self, path] {
        if (self && self->m_graph->loaded() && !self->m_graph->playing() && self->m_currentPath == path) {
            self->transport().play();
            self->notifyDesktop();
        }
    });
    notifyDesktop();
}

void ControlWindow::loadSubtitleFile()
{
    if (!m_graph->loaded() || m_graph->noVideo())
        return;
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenOne;
    r.title = QStringLiteral("Load subtitle file");
    r.directory = MediaGraph::isAddress(m_currentPath) ? QDir::homePath() : QFileInfo(m_currentPath).absolutePath();
    r.filters = {QStringLiteral("Subtitle Files (*.srt *.ass *.ssa *.vtt *.sub *.idx)"),
                 QStringLiteral("All Files (*)")};
    const FileDialogResult result = m_prompt.fileDialog(r);
    if (!result.accepted || result.files.isEmpty())
        return;
    if (!m_graph->engine().addSubtitleFile(result.files.front()))
        m_prompt.error(QStringLiteral("The subtitle file ''%1'' could not be loaded").arg(result.files.front()));
}

QString ControlWindow::screenshotFile() const
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(folder);
    // The file's own name, without what it is ("film.mkv" gives "film").
    QString name = MediaGraph::isAddress(m_currentPath) ? QUrl(m_currentPath).fileName()
                                                        : QFileInfo(m_currentPath).completeBaseName();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("Kinetrope");
    // Hours, minutes, seconds and milliseconds, with no character a file name should avoid.
    const qint64 ms = m_graph->loaded() ? qint64(std::llround(m_graph->engine().position() * 1000)) : 0;
    const QString at = QStringLiteral("%1-%2-%3.%4")
                           .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                           .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                           .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                           .arg(ms % 1000, 3, 10, QLatin1Char('0'));
    return QDir(folder).filePath(name + QLatin1Char(' ') + at + QStringLiteral(".png"));
}

void ControlWindow::saveScreenshot()
{
    if (!m_graph->loaded() || m_graph->noVideo())
        return;
    const QImage frame = m_graph->engine().frameImage();
    const QString file = screenshotFile();
    QSaveFile out(file);
    if (frame.isNull() || !out.open(QIODevice::WriteOnly) || !frame.save(&out, "PNG") || !out.commit()) {
        m_prompt.error(QStringLiteral("The screenshot could not be saved as ''%1''").arg(file));
        return;
    }
    m_readouts->scrollClockText(QStringLiteral("Saved ") + QFileInfo(file).fileName() + QLatin1Char(' '),
                                ::Readout::ClockPlaces, 3 * m_prefs.updatePeriod());
    const QPointer<ControlWindow> self(this);
    QTimer::singleShot(ConfirmationMs, this, [self] {
        if (self)
            self->m_readouts->stopClockScroll();
    });
}
