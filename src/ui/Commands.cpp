#include "Commands.h"

#include <array>

namespace {

using enum Command;
using K = ControlKind;

constexpr ControlEntry Controls[] = {
    {1105, K::Button, PlayPause, nullptr, "Play/Pause File - Plays/Pauses a loaded file, or prompts for a file"},
    {3, K::Button, Stop, nullptr, "Stop -  Stop the file"},
    {4, K::Button, Eject, nullptr, "Eject - Unload the file"},
    {5, K::Button, Rewind, nullptr, "Rewind - Go to start of file"},
    {6, K::Button, Review, nullptr, "Review - Skip backwards"},
    {7, K::Button, FastForward, nullptr, "Fast Forward -  Go to end of file"},
    {8, K::Button, Cue, nullptr, "Cue - Skip forward"},
    {10, K::Button, FrameReverse, nullptr, "Frame Reverse - Reverses the stream one frame"},
    {11, K::Button, FrameAdvance, nullptr, "Frame Advance - Advances the stream one frame"},
    {1047, K::Button, Rate02, ".2", ".2 - Play at one fifth normal speed"},
    {1048, K::Button, Rate05, ".5", ".5 - Play at half normal speed"},
    {1050, K::Button, Rate07, ".&7", ".7 - Play at three quarters normal speed"},
    {1044, K::Button, Rate1, "&1", "1 - Play normally"},
    {1045, K::Button, Rate2, "&2", "2 - Play at twice normal speed"},
    {1046, K::Button, Rate5, "&5", "5 - Play five times normal speed"},
    {1015, K::Button, SetStart, "Se&t", "Set Start Time - Sets the start point at the current point"},
    {1014, K::Button, SetStop, "S&et", "Set Stop Time - Sets the stop point at the current point"},
    {1017, K::Button, ResetPoints, "Re&set", "Reset Sliders - Resets start/end sliders to normal"},
    {1021, K::Button, OpenFile, nullptr, "Open File - Requests a filename"},
    {1022, K::Button, EditPlaylist, nullptr, "Edit/Create a Playlist - Requests a playlist to edit or create"},
    {1028, K::Button, PlayVideoCd, nullptr, "Play a VideoCD - Attempts to find a VideoCD or SVideoCD"},
    {1029, K::Button, PlayDvd, nullptr, "Play a DVD - Attempts to find a DVD"},
    {1074, K::Button, Mute, nullptr, "Audio mute toggle"},
    {1018, K::Button, FullScreen, nullptr, "FullScreen View - Borderless full screen view (press P to Play)"},
    {1061, K::Button, FillScreen, nullptr, "FillScreen View - Fills Screen && keeps border (press P to Play)"},
    {1093, K::Button, Scale50, nullptr, "Half Size View - Sets window to half normal size"},
    {1100, K::Button, Scale100, nullptr, "Normal Size View - Sets window to normal size"},
    {1101, K::Button, Scale200, nullptr, "Double Size View - Sets window to twice the size"},
    {1102, K::Button, Scale300, nullptr, "Triple Size View - Sets window to triple the size"},
    {1023, K::Button, MinimalView, nullptr, "Minimal View - Hides everything except normal controls"},
    {1024, K::Button, CompactView, nullptr, "Compact View - Hides some controls, leaves time clocks"},
    {9, K::Button, ExitButton, nullptr, "Exit - Closes or hides the program depending on preference."},
    {12, K::Button, StatusAreaView, nullptr, "Status Area View - Minimizes the program to the status area"},
    {14, K::Button, CheckUpdate, nullptr, "Check for Update - Look for a newer version of Kinetrope"},
    {13, K::Button, DockToggle, nullptr, "Dock Window - Docks/Un-Docks the video window to the control window"},
    {15, K::Button, RandomToggle, nullptr, "Random Play - Toggles playing playlist in random or normal order"},
    {16, K::Button, DropQueue, nullptr, "Adds the dropped file(s) to the currently playing playlist cue"},
    {1019, K::Button, LoopFileToggle, nullptr, "Loop File - Loops the currently playing file"},
    {1114, K::Button, LoopListToggle, nullptr, "Loop List - Loops the current list of files"},
    {1108, K::Button, ShowCurrentNumber, nullptr, "Sets file number display at current file number"},
    {1109, K::Button, ShowRemaining, nullptr, "Sets file number display at remaining number of files"},
    {1095, K::Label, ToggleTimeRemaining, nullptr,
     "Toggles current time display between time elapsed and time remaining"},
    {1010, K::Slider, SpeedSlider, nullptr, "Adjust Speed - Varies the play speed"},
    {1008, K::Slider, StartSlider, nullptr, "Adjust Start Time - Varies the start point"},
    {1005, K::Slider, PositionSlider, nullptr, "Adjust Current Position - Varies the current position"},
    {1007, K::Slider, StopSlider, nullptr, "Adjust Stop Time - Varies the stop point"},
    {1117, K::Slider, VolumeSlider, nullptr, "Adjust Volume - Varies the system volume"},
    {1056, K::Slider, BalanceSlider, nullptr, "Adjust Balance - Varies the system balance"},
    {1016, K::CheckBox, None, nullptr, nullptr},
    {1092, K::Label, None, "Start Time", nullptr},
    {1094, K::Label, None, "End Time", nullptr},
    {1096, K::Label, None, "Total Time", nullptr},
    {1097, K::Label, None, "Current File", nullptr},
    {1098, K::Label, None, "", nullptr},
    {1099, K::Label, None, "", nullptr},
    {1103, K::Label, None, "Play Speed", nullptr},
    {1104, K::Label, None, "Video Size", nullptr},
    {1106, K::Label, None, "Mute", nullptr},
    {1082, K::Display, None, nullptr, nullptr},
    {1083, K::Display, None, nullptr, nullptr},
    {1084, K::Display, None, nullptr, nullptr},
    // Clicking the current time toggles it, as its label does.
    {1085, K::Display, ToggleTimeRemaining, nullptr,
     "Toggles current time display between time elapsed and time remaining"},
    {1086, K::Display, None, nullptr, nullptr},
    {1087, K::Display, None, nullptr, nullptr},
    {1088, K::Display, None, nullptr, nullptr},
    {1089, K::Display, None, nullptr, nullptr},
};

// Items join as the features behind them are built; id 0 is a separator.
constexpr MenuEntry Menu[] = {
    {57601, OpenFile, "&Open a File or Play List"},
    {32790, CreateEmptyPlaylist, "&Create an empty Play List"},
    {32789, EditPlaylist, "&Edit a Play List"},
    {32775, SaveFileAs, "Save &File As"},
    {32780, SavePlaylistAs, "&Save Current as Play List"},
    {0, None, nullptr},
    {32774, About, "&About"},
    {32772, Exit, "E&xit"},
};

constexpr KeyEntry Keys[] = {
    {Qt::Key_P, false, PlayPause},
    {Qt::Key_Pause, false, PlayPause},
    {Qt::Key_S, false, Stop},
    {Qt::Key_Home, false, Rewind},
    {Qt::Key_End, false, FastForward},
    {Qt::Key_1, false, Rate1},
    {Qt::Key_2, false, Rate2},
    {Qt::Key_7, false, Rate07},
    {Qt::Key_Plus, true, Faster},
    {Qt::Key_Minus, true, Slower},
    {Qt::Key_Escape, false, EscapeKey},
    {Qt::Key_Return, false, EnterKey},
    {Qt::Key_Enter, false, EnterKey},
};

constexpr MediaKeyEntry MediaKeys[] = {
    {11, Qt::Key_MediaNext, FastForward},
    {12, Qt::Key_MediaPrevious, Rewind},
    {13, Qt::Key_MediaStop, Stop},
    {14, Qt::Key_MediaTogglePlayPause, PlayPause},
};

} // namespace

namespace Commands {

std::span<const ControlEntry> controls() { return Controls; }
std::span<const MenuEntry> menu() { return Menu; }
std::span<const KeyEntry> keys() { return Keys; }
std::span<const MediaKeyEntry> mediaKeys() { return MediaKeys; }

const ControlEntry *control(int id)
{
    for (const ControlEntry &c : Controls) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

Command forKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    for (const KeyEntry &k : Keys) {
        // Keypad digits are digits too; only plus and minus insist on the keypad.
        if (k.key == key && (!k.keypad || keypad))
            return k.command;
    }
    return None;
}

Command forMediaKey(int key)
{
    for (const MediaKeyEntry &m : MediaKeys) {
        if (m.key == key)
            return m.command;
    }
    // Qt reports a plain play key on some keyboards.
    return key == Qt::Key_MediaPlay ? PlayPause : None;
}

const char *tooltip(int controlId)
{
    const ControlEntry *c = control(controlId);
    return c ? c->tooltip : nullptr;
}

} // namespace Commands
