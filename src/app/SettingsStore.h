#pragma once

#include "SettingsKeys.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <sys/types.h>

#include <ctime>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QSettings;

// Per-user persistent settings: one flat section of named integers and strings.
// Every write reaches the backing file at once, and a read sees another process's write
// at once (the instance hand-off relies on this); the file is parsed again only when it
// changed, so a read of an unchanged file costs one stat.
// Key names compare without regard to case; a key is written as first spelled.
class SettingsStore
{
public:
    // appName defaults to the running executable's base name.
    explicit SettingsStore(QString appName = {});
    // A copy shares the file, not what was read of it.
    SettingsStore(const SettingsStore &other);
    SettingsStore &operator=(const SettingsStore &other);
    ~SettingsStore();

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

    struct Value {
        Value(const IntKey &k, int v) : key(k.name), value(v) {}
        Value(const StringKey &k, const QString &v) : key(k.name), value(v) {}
        const char *key;
        QVariant value;
    };
    // Several values of the program's section in one replacement of the file: another
    // process reads either all of them or none.
    bool write(std::initializer_list<Value> values);

    // The next read parses the file even if it looks unchanged: a replacement within one
    // clock tick can keep the size and every time stamp, and a reused inode number.
    void invalidate() { m_forced = true; }

    QString appName() const { return m_appName; }
    QString fileName() const;

private:
    struct Stamp {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        timespec mtime{};
        timespec ctime{};
        bool operator==(const Stamp &o) const;
    };
    struct Entry {
        QString name;
        QVariant value;
    };
    struct Section {
        QString name;
        QHash<QString, Entry> keys; // lower-case name -> stored spelling and value
    };

    QSettings &settings() const;
    void refresh() const;
    void rebuildIndex() const;
    const Entry *find(const QString &section, const QString &key) const;
    bool writeValues(const QString &section, const std::vector<std::pair<QString, QVariant>> &values);
    static Stamp stampOf(const QByteArray &path);

    QString m_appName;
    mutable std::unique_ptr<QSettings> m_settings;
    mutable QByteArray m_path;
    mutable Stamp m_stamp;
    mutable bool m_known = false;      // m_stamp describes what QSettings holds
    mutable bool m_forced = false;     // parse again whatever the stamp says
    mutable bool m_indexValid = false;
    mutable QHash<QString, Section> m_index; // lower-case section name
};
