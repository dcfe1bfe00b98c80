#pragma once

#include <Qt>

#include <span>

// One table maps every control, menu item, key and media key of the control window to a
// command and, for controls, a tooltip. ControlWindow::execute() performs each command.
enum class Command {
    None,
    // transport
    PlayPause, Play, Pause, Stop, Eject, Rewind, Review, FastForward, Cue, FrameReverse, FrameAdvance,
    Rate02, Rate05, Rate07, Rate1, Rate2, Rate5, Faster, Slower,
    SetStart, SetStop, ResetPoints,
    // files and discs
    OpenFile, EditPlaylist, CreateEmptyPlaylist, SaveFileAs, SavePlaylistAs, PlayVideoCd, PlayDvd,
    DropQueue,
    // view
    FullScreen, FillScreen, Scale50, Scale100, Scale200, Scale300, MinimalView, CompactView,
    DockToggle, LeaveScreenModes, StatusAreaView,
    // toggles and readouts
    RandomToggle, LoopFileToggle, LoopListToggle, ShowCurrentNumber, ShowRemaining, ToggleTimeRemaining,
    // sliders (their moves are handled by the transport and the mixer)
    SpeedSlider, StartSlider, PositionSlider, StopSlider, VolumeSlider, BalanceSlider, Mute,
    // program
    ExitButton, Exit, About, Options, CheckUpdate, LookForUpdate, ContextMenu, EscapeKey, EnterKey,
};

enum class ControlKind { Button, Label, Display, Slider, CheckBox };

struct ControlEntry {
    int id;
    ControlKind kind;
    Command command;
    const char *caption;  // the button's own text, if it has one
    const char *tooltip;  // nullptr: no tooltip
};

struct MenuEntry {
    int id;
    Command command;
    const char *text;
};

struct KeyEntry {
    int key;
    bool keypad;  // only the numeric keypad's key
    Command command;
};

struct MediaKeyEntry {
    int appCommand;  // the platform's media-key number
    int key;         // Qt's key for it
    Command command;
};

namespace Commands {
std::span<const ControlEntry> controls();
std::span<const MenuEntry> menu();
std::span<const KeyEntry> keys();
std::span<const MediaKeyEntry> mediaKeys();

const ControlEntry *control(int id);
Command forKey(int key, Qt::KeyboardModifiers modifiers);
Command forMediaKey(int key);
// The tooltip of a control, or of the command's button; nullptr when there is none.
const char *tooltip(int controlId);
} // namespace Commands
