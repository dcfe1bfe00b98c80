#include "disc/VideoCdSearch.h"

#include "app/Prompt.h"
#include "app/SettingsKeys.h"
#include "disc/OpticalDrives.h"
#include "disc/VideoCdHost.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"

#include <QDir>

namespace {
const QString LookingText = QStringLiteral("Looking for VCD");
const QString SearchingText = QStringLiteral("Searching for a VCD...");
const QString FoundCaption = QStringLiteral("Found a VideoCD");
const QString AllDeclined = QStringLiteral("No more VideoCD's were found");
const QString NotFound = QStringLiteral("A VideoCD was not found");

// The mount point as a person reads it, without a trailing separator.
QString shownRoot(const QString &root)
{
    QString shown = QDir::cleanPath(root);
    return shown.isEmpty() ? root : shown;
}
} // namespace

VideoCdSearch::VideoCdSearch(VideoCdHost &host, MediaGraph &graph) : m_host(host), m_graph(graph) {}

QString VideoCdSearch::readoutText() const
{
    return m_disc.svcd ? QStringLiteral("SVCD") : QStringLiteral(" VCD");
}

bool VideoCdSearch::scanDrives(bool atLaunch)
{
    m_declined = false;
    const bool withBumper = m_host.preference(Key::Preferences) != 0;
    const bool ask = m_host.preference(Key::AskSearchPref) != 0 && !atLaunch;
    for (const QString &root : OpticalDrives::roots()) {
        VideoCdLayout::Disc disc = VideoCdLayout::find(root, withBumper);
        if (!disc.found())
            continue; // an audio CD, a data disc, an empty drive: not worth a question
        if (ask) {
            const QString text = (disc.svcd ? QStringLiteral("Found a SVCD in drive ")
                                            : QStringLiteral("Found a VideoCD in drive "))
                                 + shownRoot(root) + QStringLiteral("  Attempt to play this one?");
            if (m_host.prompt().message({text, FoundCaption, PromptKind::YesNo, PromptKind::Question})
                != PromptKind::AnswerYes) {
                m_declined = true;
                continue;
            }
        }
        m_disc = disc;
        m_host.setCurrentPath(disc.bumper.isEmpty() ? disc.firstTrack : disc.bumper);
        return true;
    }
    // A file that plays on keeps its path.
    if (!m_graph.loaded())
        m_host.setCurrentPath(QString());
    return false;
}

bool VideoCdSearch::playIfFound()
{
    if (!scanDrives(true))
        return false;
    playFirst();
    return true;
}

void VideoCdSearch::search(bool atLaunch)
{
    m_host.showClockText(LookingText);
    Transport &transport = m_graph.transport();
    if (m_host.fullScreenView() && m_graph.playing()) {
        // In full screen the button is the way out: stopped, windowed, nothing searched.
        m_host.leaveFullScreen();
        transport.stopPlayback();
        m_host.restoreDisplays();
        return;
    }
    if (m_graph.loaded() && !m_graph.playing()) {
        m_graph.closeMedia();
        end();
    }
    const int period = 3 * m_host.preference(Key::UpdatePeriod);
    for (;;) {
        m_host.scrollTitleText(SearchingText, period);
        const bool found = scanDrives(atLaunch);
        m_host.restoreDisplays();
        if (found) {
            playFirst();
            return;
        }
        if (m_declined) {
            m_host.prompt().message({AllDeclined, QStringLiteral("Error"), PromptKind::Ok, PromptKind::Stop});
            return;
        }
        if (atLaunch)
            return;
        if (m_host.prompt().message({NotFound, QStringLiteral("Error"), PromptKind::RetryCancel, PromptKind::Stop})
            != PromptKind::AnswerRetry)
            return;
    }
}

bool VideoCdSearch::playFirst()
{
    // The first file speaks for the disc when it cannot be decoded; later tracks are skipped
    // without a word.
    end();
    m_graph.setVideoCdFound(true);
    m_graph.setVideoCdTrack(false);
    if (!m_graph.openMedia()) {
        end();
        return false;
    }
    m_track = m_disc.bumper.isEmpty() ? 1 : 0;
    m_active = true;
    m_graph.setVideoCdTrack(true);
    m_host.resetQueue();
    m_host.refreshFileNumber();
    m_graph.transport().play();
    return true;
}

void VideoCdSearch::nextTrack()
{
    if (!m_active)
        return;
    for (int n = m_track + 1; n <= VideoCdLayout::LastTrack; ++n) {
        const QString path = VideoCdLayout::trackPath(m_disc, n);
        if (path.isEmpty())
            break; // no such track: the disc has ended (or was taken out)
        m_track = n;
        m_host.setCurrentPath(path);
        if (m_graph.openMedia()) {
            m_graph.transport().play();
            return;
        }
        if (!m_active)
            return; // another open took over while this one waited
    }
    endOfDisc();
}

void VideoCdSearch::endOfDisc()
{
    m_graph.closeMedia();
    end();
    m_host.refreshFileNumber();
}

void VideoCdSearch::end()
{
    m_active = false;
    m_track = 1;
    m_graph.setVideoCdTrack(false);
    m_graph.setVideoCdFound(false);
}
