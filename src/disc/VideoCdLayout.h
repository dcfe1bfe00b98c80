#pragma once
// Where a VideoCD or SVCD keeps its MPEG tracks, and how a mounted disc names them.
#include <QString>
#include <QStringList>

namespace VideoCdLayout {

// One place a disc's first track can be, in the order they are tried.
struct Row {
    const char *folder;
    const char *stem;      // the name before the two track digits
    const char *extension;
    bool svcd;
};

// The bumper (a CD-i intro clip), played first only when asked for.
inline constexpr const char *BumperFolder = "CDI";
inline constexpr const char *BumperName = "CDI_BUM.DAT";
inline constexpr int LastTrack = 99;

// MPEGAV/AVSEQ01.DAT, MPEGAV/MUSIC01.DAT, SEGMENT/AVSEQ01.DAT, SEGMENT/ITEM0001.DAT,
// MPEG2/AVSEQ01.MPG (the SVCD).
const Row *rows(int *count);

// The entry of a folder that is this name: letter case and a trailing ";1" (ISO 9660 file
// versions, shown by some mount options) do not count. Empty when there is none.
QString findEntry(const QString &folder, const QString &name);

// The path below root that the components name, each found as findEntry() finds it, when
// it ends at a regular file that opens for reading. Empty otherwise: a missing file, a
// folder, a pipe or device, and one that fails to open (no permission, a read error on the
// disc) are all absent. Never waits on a pipe.
QString probe(const QString &root, const QStringList &components);

// A disc found on one root.
struct Disc {
    QString root;
    QString bumper;     // path of the bumper, when asked for and present
    int row = -1;       // row of the first track; -1: none (a bumper alone)
    QString folder;     // the track folder as the mount names it
    QString firstTrack; // path of track 01
    bool svcd = false;
    bool found() const { return !bumper.isEmpty() || row >= 0; }
};

// Looks for the layout on one root; withBumper: look for the bumper too.
Disc find(const QString &root, bool withBumper);

// The file name of a track, 1..99: "AVSEQ07.DAT". Empty outside that range.
QString trackName(const Row &row, int number);
// The path of track number on a disc, found like a probe; empty when it is not there.
QString trackPath(const Disc &disc, int number);

} // namespace VideoCdLayout
