#pragma once

#include "app/SettingsKeys.h"

#include <QHash>

class SettingsStore;

// The live preference values every part of the player reads. The Options dialog edits
// them; the control window owns the one instance.
class Preferences
{
public:
    Preferences();

    // The playback tick's period in milliseconds, always within the Options slider's range.
    static constexpr int MinUpdatePeriod = 40;
    static constexpr int MaxUpdatePeriod = 500;

    int value(const IntKey &key) const;
    bool isOn(const IntKey &key) const { return value(key) != 0; }
    // Values out of a preference's range are brought into it.
    void set(const IntKey &key, int value);
    int updatePeriod() const { return value(Key::UpdatePeriod); }

    // Each preference takes its stored value, or the table default when none is stored.
    void load(const SettingsStore &store);

private:
    QHash<QLatin1String, int> m_values;
};
