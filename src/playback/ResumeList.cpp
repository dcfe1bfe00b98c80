#include "ResumeList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace {
const QByteArray Header = "# Kinetrope resume positions: seconds, a tab, the file\n";
}

ResumeList::ResumeList(QString fileName) : m_file(fileName.isEmpty() ? defaultFile() : std::move(fileName)) {}

QString ResumeList::defaultFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("resume-positions"));
}

void ResumeList::load()
{
    m_entries.clear();
    QFile f(m_file);
    if (!f.open(QIODevice::ReadOnly))
        return;
    while (!f.atEnd() && m_entries.size() < Capacity) {
        QString line = QString::fromUtf8(f.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const double seconds = tab > 0 ? line.left(tab).toDouble(&ok) : 0.0;
        // A line that is not ours is left out rather than trusted.
        if (!ok || !std::isfinite(seconds) || seconds < 0 || tab + 1 >= line.size())
            continue;
        m_entries.append({line.mid(tab + 1), seconds});
    }
}

void ResumeList::save()
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(Header);
    for (const Entry &e : m_entries)
        f.write(QByteArray::number(e.seconds, 'f', 3) + '\t' + e.path.toUtf8() + '\n');
    if (!f.commit())
        qWarning("the resume positions could not be written to %s", qPrintable(m_file));
}

double ResumeList::position(const QString &path)
{
    // Read afresh: another instance may have written since.
    load();
    for (const Entry &e : std::as_const(m_entries)) {
        if (e.path == path)
            return e.seconds;
    }
    return 0;
}

void ResumeList::remember(const QString &path, double seconds)
{
    // A name that would break its line is not kept.
    if (path.isEmpty() || path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')) || !std::isfinite(seconds))
        return;
    // Read afresh: a list kept from earlier would drop what another instance wrote since.
    load();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].path == path) {
            if (i == 0 && std::abs(m_entries[i].seconds - seconds) < 0.001)
                return; // nothing new to write
            m_entries.removeAt(i);
            break;
        }
    }
    m_entries.prepend({path, std::max(0.0, seconds)});
    while (m_entries.size() > Capacity)
        m_entries.removeLast();
    save();
}

void ResumeList::forget(const QString &path)
{
    load();
    const qsizetype before = m_entries.size();
    m_entries.removeIf([&](const Entry &e) { return e.path == path; });
    if (m_entries.size() != before)
        save();
}
