#include "Commands.h"

namespace {

using enum Command;
using B = ButtonId;

constexpr ButtonEntry Buttons[] = {
    {B::PlayPause, {PlayPause}, nullptr, "Play/Pause File - Plays/Pauses a loaded file, or prompts for a file"},
    {B::Stop, {Stop}, nullptr, "Stop -  Stop the file"},
    {B::Eject, {Eject}, nullptr, "Eject - Unload the file"},
    {B::Rewind, {Rewind}, nullptr, "Rewind - Go to start of file"},
    {B::Review, {Review}, nullptr, "Review - Skip backwards", true},
    {B::FastForward, {FastForward}, nullptr, "Fast Forward -  Go to end of file"},
    {B::Cue, {Cue}, nullptr, "Cue - Skip forward", true},
    {B::FrameReverse, {FrameReverse}, nullptr, "Frame Reverse - Reverses the stream one frame"},
    {B::FrameAdvance, {FrameAdvance}, nullptr, "Frame Advance - Advances the stream one frame"},
    {B::Rate02, {SetRate, 0.2}, ".2", ".2 - Play at one fifth normal speed"},
    {B::Rate05, {SetRate, 0.5}, ".5", ".5 - Play at half normal speed"},
    // 0.71, not 0.7: the readout still shows " 0.7".
    {B::Rate07, {SetRate, 0.71}, ".&7", ".7 - Play at three quarters normal speed"},
    {B::Rate1, {SetRate, 1.0}, "&1", "1 - Play normally"},
    {B::Rate2, {SetRate, 2.0}, "&2", "2 - Play at twice normal speed"},
    {B::Rate5, {SetRate, 5.0}, "&5", "5 - Play five times normal speed"},
    {B::SetStart, {SetStart}, "Se&t", "Set Start Time - Sets the start point at the current point"},
    {B::SetStop, {SetStop}, "S&et", "Set Stop Time - Sets the stop point at the current point"},
    {B::ResetPoints, {ResetPoints}, "Re&set", "Reset Sliders - Resets start/end sliders to normal"},
    {B::OpenFile, {OpenFile}, nullptr, "Open File - Requests a filename"},
    {B::EditPlaylist, {EditPlaylist}, nullptr, "Edit/Create a Playlist - Requests a playlist to edit or create"},
    {B::VideoCd, {PlayVideoCd}, nullptr, "Play a VideoCD - Attempts to find a VideoCD or SVideoCD"},
    {B::Dvd, {PlayDvd}, nullptr, "Play a DVD - Attempts to find a DVD"},
    {B::FullScreen, {FullScreen}, nullptr, "FullScreen View - Borderless full screen view (press P to Play)"},
    {B::FillScreen, {FillScreen}, nullptr, "FillScreen View - Fills Screen && keeps border (press P to Play)"},
    {B::HalfSize, {SetScale, 50}, nullptr, "Half Size View - Sets window to half normal size"},
    {B::NormalSize, {SetScale, 100}, nullptr, "Normal Size View - Sets window to normal size"},
    {B::DoubleSize, {SetScale, 200}, nullptr, "Double Size View - Sets window to twice the size"},
    {B::TripleSize, {SetScale, 300}, nullptr, "Triple Size View - Sets window to triple the size"},
    {B::MinimalView, {MinimalView}, nullptr, "Minimal View - Hides everything except normal controls"},
    {B::CompactView, {CompactView}, nullptr, "Compact View - Hides some controls, leaves time clocks"},
    {B::Exit, {ExitButton}, nullptr, "Exit - Closes or hides the program depending on preference."},
    {B::StatusArea, {StatusAreaView}, nullptr, "Status Area View - Minimizes the program to the status area"},
    {B::Update, {CheckUpdate}, nullptr, "Check for Update - Look for a newer version of Kinetrope"},
    {B::Dock, {DockToggle}, nullptr, "Dock Window - Docks/Un-Docks the video window to the control window"},
    {B::Random, {RandomToggle}, nullptr, "Random Play - Toggles playing playlist in random or normal order"},
    // Its action is the drop: files dropped on it join the playing list.
    {B::DropQueue, {None}, nullptr, "Adds the dropped file(s) to the currently playing playlist cue"},
    {B::LoopFile, {LoopFileToggle}, nullptr, "Loop File - Loops the currently playing file"},
    {B::LoopList, {LoopListToggle}, nullptr, "Loop List - Loops the current list of files"},
    {B::Mute, {MuteToggle}, nullptr, "Audio mute toggle"},
    {B::CurrentNumber, {ShowCurrentNumber}, nullptr, "Sets file number display at current file number"},
    {B::RemainingNumber, {ShowRemaining}, nullptr, "Sets file number display at remaining number of files"},
};

constexpr const char *TimeToggleTip = "Toggles current time display between time elapsed and time remaining";

constexpr SliderEntry Sliders[] = {
    {SliderId::Speed, MoveSpeed, "Adjust Speed - Varies the play speed"},
    {SliderId::Start, MoveStart, "Adjust Start Time - Varies the start point"},
    {SliderId::Position, MovePosition, "Adjust Current Position - Varies the current position"},
    {SliderId::Stop, MoveStop, "Adjust Stop Time - Varies the stop point"},
    {SliderId::Volume, SetVolume, "Adjust Volume - Varies the system volume", true},
    {SliderId::Balance, MoveBalance, "Adjust Balance - Varies the system balance", true},
};

constexpr LabelEntry Labels[] = {
    // Its words are its image.
    {LabelId::TimeToggle, {ToggleTimeRemaining}, "", TimeToggleTip},
    {LabelId::StartTime, {}, "Start Time", nullptr},
    {LabelId::EndTime, {}, "End Time", nullptr},
    {LabelId::TotalTime, {}, "Total Time", nullptr},
    {LabelId::CurrentFile, {}, "Current File", nullptr},
    {LabelId::PlaySpeed, {}, "Play Speed", nullptr},
    {LabelId::VideoSize, {}, "Video Size", nullptr},
    {LabelId::Mute, {}, "Mute", nullptr},
    // Two blank labels that only show an image.
    {LabelId::VolumeWedge, {}, "", nullptr},
    {LabelId::BalanceIndicator, {}, "", nullptr},
};

constexpr DisplayEntry Displays[] = {
    {DisplayId::FileNumber, {}, nullptr},
    {DisplayId::Speed, {}, nullptr},
    {DisplayId::StartTime, {}, nullptr},
    // Clicking the current time toggles it, as its label does.
    {DisplayId::CurrentTime, {ToggleTimeRemaining}, TimeToggleTip},
    {DisplayId::EndTime, {}, nullptr},
    {DisplayId::TotalTime, {}, nullptr},
    {DisplayId::Clock, {}, nullptr},
    {DisplayId::Title, {}, nullptr},
};

constexpr const char *ButtonImages = "Button &Images";
constexpr const char *DigitalColours = "&Digital Display Colours";
constexpr const char *ClockColours = "C&lock Display Colours";
constexpr const char *DateColours = "D&ate Display Colours";
constexpr const char *SpeedColours = "S&peed Display Colours";
constexpr const char *Backgrounds = "&Background";
constexpr const char *Help = "&Help";
constexpr const char *Internet = "&Internet";
constexpr const char *Subtitles = "Subtitles";
constexpr const char *AudioTracks = "Audio track";

#define KT_IMAGES(id, name) {id, {ChangeButtonImages, id}, "Load && change " name " button bmp's", ButtonImages}

// Items join as the features behind them are built.
constexpr MenuEntry Menu[] = {
    {57601, {OpenFile}, "&Open a File or Play List"},
    {32900, {OpenUrl}, "Open &URL…"},
    {32790, {CreateEmptyPlaylist}, "&Create an empty Play List"},
    {32789, {EditPlaylist}, "&Edit a Play List"},
    {32775, {SaveFileAs}, "Save &File As"},
    {32780, {SavePlaylistAs}, "&Save Current as Play List"},
    {0, {}, nullptr},
    {32901, {SelectSubtitle}, "No subtitles", Subtitles, true},
    {32902, {SelectSubtitle, 0}, "Off", Subtitles},
    {0, {}, nullptr, Subtitles},
    {32903, {LoadSubtitle}, "Load subtitle file…", Subtitles},
    {32904, {SelectAudio}, "No audio tracks", AudioTracks, true},
    {32905, {Screenshot}, "Save a Screens&hot"},
    {0, {}, nullptr},
    {32773, {Options}, "&Options"},
    // The colour groups: 0 the digital displays, 1 the clock, 2 the date, 3 the speed.
    {32793, {ChangeColour, 0}, "Change digital displays &background colour", DigitalColours},
    {32795, {ChangeColour, 1}, "Change digital displays o&n colour", DigitalColours},
    {32794, {ChangeColour, 2}, "Change digital displays o&ff colour", DigitalColours},
    {32796, {RestoreColours, 0}, "&Restore default digital displays colours", DigitalColours},
    {32797, {LastSavedColours, 0}, "Load last &saved digital display colours", DigitalColours},
    {32821, {ChangeColour, 3}, "Change clock display background colour", ClockColours},
    {32822, {ChangeColour, 4}, "Change clock display on colour", ClockColours},
    {32823, {ChangeColour, 5}, "Change clock display off colour", ClockColours},
    {32824, {LastSavedColours, 1}, "Load last saved clock display colours", ClockColours},
    {32825, {RestoreColours, 1}, "Restore default clock display colours", ClockColours},
    {32843, {ChangeColour, 6}, "Change date display background colour", DateColours},
    {32842, {ChangeColour, 7}, "Change date display on colour", DateColours},
    {32841, {ChangeColour, 8}, "Change date display off colour", DateColours},
    {32840, {LastSavedColours, 2}, "Load last saved date display colours", DateColours},
    {32839, {RestoreColours, 2}, "Restore default date display colours", DateColours},
    {32826, {ChangeColour, 9}, "Change speed display background colour", SpeedColours},
    {32827, {ChangeColour, 10}, "Change speed display on colour", SpeedColours},
    {32828, {ChangeColour, 11}, "Change speed display off colour", SpeedColours},
    {32829, {LastSavedColours, 3}, "Load last saved speed display colours", SpeedColours},
    {32830, {RestoreColours, 3}, "Restore default speed display colours", SpeedColours},
    // Each reset clears the group above it.
    KT_IMAGES(32798, "PLAY"),
    KT_IMAGES(32800, "STOP"),
    KT_IMAGES(32801, "REWIND"),
    KT_IMAGES(32803, "REVIEW"),
    KT_IMAGES(32804, "CUE"),
    KT_IMAGES(32802, "FAST FORWARD"),
    KT_IMAGES(32819, "FRAME BACK"),
    KT_IMAGES(32818, "FRAME FORWARD"),
    KT_IMAGES(32815, "EJECT"),
    KT_IMAGES(32805, "OPEN"),
    KT_IMAGES(32816, "VCD"),
    KT_IMAGES(32817, "DVD"),
    {32799, {RestoreButtonImages, 1}, "Restore the above group bmp's to default", ButtonImages},
    {0, {}, nullptr, ButtonImages},
    KT_IMAGES(32806, "FULLBORDER"),
    KT_IMAGES(32807, "FULLSCREEN"),
    KT_IMAGES(32811, "50%"),
    KT_IMAGES(32810, "100%"),
    KT_IMAGES(32809, "200%"),
    KT_IMAGES(32808, "300%"),
    KT_IMAGES(32812, "COMPACT"),
    KT_IMAGES(32813, "MINIMAL"),
    {32814, {RestoreButtonImages, 2}, "Restore the above group bmp's to default", ButtonImages},
    {0, {}, nullptr, ButtonImages},
    KT_IMAGES(32820, "EDIT PLAYLIST"),
    KT_IMAGES(32838, "UPDATE"),
    {32791, {SetBackground, -1}, "&Load && change the background bmp", Backgrounds},
    {32835, {SetBackground, 1}, "Set blue paper background", Backgrounds},
    {32836, {SetBackground, 2}, "Set grey metal background", Backgrounds},
    {32837, {SetBackground, 3}, "Set clouds background", Backgrounds},
    {32792, {SetBackground, 0}, "Restore &default background", Backgrounds},
    {32782, {OpenHelp, 32782}, "&Main Index", Help},
    {32783, {OpenHelp, 32783}, "&Instructions", Help},
    {32784, {OpenHelp, 32784}, "&Faq", Help},
    {32785, {OpenHelp, 32785}, "&History", Help},
    {32786, {OpenHelp, 32786}, "File &Associations", Help},
    {32788, {OpenHelp, 32788}, "&Distribution && Legal Information", Help},
    {32776, {CheckUpdate}, "&Look for Update", Internet},
    {32777, {EmailMaker}, "&Email Me", Internet},
    {32779, {MailingList}, "&Subscribe to mailing list", Internet},
    {0, {}, nullptr},
    {32774, {About}, "&About"},
    {32772, {Exit}, "E&xit"},
};
#undef KT_IMAGES

constexpr KeyEntry Keys[] = {
    {Qt::Key_P, false, {PlayPause}},
    {Qt::Key_Pause, false, {PlayPause}},
    {Qt::Key_S, false, {Stop}},
    {Qt::Key_Home, false, {Rewind}},
    {Qt::Key_End, false, {FastForward}},
    {Qt::Key_1, false, {SetRate, 1.0}},
    {Qt::Key_2, false, {SetRate, 2.0}},
    {Qt::Key_7, false, {SetRate, 0.71}},
    {Qt::Key_Plus, true, {Faster}},
    {Qt::Key_Minus, true, {Slower}},
    {Qt::Key_Escape, false, {EscapeKey}},
    {Qt::Key_Return, false, {EnterKey}},
    {Qt::Key_Enter, false, {EnterKey}},
    // Free combinations for what was added since.
    {Qt::Key_U, false, {OpenUrl}, Qt::ControlModifier},
    {Qt::Key_L, false, {LoadSubtitle}, Qt::ControlModifier},
    {Qt::Key_F12, false, {Screenshot}, Qt::NoModifier},
};

constexpr MediaKeyEntry MediaKeys[] = {
    {11, Qt::Key_MediaNext, {FastForward}},
    {12, Qt::Key_MediaPrevious, {Rewind}},
    {13, Qt::Key_MediaStop, {Stop}},
    {14, Qt::Key_MediaTogglePlayPause, {PlayPause}},
};

} // namespace

