#pragma once

#include "ControlIds.h"

#include <Qt>

#include <span>

// One table maps every control, menu item, key and media key of the control window to an
// action and, for controls, a tooltip. Every other input path (the wheel, slider moves,
// the desktop's media controls) builds an action too. ControlWindow::execute() performs
// each one; nothing acts any other way.
enum class Command {
    None,
    // transport
    PlayPause, Play, Pause, Stop, Eject, Rewind, Review, FastForward, Cue, FrameReverse, FrameAdvance,
    SetRate,      // value: the play speed (a preset button or key)
    Faster, Slower,
    SetStart, SetStop, ResetPoints,
    Jog,          // value: the wheel turn, 120 a notch
    MoveStart,    // value: the start slider's new second (the user moved it)
    MovePosition, // value: the position slider's new second
    MoveStop,     // value: the stop slider's new second
    MoveSpeed,    // value: the speed slider's new code, 1..19
    SeekTo,       // value: seconds, exact (the desktop's media controls)
    // files
    OpenFile, EditPlaylist, CreateEmptyPlaylist, SaveFileAs, SavePlaylistAs,
    OpenUrl,        // asks for an http or https address and plays it
    // tracks and frames of the open file
    SelectSubtitle, // value: the engine's track number, 0 for none
    SelectAudio,    // value: the engine's track number
    LoadSubtitle, Screenshot,
    // discs
    PlayVideoCd,
    // discs
    PlayDvd,
    // view
    FullScreen, FillScreen, LeaveScreenModes,
    SetScale,     // value: the video scale in percent
    MinimalView, CompactView, DockToggle, StatusAreaView,
    // sound
    SetVolume,    // value: the level in the mixer's units, 65536 = 100 % (the volume slider, the desktop)
    MoveBalance,  // value: the balance slider's new position
    MuteToggle,
    // toggles and readouts
    RandomToggle, LoopFileToggle, LoopListToggle, ShowCurrentNumber, ShowRemaining, ToggleTimeRemaining,
    // skin
    ChangeButtonImages,  // value: the menu command that names the button
    RestoreButtonImages, // value: the reset group, 1 or 2
    SetBackground,       // value: a preset 0..3, or -1 to choose a file
    ChangeColour,        // value: group * 3 + colour (0 back, 1 on, 2 off) of the displays
    RestoreColours,      // value: the display group
    LastSavedColours,    // value: the display group
    Options,
    // internet and help
    CheckUpdate,         // the one the user asked for, with its progress and its answer
    OpenHelp,            // value: the menu command of the page
    EmailMaker, MailingList,
    // program
    ExitButton, Exit, About, EscapeKey, EnterKey,
};

struct Action {
    Command command = Command::None;
    double value = 0;
    bool operator==(const Action &) const = default;
};

struct ButtonEntry {
    ButtonId id;
    Action action;
    const char *caption;  // the button's own text, if it has one
    const char *tooltip;
    bool repeats = false; // held down, the action repeats every 100 ms
};

struct SliderEntry {
    SliderId id;
    Command moved;        // performed with the slider's new value when the user moves it
    const char *tooltip;
    bool userMovesOnly = false; // shown from outside (the mixer): what is shown never acts
};

struct LabelEntry {
    LabelId id;
    Action click;         // Command::None: a plain caption
    const char *caption;
    const char *tooltip;  // nullptr: none
};

struct DisplayEntry {
    DisplayId id;
    Action click;
    const char *tooltip;
};

struct MenuEntry {
    int id;               // 0: a separator
    Action action;
    const char *text;
    const char *submenu = nullptr; // the sub-menu it sits in; none: the menu itself
    // Stands for the open file's tracks of its action's kind, one item each (value: the
    // track's number), listed when the sub-menu opens; its text shows when there are none.
    bool listsTracks = false;
};

struct KeyEntry {
    int key;
    bool keypad;          // only the numeric keypad's key
    Action action;
    // None: the key with any modifier. Otherwise exactly these (the keypad aside); the
    // menu shows the combination beside the item of the same action.
    int modifiers = 0;
};

struct MediaKeyEntry {
    int appCommand;       // the platform's media-key number
    int key;              // Qt's key for it
    Action action;
};

namespace Commands {
std::span<const ButtonEntry> buttons();
std::span<const SliderEntry> sliders();
std::span<const LabelEntry> labels();
std::span<const DisplayEntry> displays();
std::span<const MenuEntry> menu();
std::span<const KeyEntry> keys();
std::span<const MediaKeyEntry> mediaKeys();

const ButtonEntry &button(ButtonId id);
Action forKey(int key, Qt::KeyboardModifiers modifiers);
// The key combination of a menu item's action, for the menu to show; empty when none.
const KeyEntry *keyFor(const Action &action);
Action forMediaKey(int key);
} // namespace Commands
