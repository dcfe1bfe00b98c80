#include "disc/OpticalDrives.h"

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <vector>

namespace OpticalDrives {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes in names as \ooo.
QString unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            const bool ok = std::all_of(digits.begin(), digits.end(), [](char d) { return d >= '0' && d <= '7'; });
            if (ok) {
                out.append(char(digits.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return QString::fromUtf8(out);
}

} // namespace

QStringList fromMountInfo(const QByteArray &mountinfo)
{
    struct Mount {
        QString source;
        QString point;
    };
    std::vector<Mount> found;
    for (const QByteArray &line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id parent major:minor root point options [optional...] - type source super-options
        const qsizetype dash = fields.indexOf(QByteArrayLiteral("-"));
        if (fields.size() < 5 || dash < 6 || dash + 2 >= fields.size())
            continue;
        const QByteArray &type = fields[dash + 1];
        const QString source = unescape(fields[dash + 2]);
        const bool optical = type == "iso9660" || type == "udf" || source.startsWith(QLatin1String("/dev/sr"));
        if (!optical)
            continue;
        // A device mounted twice (a bind mount) is one drive.
        if (std::any_of(found.begin(), found.end(), [&](const Mount &m) { return m.source == source; }))
            continue;
        found.push_back({source, unescape(fields[4])});
    }
    QCollator natural;
    natural.setNumericMode(true);
    std::stable_sort(found.begin(), found.end(),
                     [&](const Mount &a, const Mount &b) { return natural.compare(a.source, b.source) < 0; });
    QStringList points;
    for (const Mount &m : found)
        points << m.point;
    return points;
}

QStringList roots()
{
    const QByteArray given = qgetenv("KINETROPE_OPTICAL_ROOTS");
    if (!given.isNull()) {
        QStringList folders;
        for (const QString &folder : QString::fromLocal8Bit(given).split(QLatin1Char(':'), Qt::SkipEmptyParts))
            folders << folder;
        return folders;
    }
    // Read with plain file reads: asking every mount for its size (statfs) would hang on a
    // dead network share.
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromMountInfo(file.readAll());
}

} // namespace OpticalDrives
