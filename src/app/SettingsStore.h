#pragma once

#include "SettingsKeys.h"

#include <QString>
#include <QVariant>

// Per-user persistent settings: one flat section of named integers and strings.
// Every read goes to the backing file and every write reaches it at once, so two
// processes see each other's values (the instance hand-off relies on this).
// Key names compare without regard to case; a key is written as first spelled.
class SettingsStore
{
public:
    // appName defaults to the running executable's base name.
    explicit SettingsStore(QString appName = {});

    int getProfileInt(const QString &section, const QString &key, int def) const;
    bool writeProfileInt(const QString &section, const QString &key, int value);
    QString getProfileString(const QString &section, const QString &key, const QString &def) const;
    bool writeProfileString(const QString &section, const QString &key, const QString &value);

    // The program's own section.
    int read(const IntKey &key) const { return getProfileInt(Key::Section, key.name, key.def); }
    int read(const IntKey &key, int def) const { return getProfileInt(Key::Section, key.name, def); }
    QString read(const StringKey &key) const
    {
        return getProfileString(Key::Section, key.name, QString::fromUtf8(key.def));
    }
    QString read(const StringKey &key, const QString &def) const
    {
        return getProfileString(Key::Section, key.name, def);
    }
    void write(const IntKey &key, int value) { writeProfileInt(Key::Section, key.name, value); }
    void write(const StringKey &key, const QString &value)
    {
        writeProfileString(Key::Section, key.name, value);
    }

    QString appName() const { return m_appName; }
    QString fileName() const;

private:
    bool writeValue(const QString &section, const QString &key, const QVariant &value);

    QString m_appName;
};
