#pragma once
// The one table of persistent settings: every key name, its type and its default.
// Nothing else in the program spells a setting's name.

#include <array>

struct IntKey {
    const char *name;
    int def;
};

struct StringKey {
    const char *name;
    const char *def;
};

namespace Key {

inline constexpr const char *Section = "Kinetrope";
inline constexpr const char *Company = "Ostrevan";

// Window and view state
inline constexpr IntKey WindowLeft{"Window Left", 50};
inline constexpr IntKey WindowTop{"Window Top", 50};
inline constexpr IntKey WindowRight{"Window Right", 0};
inline constexpr IntKey WindowBottom{"Window Bottom", 0};
inline constexpr IntKey WindowSize{"WindowSize", 0};
inline constexpr IntKey VideoSize{"VideoSize", 100};
inline constexpr IntKey VideoWindowLeft{"VideoWindow Left", 0};
inline constexpr IntKey VideoWindowTop{"VideoWindow Top", 0};
inline constexpr IntKey DockWindow{"DockWindow", 1};
inline constexpr IntKey RandomState{"RandomState", 0};
inline constexpr IntKey AutoLoop{"AutoLoop", 0};
inline constexpr IntKey LoopPlaylist{"LoopPlaylist", 0};
inline constexpr IntKey Remain{"Remain", 0};
inline constexpr IntKey Current{"Current", 0};

// Preferences (Options dialog)
inline constexpr IntKey UpdatePeriod{"UpdatePeriod", 80};
inline constexpr IntKey Preferences{"Preferences", 0};
inline constexpr IntKey AskSearchPref{"AskSearchPref", 1};
inline constexpr IntKey AutoPlayVcd{"AutoPlayVcd", 0};
inline constexpr IntKey DvdAutoFull{"DvdAutoFull", 0};
inline constexpr IntKey AskSearchDVD{"AskSearchDVD", 1};
inline constexpr IntKey AutoDropPlay{"AutoDropPlay", 0};
inline constexpr IntKey AutoFull{"AutoFull", 0};
inline constexpr IntKey AutoPause{"AutoPause", 1};
inline constexpr IntKey EjectOnMinimize{"EjectOnMinimize", 0};
inline constexpr IntKey OpenOnLeft{"OpenOnLeft", 0};
inline constexpr IntKey SplashDisable{"SplashDisable", 0};
inline constexpr IntKey AutoExit{"AutoExit", 0};
inline constexpr IntKey MultipleInstance{"MultipleInstance", 0};
inline constexpr IntKey RememberCoords{"RememberCoords", 1};
inline constexpr IntKey RememberSize{"RememberSize", 1};
inline constexpr IntKey EscFunction{"EscFunction", 0};
inline constexpr IntKey Hour24Format{"24HourFormat", 0};
inline constexpr IntKey USDateFormat{"USDateFormat", 1};
inline constexpr IntKey SquareCorners{"SquareCorners", 0};
inline constexpr IntKey AlwaysOnTop{"AlwaysOnTop", 0};
inline constexpr IntKey AutoUpdateNotification{"AutoUpdateNotification", 1};
inline constexpr IntKey CloseHides{"CloseHides", 0};
inline constexpr IntKey MiddleDouble{"MiddleDouble", 1};
inline constexpr IntKey AskExitQuestion{"AskExitQuestion", 0};
// What players of today add: subtitle files with the video's name load by themselves, the
// machine's video decoder is used where safe, and files start where they were left (off, so
// that a file starts at its beginning unless asked).
inline constexpr IntKey AutoSubtitles{"AutoSubtitles", 1};
inline constexpr IntKey HardwareDecoding{"HardwareDecoding", 1};
inline constexpr IntKey ResumePlayback{"ResumePlayback", 0};

// The update check's server, host[:port]; the product's own web host unless set.
inline constexpr StringKey UpdateServerHost{"UpdateServerHost", "kinetrope.ostrevan.org"};

// Single-instance hand-off
inline constexpr IntKey MultipleInstanceRunTimeFlag{"MultipleInstanceRunTimeFlag", 0};
inline constexpr StringKey MultipleInstanceRunTimeStr{"MultipleInstanceRunTimeStr", ""};
// Several files handed over at once, all of them (the first is also in the key above).
inline constexpr StringKey MultipleInstanceRunTimeList{"MultipleInstanceRunTimeList", ""};

// Display colours: four displays, current and previous sets (COLORREF 0x00BBGGRR)
inline constexpr int DefaultBackColour = 9156531;  // 0x8BB7B3
inline constexpr int DefaultOnColour = 0;
inline constexpr int DefaultOffColour = 7120030;   // 0x6CA49E

struct ColourKeys {
    IntKey back, on, off, prevBack, prevOn, prevOff;
};
#define KT_COLOUR_KEYS(P)                                                                        \
    ColourKeys {                                                                                 \
        {P "BackColor", DefaultBackColour}, {P "OnColor", DefaultOnColour},                      \
            {P "OffColor", DefaultOffColour}, {P "PrevBackColor", DefaultBackColour},            \
            {P "PrevOnColor", DefaultOnColour}, { P "PrevOffColor", DefaultOffColour }           \
    }
inline constexpr ColourKeys DDColours = KT_COLOUR_KEYS("DD");
inline constexpr ColourKeys ClockColours = KT_COLOUR_KEYS("Clock");
inline constexpr ColourKeys DateColours = KT_COLOUR_KEYS("Date");
inline constexpr ColourKeys SpeedColours = KT_COLOUR_KEYS("Speed");
#undef KT_COLOUR_KEYS

// Skin images
inline constexpr StringKey BackgroundBMP{"BackgroundBMP", ""};
inline constexpr IntKey DefaultBackgroundBMP{"DefaultBackgroundBMP", 0};
inline constexpr StringKey LastBMPDirectory{"Last BMP Directory", ""};
// Button image keys: the lit image's path; the rest image's path is under the same name
// followed by this suffix.
inline constexpr const char *MouseOverSuffix = "mouseover";
namespace ButtonImage {
inline constexpr const char *Play = "PlayButtonBMP";
inline constexpr const char *FrameForward = "FramefwdButtonBMP";
inline constexpr const char *FrameBack = "FramebackButtonBMP";
inline constexpr const char *Stop = "StopButtonBMP";
inline constexpr const char *Eject = "EjectButtonBMP";
inline constexpr const char *Rewind = "RewButtonBMP";
inline constexpr const char *FastForward = "FfButtonBMP";
inline constexpr const char *Cue = "CueButtonBMP";
inline constexpr const char *Review = "ReviewButtonBMP";
inline constexpr const char *Open = "OpenButtonBMP";
inline constexpr const char *EditPlaylist = "EditPlaylistButtonBMP";
inline constexpr const char *DropQueue = "DropQueueButtonBMP";
inline constexpr const char *VideoCd = "VcdButtonBMP";
inline constexpr const char *Dvd = "DvdButtonBMP";
inline constexpr const char *Dock = "DOCKWINDOWButtonBMP";
inline constexpr const char *Random = "RANDOMButtonBMP";
inline constexpr const char *LoopList = "LooplistButtonBMP";
inline constexpr const char *LoopFile = "LoopfileButtonBMP";
inline constexpr const char *NumTotal = "NumTotalButtonBMP";
inline constexpr const char *Remain = "RemainButtonBMP";
inline constexpr const char *Current = "CurrentButtonBMP";
inline constexpr const char *Minimal = "MiniButtonBMP";
inline constexpr const char *Compact = "MidiButtonBMP";
inline constexpr const char *FullScreen = "FullButtonBMP";
inline constexpr const char *FillScreen = "FullBButtonBMP";
inline constexpr const char *Size50 = "50ButtonBMP";
inline constexpr const char *Size100 = "100ButtonBMP";
inline constexpr const char *Size200 = "200ButtonBMP";
inline constexpr const char *Size300 = "300ButtonBMP";
inline constexpr const char *Exit = "ExitButtonBMP";
inline constexpr const char *StatusArea = "SYSMINIMIZEButtonBMP";
inline constexpr const char *Update = "SYSUPDATEButtonBMP";
// The built-in reset spells the random button's key this way; it is the same key.
inline constexpr const char *RandomReset = "RandomButtonBMP";
// Cleared by the second reset and read by nothing.
inline constexpr const char *Blank = "BLANKButtonBMP";
} // namespace ButtonImage
inline constexpr std::array<const char *, 32> ButtonImageKeys{
    ButtonImage::Play,
    ButtonImage::FrameForward,
    ButtonImage::FrameBack,
    ButtonImage::Stop,
    ButtonImage::Eject,
    ButtonImage::Rewind,
    ButtonImage::FastForward,
    ButtonImage::Cue,
    ButtonImage::Review,
    ButtonImage::Open,
    ButtonImage::EditPlaylist,
    ButtonImage::DropQueue,
    ButtonImage::VideoCd,
    ButtonImage::Dvd,
    ButtonImage::Dock,
    ButtonImage::Random,
    ButtonImage::LoopList,
    ButtonImage::LoopFile,
    ButtonImage::NumTotal,
    ButtonImage::Remain,
    ButtonImage::Current,
    ButtonImage::Minimal,
    ButtonImage::Compact,
    ButtonImage::FullScreen,
    ButtonImage::FillScreen,
    ButtonImage::Size50,
    ButtonImage::Size100,
    ButtonImage::Size200,
    ButtonImage::Size300,
    ButtonImage::Exit,
    ButtonImage::StatusArea,
    ButtonImage::Update};

// Folders remembered by file dialogs. Their defaults differ per caller, so callers pass one.
inline constexpr StringKey LastDirectory{"Last Directory", ""};
inline constexpr StringKey LastSaveDirectory{"Last Save Directory", ""};
inline constexpr StringKey LastPlayListDirectory{"Last PlayList Directory", ""};
inline constexpr StringKey LastDVDDirectory{"Last DVD Directory", ""};
inline constexpr StringKey PlayListFilename{"PlayListFilename", ""};

} // namespace Key

namespace Key {
// The preferences the Options dialog edits, in its order; loaded together at start-up.
inline constexpr std::array<const IntKey *, 28> PreferenceKeys{
    &UpdatePeriod, &Preferences, &AskSearchPref, &AutoPlayVcd, &DvdAutoFull, &AskSearchDVD,
    &AutoDropPlay, &AutoFull, &AutoPause, &EjectOnMinimize, &OpenOnLeft, &SplashDisable,
    &AutoExit, &MultipleInstance, &RememberCoords, &RememberSize, &EscFunction, &Hour24Format,
    &USDateFormat, &SquareCorners, &AlwaysOnTop, &AutoUpdateNotification, &CloseHides,
    &MiddleDouble, &AskExitQuestion, &AutoSubtitles, &HardwareDecoding, &ResumePlayback};
} // namespace Key
