#include "ControlLayout.h"

namespace {

constexpr ControlPlace Places[] = {
    // band 1: 0..104
    {1024, {140, 4, 22, 18}, "C"},      // compact view
    {1023, {164, 4, 22, 18}, "M"},      // minimal view
    {14, {188, 4, 22, 18}, "U"},        // check for update
    {12, {212, 4, 22, 18}, "_"},        // status area view
    {9, {236, 4, 22, 18}, "X"},         // exit
    {5, {12, 30, 30, 30}, "|<"},        // rewind
    {6, {46, 30, 30, 30}, "<<"},        // review
    {1105, {80, 30, 40, 30}, "Play"},   // play/pause
    {8, {124, 30, 30, 30}, ">>"},       // cue
    {7, {158, 30, 30, 30}, ">|"},       // fast forward
    {3, {192, 30, 30, 30}, "[]"},       // stop
    {4, {226, 30, 30, 30}, "^"},        // eject
    {10, {12, 66, 30, 28}, "<|"},       // frame reverse
    {11, {46, 66, 30, 28}, "|>"},       // frame advance
    {1021, {80, 66, 40, 28}, "Open"},   // open file
    {1022, {124, 66, 30, 28}, "Ed"},    // playlist editor
    {13, {158, 66, 30, 28}, "Dk"},      // dock
    {1018, {192, 66, 30, 28}, "Full"},  // full screen
    {1061, {226, 66, 30, 28}, "Fill"},  // fill screen
    // band 2: 104..189, the time clocks
    {1085, {12, 106, 244, 34}, nullptr},  // current time
    {1084, {12, 146, 78, 18}, nullptr},   // start time
    {1086, {95, 146, 78, 18}, nullptr},   // end time
    {1087, {178, 146, 78, 18}, nullptr},  // total time
    {1092, {12, 166, 78, 12}, nullptr},
    {1094, {95, 166, 78, 12}, nullptr},
    {1096, {178, 166, 78, 12}, nullptr},
    {1095, {12, 177, 244, 11}, "Elapsed / Remaining"},
    // band 3: 189..491
    {1008, {12, 196, 200, 18}, nullptr},  // start slider
    {1015, {216, 196, 40, 18}, nullptr},  // set start
    {1005, {12, 218, 244, 20}, nullptr},  // position slider
    {1007, {12, 242, 200, 18}, nullptr},  // stop slider
    {1014, {216, 242, 40, 18}, nullptr},  // set stop
    {1103, {12, 268, 60, 12}, nullptr},
    {1083, {76, 264, 50, 20}, nullptr},   // speed display
    {1017, {216, 264, 40, 18}, nullptr},  // reset points
    {1010, {12, 288, 244, 20}, nullptr},  // speed slider
    {1047, {12, 312, 36, 20}, nullptr},
    {1048, {52, 312, 36, 20}, nullptr},
    {1050, {92, 312, 36, 20}, nullptr},
    {1044, {132, 312, 36, 20}, nullptr},
    {1045, {172, 312, 36, 20}, nullptr},
    {1046, {212, 312, 44, 20}, nullptr},
    {1097, {12, 342, 64, 12}, nullptr},
    {1082, {78, 338, 52, 20}, nullptr},   // file number
    {1108, {134, 338, 20, 20}, "#"},      // current number
    {1109, {156, 338, 20, 20}, "-"},      // remaining
    {15, {186, 338, 22, 20}, "Rnd"},      // random
    {1019, {210, 338, 22, 20}, "LpF"},    // loop file
    {1114, {234, 338, 22, 20}, "LpL"},    // loop list
    {1104, {12, 366, 60, 12}, nullptr},
    {1093, {76, 362, 30, 20}, "50"},
    {1100, {110, 362, 30, 20}, "100"},
    {1101, {144, 362, 30, 20}, "200"},
    {1102, {178, 362, 30, 20}, "300"},
    {16, {212, 362, 44, 20}, "Drop"},     // drop queue
    {1117, {12, 390, 150, 18}, nullptr},  // volume
    {1106, {166, 392, 30, 12}, nullptr},
    {1074, {200, 388, 56, 20}, "Mute"},
    {1016, {0, 0, 0, 0}, nullptr},        // hidden mute state
    {1056, {12, 412, 150, 18}, nullptr},  // balance
    {1028, {166, 410, 44, 20}, "VCD"},
    {1029, {212, 410, 44, 20}, "DVD"},
    {1098, {0, 0, 0, 0}, nullptr},
    {1099, {0, 0, 0, 0}, nullptr},
    {1088, {12, 436, 244, 20}, nullptr},  // clock
    {1089, {12, 460, 244, 24}, nullptr},  // title and date
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
