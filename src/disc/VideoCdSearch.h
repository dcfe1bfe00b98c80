#pragma once

#include "disc/VideoCdLayout.h"

#include <QString>

class MediaGraph;
class VideoCdHost;

// Finds a VideoCD or SVCD on the optical volumes, asks whether to play it, and plays its
// tracks one after the other through the control window's media graph.
class VideoCdSearch
{
public:
    VideoCdSearch(VideoCdHost &host, MediaGraph &graph);

    // The VCD button. atLaunch: nothing is asked and nothing is said when no disc is found.
    void search(bool atLaunch = false);
    // Looks at each optical volume in order for a disc the user takes (or that is taken
    // unasked at launch); its first file is then the host's current path.
    bool scanDrives(bool atLaunch = false);
    // A disc found unasked plays as at launch; false, and nothing said, when there is none.
    bool playIfFound();
    // End of a track: the next that plays, or the disc ends.
    void nextTrack();
    // Leaves VideoCD mode, as any other open does; the loaded file is the caller's.
    void end();

    // A disc track is loaded and its end steps to the next one.
    bool active() const { return m_active; }
    bool svcd() const { return m_disc.svcd; }
    // " VCD" or "SVCD" for the file-number readout while active.
    QString readoutText() const;
    // The track loaded: 0 the bumper, 1..99.
    int track() const { return m_track; }
    const VideoCdLayout::Disc &disc() const { return m_disc; }

private:
    bool playFirst();
    void endOfDisc();

    VideoCdHost &m_host;
    MediaGraph &m_graph;
    VideoCdLayout::Disc m_disc;
    bool m_declined = false;
    bool m_active = false;
    int m_track = 1;
};
