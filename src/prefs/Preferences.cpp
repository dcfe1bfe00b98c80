#include "Preferences.h"

#include "app/SettingsStore.h"

#include <algorithm>

namespace {
int inRange(const IntKey &key, int value)
{
    // A stored -1 would never start the playback timer and 0 would run it flat out.
    if (std::string_view(key.name) == Key::UpdatePeriod.name)
        return std::clamp(value, Preferences::MinUpdatePeriod, Preferences::MaxUpdatePeriod);
    return value;
}
} // namespace

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
    m_values.insert(QLatin1String(key.name), inRange(key, value));
}

void Preferences::load(const SettingsStore &store)
{
    for (const IntKey *k : Key::PreferenceKeys)
        set(*k, store.read(*k));
}

