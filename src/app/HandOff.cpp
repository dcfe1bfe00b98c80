#include "HandOff.h"

#include "SettingsStore.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace HandOff {

bool offer(SettingsStore &settings, const QStringList &files)
{
    if (files.isEmpty())
        return false;
    // A list, not lines: a file name may hold any character but the zero.
    const QString all = files.size() > 1
        ? QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(files)).toJson(QJsonDocument::Compact))
        : QString();
    return settings.write({{Key::MultipleInstanceRunTimeStr, files.first()},
                           {Key::MultipleInstanceRunTimeList, all},
                           {Key::MultipleInstanceRunTimeFlag, 1}});
}

bool clear(SettingsStore &settings)
{
    return settings.write({{Key::MultipleInstanceRunTimeFlag, 0},
                           {Key::MultipleInstanceRunTimeStr, QString()},
                           {Key::MultipleInstanceRunTimeList, QString()}});
}

QStringList severalFiles(const SettingsStore &settings)
{
    const QString all = settings.read(Key::MultipleInstanceRunTimeList);
    if (all.isEmpty())
        return {};
    QStringList files;
    for (const QJsonValue &v : QJsonDocument::fromJson(all.toUtf8()).array()) {
        if (v.isString() && !v.toString().isEmpty())
            files.append(v.toString());
    }
    return files.size() > 1 ? files : QStringList();
}

} // namespace HandOff
