#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <climits>

namespace {

QString matching(const QStringList &names, const QString &name)
{
    for (const QString &n : names) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    }
    return {};
}

// QSettings names are case-sensitive: enter the section as stored (or as given when new)
// and answer the key's stored spelling, empty when there is none.
QString enter(QSettings &s, const QString &section, const QString &key)
{
    const QString g = matching(s.childGroups(), section);
    s.beginGroup(g.isEmpty() ? section : g);
    return matching(s.childKeys(), key);
}

QString executableBaseName()
{
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty())
        return QFileInfo(path).completeBaseName();
    return QCoreApplication::applicationName();
}

} // namespace

SettingsStore::SettingsStore(QString appName)
    : m_appName(appName.isEmpty() ? executableBaseName() : std::move(appName))
{
}

QString SettingsStore::fileName() const
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, Key::Company, m_appName).fileName();
}

int SettingsStore::getProfileInt(const QString &section, const QString &key, int def) const
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, Key::Company, m_appName);
    s.sync(); // pick up another process's write
    const QString k = enter(s, section, key);
    if (k.isEmpty())
        return def;
    const QVariant v = s.value(k);
    // The file keeps no types: a value that is not a whole number is of the wrong type.
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    if (!ok || n < INT_MIN || n > UINT_MAX)
        return def;
    return static_cast<int>(n);
}

bool SettingsStore::writeValue(const QString &section, const QString &key, const QVariant &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, Key::Company, m_appName);
    const QString k = enter(s, section, key);
    s.setValue(k.isEmpty() ? key : k, value);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

bool SettingsStore::writeProfileInt(const QString &section, const QString &key, int value)
{
    return writeValue(section, key, value);
}

QString SettingsStore::getProfileString(const QString &section, const QString &key,
                                        const QString &def) const
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, Key::Company, m_appName);
    s.sync();
    const QString k = enter(s, section, key);
    if (k.isEmpty())
        return def;
    const QVariant v = s.value(k);
    if (!v.canConvert<QString>() || v.typeId() == QMetaType::QStringList)
        return def;
    return v.toString();
}

bool SettingsStore::writeProfileString(const QString &section, const QString &key,
                                       const QString &value)
{
    return writeValue(section, key, value);
}
