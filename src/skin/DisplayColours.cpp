#include "DisplayColours.h"

#include "DigitalDisplay.h"
#include "app/SettingsStore.h"

namespace {

const Key::ColourKeys &keys(DisplayColours::Group g)
{
    switch (g) {
    case DisplayColours::Digital: return Key::DDColours;
    case DisplayColours::Clock: return Key::ClockColours;
    case DisplayColours::Date: return Key::DateColours;
    case DisplayColours::Speed: return Key::SpeedColours;
    }
    return Key::DDColours;
}

} // namespace

DisplayColours::DisplayColours(SettingsStore &settings) : m_settings(settings)
{
    m_current.fill(defaults());
}

DisplayColours::Set DisplayColours::defaults()
{
    return {Key::DefaultBackColour, Key::DefaultOnColour, Key::DefaultOffColour};
}

void DisplayColours::setDisplays(Group group, QList<DigitalDisplay *> displays)
{
    m_displays[group] = std::move(displays);
}

DisplayColours::Set DisplayColours::read(Group g, bool previous) const
{
    const Key::ColourKeys &k = keys(g);
    // A colour is its low three bytes, whatever else a hand-edited file put there.
    auto colour = [this](const IntKey &key) { return ColourRef(m_settings.read(key) & 0xFFFFFF); };
    return previous ? Set{colour(k.prevBack), colour(k.prevOn), colour(k.prevOff)}
                    : Set{colour(k.back), colour(k.on), colour(k.off)};
}

void DisplayColours::write(Group g, bool previous, const Set &s)
{
    const Key::ColourKeys &k = keys(g);
    m_settings.write(previous ? k.prevBack : k.back, s.back);
    m_settings.write(previous ? k.prevOn : k.on, s.on);
    m_settings.write(previous ? k.prevOff : k.off, s.off);
}

DisplayColours::Set DisplayColours::previous(Group group) const
{
    return read(group, true);
}

void DisplayColours::apply(Group g)
{
    for (DigitalDisplay *d : m_displays[g]) {
        d->setBackColour(m_current[g].back);
        d->setColours(m_current[g].off, m_current[g].on);
    }
}

void DisplayColours::load()
{
    for (int g = 0; g < GroupCount; ++g)
        m_current[g] = read(Group(g), false);
    for (int g = 0; g < GroupCount; ++g)
        apply(Group(g));
}

void DisplayColours::change(Group g, Which which, ColourRef colour)
{
    const Key::ColourKeys &k = keys(g);
    const IntKey &prev = which == Back ? k.prevBack : which == On ? k.prevOn : k.prevOff;
    const IntKey &cur = which == Back ? k.back : which == On ? k.on : k.off;
    // Only this colour's previous value moves; the other two keep theirs.
    m_settings.write(prev, m_current[g][which]);
    m_current[g][which] = ColourRef(colour & 0xFFFFFF);
    apply(g);
    m_settings.write(cur, m_current[g][which]);
}

void DisplayColours::restoreDefaults(Group g)
{
    const Set before = m_current[g];
    m_current[g] = defaults();
    apply(g);
    write(g, true, before);
    write(g, false, m_current[g]);
}

void DisplayColours::loadLastSaved(Group g)
{
    const Set before = m_current[g];
    m_current[g] = read(g, true);
    apply(g);
    write(g, true, before);
    write(g, false, m_current[g]);
}
