#pragma once

// The control window's controls by kind. The numbers are the controls' ids, which skins,
// settings and the desktop's accessibility tools see as object names; a control of one
// kind cannot be asked for by an id of another.
enum class ButtonId {
    Stop = 3,
    Eject = 4,
    Rewind = 5,
    Review = 6,
    FastForward = 7,
    Cue = 8,
    Exit = 9,
    FrameReverse = 10,
    FrameAdvance = 11,
    StatusArea = 12,
    Dock = 13,
    Update = 14,
    Random = 15,
    DropQueue = 16,
    SetStop = 1014,
    SetStart = 1015,
    ResetPoints = 1017,
    FullScreen = 1018,
    LoopFile = 1019,
    OpenFile = 1021,
    EditPlaylist = 1022,
    MinimalView = 1023,
    CompactView = 1024,
    VideoCd = 1028,
    Dvd = 1029,
    Rate1 = 1044,
    Rate2 = 1045,
    Rate5 = 1046,
    Rate02 = 1047,
    Rate05 = 1048,
    Rate07 = 1050,
    FillScreen = 1061,
    Mute = 1074,
    HalfSize = 1093,
    NormalSize = 1100,
    DoubleSize = 1101,
    TripleSize = 1102,
    PlayPause = 1105,
    CurrentNumber = 1108,
    RemainingNumber = 1109,
    LoopList = 1114,
};

enum class SliderId {
    Position = 1005,
    Stop = 1007,
    Start = 1008,
    Speed = 1010,
    Balance = 1056,
    Volume = 1117,
};

enum class LabelId {
    StartTime = 1092,
    EndTime = 1094,
    TimeToggle = 1095,
    TotalTime = 1096,
    CurrentFile = 1097,
    PlaySpeed = 1103,
    VideoSize = 1104,
    Mute = 1106,
    VolumeWedge = 1098,
    BalanceIndicator = 1099,
};

enum class DisplayId {
    FileNumber = 1082,
    Speed = 1083,
    StartTime = 1084,
    CurrentTime = 1085,
    EndTime = 1086,
    TotalTime = 1087,
    Clock = 1088,
    Title = 1089,
};

template <typename Id>
constexpr int idNumber(Id id)
{
    return static_cast<int>(id);
}
