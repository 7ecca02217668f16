#pragma once
// Command IDs of the editor: menu items, toolbar and transport buttons, hot
// keys, user macros and command-line switches all end in one of these.

namespace cmd {

// File
constexpr int NewFile = 1001, OpenFile = 1002, CloseFile = 1003, SaveFile = 1004, SaveFileAs = 1005;
constexpr int ConvertSampleRate = 1006, ConvertToMono = 1007, ConvertToStereo = 1008, Send = 1009;
constexpr int Options = 1010, LoadCdTracks = 1011, BurnAudioCd = 1012, OpenProject = 1013, CloseProject = 1014;
constexpr int SaveProject = 1015, SaveProjectAs = 1016, BurnDataCd = 1018, EditTags = 1019, Exit = 1048;
constexpr int RecentFirst = 1050, RecentLast = 1060;

// Edit
constexpr int Undo = 2001, Cut = 2002, Copy = 2003, Paste = 2004, PasteMix = 2005, Delete = 2006;
constexpr int SelectAll = 2007, MixFile = 2008, RepeatLoop = 2009, Trim = 2010, TrimStart = 2011, TrimEnd = 2012;
constexpr int AutoTrim = 2013, SilenceSelection = 2014, InsertSilenceBegin = 2015, InsertSilenceCurrent = 2016;
constexpr int InsertSilenceEnd = 2017, InsertFileBegin = 2018, InsertFileCurrent = 2019, InsertFileEnd = 2020;
constexpr int CopyToNew = 2021, SelectToStart = 2022, SelectToEnd = 2023, PasteFromClipboard = 2025;
constexpr int PasteMixFromClipboard = 2026, SelectSpecifiedTime = 2027, SaveSelectionAs = 2028, SplitHere = 2029;
constexpr int MarkFirst = 2030, MarkSecond = 2031, RecallMarks = 2032, Redo = 2033, AutoSplit = 2034;

// Control
constexpr int Record = 3001, Play = 3002, PlaySlow = 3003, PlayNormal = 3004, PlayFast = 3005, Stop = 3006;
constexpr int GoToStart = 3007, Rewind = 3008, FastForward = 3009, GoToEnd = 3010, LoopPlay = 3011;

// Effects
constexpr int Amplify = 4001, Normalize = 4002, Equalizer = 4003, Echo = 4004, Reverb = 4005, FadeIn = 4006;
constexpr int FadeOut = 4007, Envelope = 4008, AutoGainControl = 4009, NoiseGating = 4010, HighPass = 4011;
constexpr int Compressor = 4012, FadeOutAndTrim = 4013, SpeedAndPitch = 4014, SpeedChange = 4015;
constexpr int PitchChange = 4016, DcOffset = 4017, Reverse = 4018, DirectX = 4019, Vst = 4020, CrossFade = 4021;
constexpr int StereoPan = 4022, AutoSpectralSubtraction = 4023, GrabNoiseSample = 4024, SpectralSubtraction = 4025;
constexpr int ReduceVocals = 4030, Phaser = 4031, Distortion = 4032, AmRadio = 4033, Telephone = 4034;
constexpr int Flanger = 4035, Chorus = 4036;

// View and window
constexpr int ZoomIn = 5001, ZoomOut = 5002, ZoomToSelection = 5003, ZoomFull = 5004, VerticalZoom = 5005;
constexpr int DisplayPlusMinus = 5007, DisplayLeftRight = 5008, Cascade = 5009, TileHorizontal = 5010;
constexpr int TileVertical = 5011, ArrangeIcons = 5012, DisplayDual = 5013, WindowFirst = 5017, WindowLast = 5036;
constexpr int CloseAll = 5040;

// Help
constexpr int HelpContents = 6000, HelpPageFirst = 6001, HelpPageLast = 6012, InstallRelated = 6020;
constexpr int CheckForUpdate = 6021, About = 9090;

// Tools
constexpr int Fft = 7001, ToneGenerator = 7002, BatchConverter = 7003, TextToSpeech = 7004, Tfft = 7005;
constexpr int AutoClickRepair = 7009, ManualClickRepair = 7010;

// Bookmarks and regions
constexpr int RegionList = 8000, SetBookmark = 8001, BookmarkList = 8003, AddRegion = 8004, AssembleRegions = 8005;

// Bars
constexpr int ShowCommandBar = 9001, ShowMainToolbar = 9002, ShowEffectsToolbar = 9003;
constexpr int CommandBarLeft = 9004, CommandBarRight = 9005;

// Transport buttons and frame controls
constexpr int LevelMeterControl = 101, VolumeControl = 102, SelectionStartField = 106, SelectionEndField = 107;
constexpr int SelectionLengthField = 108, TimeDisplay = 109, FileLengthField = 130;
constexpr int PlayButton = 111, PauseButton = 112, StopButton = 113, StartButton = 114, RewindButton = 115;
constexpr int ForwardButton = 116, EndButton = 117, RecordButton = 118;

}  // namespace cmd
