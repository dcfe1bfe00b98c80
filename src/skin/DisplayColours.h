#pragma once

#include "ColourRef.h"

#include <QList>

#include <array>

class DigitalDisplay;
class SettingsStore;

// The segment displays' colour schemes: four groups of displays, each drawn in a back, an on
// and an off colour, kept in the settings with the set that was in force before the last
// change. Every change is stored at once and shown at once.
class DisplayColours
{
public:
    enum Group { Digital, Clock, Date, Speed };
    enum Which { Back, On, Off };
    struct Set {
        ColourRef back, on, off;
        ColourRef &operator[](Which w) { return w == Back ? back : w == On ? on : off; }
        bool operator==(const Set &) const = default;
    };
    static constexpr int GroupCount = 4;

    explicit DisplayColours(SettingsStore &settings);

    // The displays a group colours, in the order they are coloured.
    void setDisplays(Group group, QList<DigitalDisplay *> displays);
    // Reads every group's current colours and shows them (a value that is no number reads as
    // its default; bits above the low 24 mean nothing).
    void load();
    Set current(Group group) const { return m_current[group]; }
    Set previous(Group group) const;

    // One colour replaced: the old one becomes that colour's previous value.
    void change(Group group, Which which, ColourRef colour);
    // The defaults in force, the colours shown until now the previous set.
    void restoreDefaults(Group group);
    // The current and previous sets change places.
    void loadLastSaved(Group group);

    static Set defaults();

private:
    void apply(Group group);
    Set read(Group group, bool previous) const;
    void write(Group group, bool previous, const Set &set);

    SettingsStore &m_settings;
    std::array<Set, GroupCount> m_current{};
    std::array<QList<DigitalDisplay *>, GroupCount> m_displays;
};
