#include "disc/VideoCdLayout.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <iterator>

namespace VideoCdLayout {
namespace {

constexpr Row Rows[] = {
    {"MPEGAV", "AVSEQ", ".DAT", false},
    {"MPEGAV", "MUSIC", ".DAT", false},
    {"SEGMENT", "AVSEQ", ".DAT", false},
    {"SEGMENT", "ITEM00", ".DAT", false},
    {"MPEG2", "AVSEQ", ".MPG", true},
};

bool sameName(const QString &entry, const QString &name)
{
    if (entry.compare(name, Qt::CaseInsensitive) == 0)
        return true;
    return entry.endsWith(QLatin1String(";1")) && entry.chopped(2).compare(name, Qt::CaseInsensitive) == 0;
}

// Opened and closed again; without O_NONBLOCK a pipe put in a disc copy would wait for ever.
bool opensForReading(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

const Row *rows(int *count)
{
    if (count)
        *count = int(std::size(Rows));
    return Rows;
}

QString findEntry(const QString &folder, const QString &name)
{
    // The usual case first: the name as written, without listing the folder.
    const QString exact = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (sameName(entry, name))
            return folder + QLatin1Char('/') + entry;
    }
    return {};
}

QString probe(const QString &root, const QStringList &components)
{
    QString path = root;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path == QLatin1String("/"))
        path.clear();
    for (const QString &c : components) {
        path = findEntry(path.isEmpty() ? QStringLiteral("/") : path, c);
        if (path.isEmpty())
            return {};
        if (path.startsWith(QLatin1String("//")))
            path.remove(0, 1);
    }
    const QFileInfo info(path);
    if (!info.isFile() || !opensForReading(path))
        return {};
    return path;
}

QString trackName(const Row &row, int number)
{
    if (number < 1 || number > LastTrack)
        return {};
    return QLatin1String(row.stem) + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'))
           + QLatin1String(row.extension);
}

Disc find(const QString &root, bool withBumper)
{
    Disc disc;
    disc.root = root;
    if (withBumper)
        disc.bumper = probe(root, {QLatin1String(BumperFolder), QLatin1String(BumperName)});
    for (int i = 0; i < int(std::size(Rows)); ++i) {
        const QString first = probe(root, {QLatin1String(Rows[i].folder), trackName(Rows[i], 1)});
        if (first.isEmpty())
            continue;
        disc.row = i;
        disc.firstTrack = first;
        disc.folder = QFileInfo(first).path();
        disc.svcd = Rows[i].svcd;
        break;
    }
    return disc;
}

QString trackPath(const Disc &disc, int number)
{
    if (disc.row < 0)
        return {};
    const QString name = trackName(Rows[disc.row], number);
    if (name.isEmpty())
        return {};
    // From the root each time: a disc taken out ends here, not at the open.
    return probe(disc.root, {QFileInfo(disc.folder).fileName(), name});
}

} // namespace VideoCdLayout