namespace Commands {

std::span<const ButtonEntry> buttons() { return Buttons; }
std::span<const SliderEntry> sliders() { return Sliders; }
std::span<const LabelEntry> labels() { return Labels; }
std::span<const DisplayEntry> displays() { return Displays; }
std::span<const MenuEntry> menu() { return Menu; }
std::span<const KeyEntry> keys() { return Keys; }
std::span<const MediaKeyEntry> mediaKeys() { return MediaKeys; }

const ButtonEntry &button(ButtonId id)
{
    for (const ButtonEntry &b : Buttons) {
        if (b.id == id)
            return b;
    }
    // Every id of the enumeration has its row; a missing one is a programming error.
    Q_UNREACHABLE();
}

Action forKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    const int held = int(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    for (const KeyEntry &k : Keys) {
        if (k.key != key)
            continue;
        if (k.modifiers != 0) {
            if (k.modifiers == held)
                return k.action;
            continue;
        }
        // Keypad digits are digits too; only plus and minus insist on the keypad.
        if (!k.keypad || keypad)
            return k.action;
    }
    return {};
}

const KeyEntry *keyFor(const Action &action)
{
    for (const KeyEntry &k : Keys) {
        if (k.action == action && (k.modifiers != 0 || (k.key >= Qt::Key_F1 && k.key <= Qt::Key_F35)))
            return &k;
    }
    return nullptr;
}

Action forMediaKey(int key)
{
    for (const MediaKeyEntry &m : MediaKeys) {
        if (m.key == key)
            return m.action;
    }
    // Qt reports a plain play key on some keyboards.
    return key == Qt::Key_MediaPlay ? Action{PlayPause} : Action{};
}

} // namespace Commands
