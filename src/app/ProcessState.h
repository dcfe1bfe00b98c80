#pragma once

// The little state that lives for the whole process, across rebuilds of the control window.
struct ProcessState {
    bool compactToggle = false;   // the next compact press restores (true) or reduces
    bool minimalToggle = false;
    double previousTickSeconds = 0;
    int periodInForce = 0;
    bool jogHintShown = false;
    bool noStatusAreaToldOnce = false; // hiding without a status area minimizes, told once
};
