// The built-in command group "_QXK": every command of the action language,
// in lookup order, with its id, accepted parameter count, parameter kinds
// and the handler that carries it out. Kinds are written one digit per
// parameter: 1 text, 2 display text, 3 number, 4 value, 5 file, 6 variable,
// 7 data file, 8 object name, 9 menu item name.
//
// Handlers named Cmd<Command> live with their subsystem (core_commands.h,
// string_commands.h, file_commands.h, registry_commands.h); rows pointing
// at Forward<Subsystem> hand the evaluated line to that subsystem's service
// (services.h), which the player implements and the headless runner logs.

#include "actions/command_table.h"
#include "actions/core_commands.h"
#include "actions/file_commands.h"
#include "actions/registry_commands.h"
#include "actions/string_commands.h"

namespace tomeric {
namespace {

struct BuiltinRow {
    const char* name;
    int id;
    uint8_t minParams;
    uint8_t maxParams;
    const char* kinds;
    CommandHandler handler;
    uint8_t flags;
};


// clang-format off
const BuiltinRow kBuiltinCommands[] = {
//   command                     id  min max kinds     handler                flags
    {"GotoPage",                 17,  1,  1, "1",      CmdGotoPage,           cfPageChange},
    {"GotoPageNum",             193,  1,  1, "3",      CmdGotoPageNum,        cfPageChange},
    {"GotoPrevPage",             20,  0,  0, "",       CmdGotoPrevPage,       cfPageChange},
    {"GotoNextPage",             21,  0,  0, "",       CmdGotoNextPage,       cfPageChange},
    {"GotoFirstPage",            18,  0,  0, "",       CmdGotoFirstPage,      cfPageChange},
    {"GotoLastPage",             19,  0,  0, "",       CmdGotoLastPage,       cfPageChange},
    {"ReturnToPage",             43,  0,  0, "",       CmdReturnToPage,       cfPageChange},
    {"StartSlideShow",          161,  4,  4, "1111",   CmdStartSlideShow,     cfPageChange},
    {"PauseSlideShow",          195,  0,  0, "",       CmdPauseSlideShow,     cfPageChange},
    {"StopSlideShow",           162,  0,  0, "",       CmdStopSlideShow,      cfPageChange},
    {"AlertBox",                  1,  2,  2, "22",     CmdAlertBox,           0},
    {"MessageBox",               30,  4,  4, "2226",   CmdMessageBox,         0},
    {"InputBox",                106,  3,  3, "226",    CmdInputBox,           0},
    {"FileOpenBox",              71,  5,  5, "21161",  CmdFileOpenBox,        0},
    {"FileSaveBox",              72,  4,  4, "2116",   CmdFileSaveBox,        0},
    {"FolderBox",               126,  2,  2, "26",     CmdFolderBox,          0},
    {"Balloon",                   2,  1,  4, "2333",   ForwardWindows,        0},
    {"StickyNote",               48,  4,  4, "3323",   ForwardWindows,        0},
    {"PopUpImage",               36,  6,  6, "335313", ForwardWindows,        0},
    {"Menu",                     28,  3,  3, "332",    CmdMenu,               0},
    {"MenuEx",                   29,  4,  4, "3326",   ForwardWindows,        0},
    {"Find",                     16,  1,  1, "1",      ForwardWindows,        0},
    {"FindFirst",               110,  2,  2, "21",     ForwardWindows,        0},
    {"FindNext",                111,  0,  0, "",       ForwardWindows,        0},
    {"HelpTopic",               109,  1,  1, "1",      ForwardWindows,        0},
    {"Exit",                      7,  2,  2, "22",     ForwardWindows,        0},
    {"PlayCartoonFile",          31,  8,  8, "33335331", ForwardMedia,          0},
    {"PlaySoundFile",            33,  2,  2, "51",     ForwardMedia,          0},
    {"PlayVideoFile",            35,  6,  6, "333351", ForwardMedia,          0},
    {"StopMedia",                49,  1,  1, "1",      ForwardMedia,          0},
    {"MCICommand",               27,  1,  1, "1",      ForwardMedia,          0},
    {"PlayTone",                 34,  1,  1, "3",      ForwardMedia,          0},
    {"SoundBuzzer",              47,  0,  0, "",       ForwardMedia,          0},
    {"SystemSound",             114,  1,  1, "1",      ForwardMedia,          0},
    {"GetVolume",                61,  2,  2, "16",     ForwardMedia,          0},
    {"SetVolume",                60,  2,  2, "13",     ForwardMedia,          0},
    {"FileCopy",                  8,  2,  2, "11",     CmdFileCopy,           cfBrowserDenied},
    {"FileErase",                10,  1,  1, "1",      CmdFileErase,          cfBrowserDenied},
    {"FileSize",                202,  2,  2, "16",     CmdFileSize,           0},
    {"FileExists",               11,  2,  2, "16",     CmdFileExists,         0},
    {"FolderExists",            190,  2,  2, "16",     CmdFolderExists,       0},
    {"CreateFolder",            105,  1,  1, "1",      CmdCreateFolder,       cfBrowserDenied},
    {"RemoveFolder",            130,  1,  1, "1",      CmdRemoveFolder,       cfBrowserDenied},
    {"ExtractFile",             117,  2,  2, "51",     CmdExtractFile,        cfBrowserDenied},
    {"FileList",                189,  3,  3, "116",    CmdFileList,           0},
    {"FileRead",                 13,  3,  3, "736",    CmdFileRead,           cfBrowserDenied},
    {"FileWrite",                15,  3,  3, "731",    CmdFileWrite,          cfBrowserDenied},
    {"FileInsLine",              12,  2,  2, "73",     CmdFileInsLine,        cfBrowserDenied},
    {"FileDelLine",               9,  2,  2, "73",     CmdFileDelLine,        cfBrowserDenied},
    {"FileLen",                  14,  2,  2, "76",     CmdFileLen,            0},
    {"FileToVar",               196,  2,  2, "76",     CmdFileToVar,          0},
    {"ExtractFilePath",          76,  2,  2, "16",     CmdExtractFilePath,    0},
    {"ExtractFileName",          77,  2,  2, "16",     CmdExtractFileName,    0},
    {"ExtractFileExt",           78,  2,  2, "16",     CmdExtractFileExt,     0},
    {"ExtractFileDrive",         79,  2,  2, "16",     CmdExtractFileDrive,   0},
    {"ChangeFileExt",           191,  3,  3, "116",    CmdChangeFileExt,      0},
    {"RegistryRead",            112,  3,  3, "116",    CmdRegistryRead,       cfBrowserDenied},
    {"RegistryWrite",           113,  3,  3, "111",    CmdRegistryWrite,      cfBrowserDenied},
    {"PrintPage",                39,  1,  2, "11",     ForwardPrinting,       0},
    {"PrintImageFile",           38,  2,  2, "53",     ForwardPrinting,       0},
    {"PrintImageFileWH",        133,  3,  3, "533",    ForwardPrinting,       0},
    {"PrintTextFile",            41,  3,  3, "225",    ForwardPrinting,       0},
    {"PrintDataFile",            37,  3,  3, "225",    ForwardPrinting,       0},
    {"SetPrinterOrientation",   143,  1,  1, "1",      ForwardPrinting,       0},
    {"PrintSetup",               40,  1,  1, "6",      ForwardPrinting,       0},
    {"StrIns",                   51,  4,  4, "1136",   CmdStrIns,             0},
    {"StrDel",                   50,  4,  4, "1336",   CmdStrDel,             0},
    {"StrLen",                   52,  2,  2, "16",     CmdStrLen,             0},
    {"SubStr",                   53,  4,  4, "1336",   CmdSubStr,             0},
    {"SearchStr",                44,  3,  4, "1161",   CmdSearchStr,          0},
    {"StrUpper",                 57,  2,  2, "16",     CmdStrUpper,           0},
    {"StrLower",                 58,  2,  2, "16",     CmdStrLower,           0},
    {"StrReplace",               59,  4,  5, "11161",  CmdStrReplace,         0},
    {"StrParse",                120,  4,  4, "1166",   CmdStrParse,           0},
    {"ShowObject",               62,  3,  3, "833",    ForwardObjects,        0},
    {"HideObject",               63,  3,  3, "833",    ForwardObjects,        0},
    {"EnableObject",             65,  1,  1, "8",      ForwardObjects,        0},
    {"DisableObject",            64,  1,  1, "8",      ForwardObjects,        0},
    {"GetObjectInfo",            66,  3,  3, "816",    ForwardObjects,        0},
    {"MoveObject",               67,  3,  3, "833",    ForwardObjects,        0},
    {"MoveObjectAlongPath",     164,  4,  5, "81111",  ForwardObjects,        0},
    {"StopMovingObject",        165,  1,  1, "8",      ForwardObjects,        0},
    {"SizeObject",               68,  3,  3, "833",    ForwardObjects,        0},
    {"ObjectToFront",           124,  1,  1, "8",      ForwardObjects,        0},
    {"ObjectToBack",            125,  1,  1, "8",      ForwardObjects,        0},
    {"FocusObject",             107,  1,  1, "8",      ForwardObjects,        0},
    {"RefreshObject",            69,  1,  1, "8",      ForwardObjects,        0},
    {"GetObjectHandle",         108,  2,  2, "86",     ForwardObjects,        0},
    {"SetObjectFill",           156,  4,  4, "8111",   ForwardObjects,        0},
    {"SetObjectLine",           157,  4,  4, "8111",   ForwardObjects,        0},
    {"SetObjectFont",           158,  5,  6, "811111", ForwardObjects,        0},
    {"SetObjectCaption",        159,  2,  2, "81",     ForwardObjects,        0},
    {"SetObjectFileName",       160,  2,  2, "85",     ForwardObjects,        0},
    {"GIFPlay",                  87,  2,  2, "83",     ForwardObjects,        0},
    {"GIFStop",                  88,  1,  1, "8",      ForwardObjects,        0},
    {"MediaPlayerPlay",         101,  1,  1, "8",      ForwardObjects,        0},
    {"MediaPlayerStop",         102,  1,  1, "8",      ForwardObjects,        0},
    {"MediaPlayerPause",        103,  1,  1, "8",      ForwardObjects,        0},
    {"MediaPlayerRewind",       104,  1,  1, "8",      ForwardObjects,        0},
    {"TimerStart",               89,  2,  2, "83",     ForwardObjects,        0},
    {"TimerStop",                90,  1,  1, "8",      ForwardObjects,        0},
    {"ListBoxGetItem",           91,  3,  3, "836",    ForwardObjects,        0},
    {"ListBoxAddItem",           92,  3,  3, "831",    ForwardObjects,        0},
    {"ListBoxMoveItem",          98,  3,  3, "833",    ForwardObjects,        0},
    {"ListBoxDeleteItem",        93,  2,  2, "83",     ForwardObjects,        0},
    {"ListBoxChangeItem",        94,  3,  3, "831",    ForwardObjects,        0},
    {"ListBoxSize",              95,  2,  2, "86",     ForwardObjects,        0},
    {"ListBoxFindItem",          96,  3,  3, "816",    ForwardObjects,        0},
    {"ListBoxSort",              97,  1,  2, "81",     ForwardObjects,        0},
    {"TrackBarSetMin",           99,  2,  2, "83",     ForwardObjects,        0},
    {"TrackBarSetMax",          100,  2,  2, "83",     ForwardObjects,        0},
    {"BrowserGoTo",              80,  2,  2, "85",     ForwardObjects,        0},
    {"BrowserBack",              81,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserForward",           82,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserHome",              83,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserSearch",            84,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserPrint",             85,  1,  2, "81",     ForwardObjects,        0},
    {"BrowserStop",              86,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserExport",           132,  2,  2, "86",     ForwardObjects,        0},
    {"BrowserFind",             163,  1,  1, "8",      ForwardObjects,        0},
    {"BrowserLoadFromStr",      187,  2,  2, "81",     ForwardObjects,        0},
    {"BrowserExecScript",       199,  3,  3, "811",    ForwardObjects,        0},
    {"BrowserGetElement",       200,  3,  3, "816",    ForwardObjects,        0},
    {"BrowserSetElement",       201,  3,  3, "811",    ForwardObjects,        0},
    {"ArticleJumpTo",           116,  2,  2, "81",     ForwardObjects,        0},
    {"PictureMagnify",          122,  2,  2, "83",     ForwardObjects,        0},
    {"FlashPlay",               138,  2,  2, "81",     ForwardObjects,        0},
    {"FlashPause",              180,  1,  1, "8",      ForwardObjects,        0},
    {"FlashStop",               139,  1,  1, "8",      ForwardObjects,        0},
    {"FlashRewind",             140,  1,  1, "8",      ForwardObjects,        0},
    {"FlashGotoFrame",          141,  2,  2, "83",     ForwardObjects,        0},
    {"FlashForward",            170,  1,  1, "8",      ForwardObjects,        0},
    {"FlashBack",               171,  1,  1, "8",      ForwardObjects,        0},
    {"FlashGetVar",             172,  3,  3, "816",    ForwardObjects,        0},
    {"FlashSetVar",             173,  3,  3, "811",    ForwardObjects,        0},
    {"ShowMenuItem",            181,  1,  1, "9",      ForwardObjects,        0},
    {"HideMenuItem",            182,  1,  1, "9",      ForwardObjects,        0},
    {"EnableMenuItem",          183,  1,  1, "9",      ForwardObjects,        0},
    {"DisableMenuItem",         184,  1,  1, "9",      ForwardObjects,        0},
    {"CheckInternetConnection", 174,  1,  1, "6",      ForwardInternet,       0},
    {"ConnectToInternet",       175,  1,  1, "6",      ForwardInternet,       0},
    {"DisconnectFromInternet",  176,  0,  0, "",       ForwardInternet,       0},
    {"InternetLink",             25,  1,  1, "1",      ForwardInternet,       0},
    {"SendMail",                115,  5,  6, "112211", ForwardInternet,       cfBrowserDenied},
    {"DownloadFile",            177,  3,  3, "111",    ForwardInternet,       0},
    {"InternetFileExists",      178,  2,  3, "161",    ForwardInternet,       0},
    {"InternetFileSize",        179,  2,  3, "161",    ForwardInternet,       0},
    {"InternetPost",            197,  3,  4, "1161",   ForwardInternet,       0},
    {"InternetGet",             198,  3,  3, "161",    ForwardInternet,       0},
    {"Run",                     129,  3,  5, "11116",  ForwardPrograms,       cfBrowserDenied},
    {"RunInRectangle",          154,  6,  6, "811116", ForwardPrograms,       cfBrowserDenied},
    {"CloseApp",                144,  2,  2, "11",     ForwardPrograms,       0},
    {"IsAppRunning",            145,  2,  2, "16",     ForwardPrograms,       0},
    {"SendKeys",                 45,  2,  2, "11",     ForwardPrograms,       cfBrowserDenied},
    {"SendMenuCommand",         146,  2,  2, "11",     ForwardPrograms,       0},
    {"DropFile",                147,  2,  2, "11",     ForwardPrograms,       0},
    {"SetWindowPos",            148,  5,  5, "13333",  ForwardPrograms,       0},
    {"GetWindowPos",            149,  5,  5, "16666",  ForwardPrograms,       0},
    {"BringAppToFront",         150,  1,  1, "1",      ForwardPrograms,       0},
    {"SendAppToBack",           151,  1,  1, "1",      ForwardPrograms,       0},
    {"DisableApp",              152,  1,  1, "1",      ForwardPrograms,       0},
    {"EnableApp",               153,  1,  1, "1",      ForwardPrograms,       0},
    {"RunTomeric",              137,  2,  2, "11",     ForwardPrograms,       cfBrowserDenied},
    {"ExecuteAddOn",              6,  2,  2, "11",     ForwardPrograms,       cfBrowserDenied},
    {"DOSCommand",                5,  3,  3, "111",    ForwardPrograms,       cfBrowserDenied},
    {"ImageWindow",              24,  4,  4, "2335",   ForwardWindows,        0},
    {"TextWindow",               55,  7,  7, "2333351", ForwardWindows,        0},
    {"CloseWindow",               3,  1,  1, "1",      ForwardWindows,        0},
    {"CustomWindow",            135,  5,  5, "23381",  ForwardWindows,        0},
    {"CloseCustomWindow",       136,  1,  1, "8",      ForwardWindows,        0},
    {"If",                     ciIf,  3,  3, "414",    CmdIf,                 0},
    {"IfEx",                 ciIfEx,  1,  1, "1",      CmdIfEx,               cfSelfEvaluating},
    {"While",               ciWhile,  3,  3, "414",    CmdWhile,              0},
    {"WhileEx",           ciWhileEx,  1,  1, "1",      CmdWhileEx,            cfSelfEvaluating},
    {"ExitWhile",               169,  0,  0, "",       CmdExitWhile,          0},
    {"Loop",                 ciLoop,  3,  3, "336",    CmdLoop,               0},
    {"ExitLoop",                168,  0,  0, "",       CmdExitLoop,           0},
    {"GotoLine",                 22,  1,  1, "4",      CmdGotoLine,           0},
    {"Call",                 ciCall,  1,  1, "1",      CmdCall,               cfSelfEvaluating},
    {"GoSub",                   118,  1,  1, "1",      CmdGoSub,              0},
    {"Return",                  119,  0,  0, "",       CmdReturn,             0},
    {"SetMousePos",             127,  2,  2, "33",     ForwardSystem,         0},
    {"GetMousePos",             131,  2,  2, "66",     ForwardSystem,         0},
    {"ClickMouse",              128,  0,  0, "",       ForwardSystem,         cfBrowserDenied},
    {"Math",                     26,  3,  3, "336",    CmdMath,               cfSelfEvaluating},
    {"Random",                   42,  2,  2, "36",     CmdRandom,             0},
    {"DateToNum",               185,  3,  3, "116",    CmdDateToNum,          0},
    {"NumToDate",               186,  3,  3, "316",    CmdNumToDate,          0},
    {"Delay",                     4,  1,  1, "3",      CmdDelay,              0},
    {"SystemInfo",               54,  2,  2, "16",     ForwardSystem,         0},
    {"Suspend",                 134,  1,  1, "1",      CmdSuspend,            cfBrowserDenied},
    {"ShowErrors",              166,  1,  1, "1",      CmdShowErrors,         0},
    {"LoadIcon",                192,  2,  2, "51",     ForwardSystem,         0},
    {"DebugBreakPoint",         188,  1,  1, "1",      CmdDebugBreakPoint,    0},
    {"SetVar",                   46,  2,  2, "64",     CmdSetVar,             cfSelfEvaluating},
    {"DefineVar",               142,  5,  5, "61114",  CmdDefineVar,          cfSelfEvaluating},
    {"SaveVariables",            73,  1,  1, "1",      CmdSaveVariables,      cfBrowserDenied},
    {"LoadVariables",            74,  1,  1, "1",      CmdLoadVariables,      0},
    {"ClearVariables",           75,  0,  1, "6",      CmdClearVariables,     0},
    {"DeleteArray",             121,  2,  2, "63",     CmdDeleteArray,        0},
    {"GetArrayInfo",            194,  4,  4, "6666",   CmdGetArrayInfo,       0},
};
// clang-format on

std::vector<uint8_t> KindsFromDigits(const char* digits)
{
    std::vector<uint8_t> kinds;
    for (const char* p = digits; *p; ++p)
        kinds.push_back(static_cast<uint8_t>(*p - '0'));
    return kinds;
}

} // namespace

void RegisterBuiltinCommands(TCommandTable& table)
{
    TCommandGroup& group = table.AddCommandGroup(QStringLiteral("_QXK"), QString(), nullptr, gkBuiltin);
    for (const BuiltinRow& row : kBuiltinCommands)
        table.AddCommand(group, row.id, QString::fromLatin1(row.name), KindsFromDigits(row.kinds),
                         row.minParams, row.maxParams, row.handler, row.flags);
}

int BuiltinCommandCount()
{
    return static_cast<int>(std::size(kBuiltinCommands));
}

} // namespace tomeric
