#include "Preferences.h"

#include "app/SettingsStore.h"

Preferences::Preferences()
{
    for (const IntKey *k : Key::PreferenceKeys)
        m_values.insert(QLatin1String(k->name), k->def);
}

int Preferences::value(const IntKey &key) const
{
    return m_values.value(QLatin1String(key.name), key.def);
}

void Preferences::set(const IntKey &key, int value)
{
    m_values.insert(QLatin1String(key.name), value);
}

void Preferences::load(const SettingsStore &store)
{
    for (const IntKey *k : Key::PreferenceKeys)
        m_values.insert(QLatin1String(k->name), store.read(*k));
}

void Preferences::save(SettingsStore &store) const
{
    for (const IntKey *k : Key::PreferenceKeys)
        store.write(*k, value(*k));
}
