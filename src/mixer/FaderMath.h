#pragma once

#include "MixerDevice.h"

#include <optional>

// The arithmetic between a fader's slider position and the values of its two channels,
// apart from any slider or device.
namespace FaderMath {

enum SubType { Left = 0, Right = 1, Main = 2, Balance = 3 };

struct Scale {
    qint64 range = 0;    // control maximum - minimum
    int steps = 0;       // the slider runs 0..steps
    qint64 stepSize = 1; // mixer units per slider position
    bool vertical = false; // the top is position 0: inverted, so that up is louder
};

// A line may claim more steps than it has units (a null sink says 65537 for 65536): then
// each unit is a step, never a step of no units.
Scale scale(quint32 minimum, quint32 maximum, int steps, bool vertical);

// The slider position for the values; none when it should stay where it is (a balance
// with both channels silent). `ratio` keeps (right - left) / max from the last reading.
std::optional<int> position(SubType type, const Scale &s, const MixerValues &values, double &ratio);

// The values for a slider position, from the current ones and the kept ratio.
MixerValues values(SubType type, const Scale &s, int position, const MixerValues &current, double ratio);

} // namespace FaderMath
