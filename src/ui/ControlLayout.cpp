#include "ControlLayout.h"

namespace {

constexpr ControlPlace Places[] = {
    // band 1, 0..104: the title, the window's own buttons, the transport
    {1024, {146, 6, 22, 22}},   // compact view
    {1023, {168, 6, 22, 22}},   // minimal view
    {14, {190, 6, 23, 22}},     // check for update
    {12, {213, 6, 22, 22}},     // status area view
    {9, {235, 6, 22, 22}},      // exit, clear of the rounded corner
    {5, {10, 36, 35, 24}},      // rewind
    {6, {46, 36, 35, 24}},      // review
    {1105, {82, 36, 35, 24}},   // play/pause
    {8, {118, 36, 35, 24}},     // cue
    {7, {154, 36, 35, 24}},     // fast forward
    {3, {190, 36, 35, 24}},     // stop
    {4, {226, 36, 30, 24}},     // eject
    {10, {10, 66, 36, 24}},     // frame reverse
    {11, {47, 66, 36, 24}},     // frame advance
    {1021, {84, 66, 36, 24}},   // open file
    {1022, {121, 66, 36, 24}},  // playlist editor
    {13, {158, 66, 30, 24}},    // dock
    {1018, {190, 66, 32, 24}},  // full screen
    {1061, {224, 66, 32, 24}},  // fill screen
    // band 2, 104..189: the time clocks
    {1085, {12, 106, 244, 34}}, // current time
    {1084, {12, 146, 78, 18}},  // start time
    {1086, {95, 146, 78, 18}},  // end time
    {1087, {178, 146, 78, 18}}, // total time
    {1092, {12, 165, 78, 11}},
    {1094, {95, 165, 78, 11}},
    {1096, {178, 165, 78, 11}},
    {1095, {102, 176, 64, 13}}, // elapsed / remaining
    // band 3, 189..491: everything else
    {1008, {12, 194, 200, 20}}, // start slider
    {1015, {216, 194, 40, 20}}, // set start
    {1005, {12, 216, 244, 22}}, // position slider
    {1007, {12, 240, 200, 20}}, // stop slider
    {1014, {216, 240, 40, 20}}, // set stop
    {1103, {12, 266, 60, 12}},
    {1083, {76, 262, 50, 20}},  // speed display
    {1017, {216, 262, 40, 20}}, // reset points
    {1010, {12, 286, 244, 20}}, // speed slider
    {1047, {12, 310, 36, 20}},
    {1048, {52, 310, 36, 20}},
    {1050, {92, 310, 36, 20}},
    {1044, {132, 310, 36, 20}},
    {1045, {172, 310, 36, 20}},
    {1046, {212, 310, 44, 20}},
    {1097, {12, 340, 56, 12}},
    {1082, {70, 336, 52, 20}},  // file number
    {1108, {126, 341, 32, 12}}, // current number
    {1109, {160, 341, 33, 12}}, // remaining
    {16, {226, 333, 30, 26}},   // drop queue
    {15, {12, 364, 24, 22}},    // random
    {1019, {38, 364, 26, 22}},  // loop file
    {1114, {66, 364, 26, 22}},  // loop list
    {1104, {92, 369, 50, 12}},
    {1093, {142, 364, 25, 22}},
    {1100, {167, 364, 25, 22}},
    {1101, {192, 364, 25, 22}},
    {1102, {217, 364, 25, 22}},
    {1117, {12, 390, 124, 20}}, // volume
    {1098, {138, 396, 25, 9}},  // the volume wedge
    {1056, {12, 412, 124, 20}}, // balance
    {1099, {138, 418, 25, 9}},  // the balance indicator
    {1074, {168, 394, 36, 34}}, // mute
    {1106, {0, 0, 0, 0}},       // the mute label is hidden
    {1016, {0, 0, 0, 0}},       // hidden mute state
    {1028, {208, 390, 48, 24}}, // VCD
    {1029, {208, 414, 48, 22}}, // DVD
    {1088, {12, 440, 244, 20}}, // clock
    {1089, {12, 462, 244, 24}}, // title and date
};

} // namespace

namespace ControlLayout {

std::span<const ControlPlace> places() { return Places; }

const ControlPlace *place(int id)
{
    for (const ControlPlace &p : Places) {
        if (p.id == id)
            return &p;
    }
    return nullptr;
}

} // namespace ControlLayout
