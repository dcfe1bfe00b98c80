#pragma once

#include <QImage>

#include <map>
#include <utility>

// The little state that lives for the whole process, across rebuilds of the control window.
struct ProcessState {
    bool compactToggle = false;   // the next compact press restores (true) or reduces
    bool minimalToggle = false;
    double previousTickSeconds = 0;
    int periodInForce = 0;
    bool jogHintShown = false;
    bool noStatusAreaToldOnce = false; // hiding without a status area minimizes, told once
    // The built-in skin images by (id, pixel ratio): drawn on first use, kept through rebuilds.
    std::map<std::pair<int, qreal>, QImage> builtinImages;
};
