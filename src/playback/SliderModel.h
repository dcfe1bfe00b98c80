#pragma once

#include <algorithm>

// The state of one trackbar without the widget: range, value, page size and ticks.
// The value always lies in the range, as a trackbar keeps it.
class SliderModel
{
public:
    SliderModel(int minimum = 0, int maximum = 100) : m_min(minimum), m_max(std::max(minimum, maximum)) {}

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int value() const { return m_value; }
    int pageSize() const { return m_pageSize; }
    int tickFrequency() const { return m_tickFrequency; }

    void setRange(int minimum, int maximum)
    {
        m_min = minimum;
        m_max = std::max(minimum, maximum);
        setValue(m_value);
    }
    void setValue(int v) { m_value = std::clamp(v, m_min, m_max); }
    void setPageSize(int p) { m_pageSize = p; }
    void setTickFrequency(int f) { m_tickFrequency = f; }

private:
    int m_min;
    int m_max;
    int m_value = 0;
    int m_pageSize = 1;
    int m_tickFrequency = 0; // no ticks
};
