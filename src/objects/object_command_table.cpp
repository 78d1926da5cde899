// The object commands and their handlers: the one place to find the code of
// any object command. Ids are those of the action language's command table.

#include "objects/object_command_handlers.h"

#include <iterator>

namespace tomeric {

namespace {

constexpr TObjectCommandRow kObjectCommands[] = {
    // name                  id   finds  handler
    {"ShowObject",           62,  true,  ShowObjectCommand},
    {"HideObject",           63,  true,  HideObjectCommand},
    {"EnableObject",         65,  true,  EnableObjectCommand},
    {"DisableObject",        64,  true,  DisableObjectCommand},
    {"GetObjectInfo",        66,  true,  GetObjectInfoCommand},
    {"MoveObject",           67,  true,  MoveObjectCommand},
    {"MoveObjectAlongPath", 164,  true,  MoveObjectAlongPathCommand},
    // A name stops that object's mover, found or not; no name stops all.
    {"StopMovingObject",    165,  false, StopMovingObjectCommand},
    {"SizeObject",           68,  true,  SizeObjectCommand},
    {"ObjectToFront",       124,  true,  ObjectToFrontCommand},
    {"ObjectToBack",        125,  true,  ObjectToBackCommand},
    {"FocusObject",         107,  true,  FocusObjectCommand},
    {"RefreshObject",        69,  true,  RefreshObjectCommand},
    {"GetObjectHandle",     108,  true,  GetObjectHandleCommand},
    {"SetObjectFill",       156,  true,  SetObjectFillCommand},
    {"SetObjectLine",       157,  true,  SetObjectLineCommand},
    {"SetObjectFont",       158,  true,  SetObjectFontCommand},
    {"SetObjectCaption",    159,  true,  SetObjectCaptionCommand},
    {"SetObjectFileName",   160,  true,  SetObjectFileNameCommand},
    {"GIFPlay",              87,  true,  GifCommand},
    {"GIFStop",              88,  true,  GifCommand},
    {"MediaPlayerPlay",     101,  true,  MediaPlayerCommand},
    {"MediaPlayerStop",     102,  true,  MediaPlayerCommand},
    {"MediaPlayerPause",    103,  true,  MediaPlayerCommand},
    {"MediaPlayerRewind",   104,  true,  MediaPlayerCommand},
    {"TimerStart",           89,  true,  TimerStartCommand},
    {"TimerStop",            90,  true,  TimerStopCommand},
    {"ListBoxGetItem",       91,  true,  ListBoxGetItemCommand},
    {"ListBoxAddItem",       92,  true,  ListBoxAddItemCommand},
    {"ListBoxMoveItem",      98,  true,  ListBoxMoveItemCommand},
    {"ListBoxDeleteItem",    93,  true,  ListBoxDeleteItemCommand},
    {"ListBoxChangeItem",    94,  true,  ListBoxChangeItemCommand},
    {"ListBoxSize",          95,  true,  ListBoxSizeCommand},
    {"ListBoxFindItem",      96,  true,  ListBoxFindItemCommand},
    {"ListBoxSort",          97,  true,  ListBoxSortCommand},
    {"TrackBarSetMin",       99,  true,  TrackBarSetMinCommand},
    {"TrackBarSetMax",      100,  true,  TrackBarSetMaxCommand},
    {"BrowserGoTo",          80,  true,  BrowserCommand},
    {"BrowserBack",          81,  true,  BrowserCommand},
    {"BrowserForward",       82,  true,  BrowserCommand},
    {"BrowserHome",          83,  true,  BrowserCommand},
    {"BrowserSearch",        84,  true,  BrowserCommand},
    {"BrowserPrint",         85,  true,  BrowserPrintCommand},
    {"BrowserStop",          86,  true,  BrowserCommand},
    {"BrowserExport",       132,  true,  BrowserCommand},
    {"BrowserFind",         163,  true,  BrowserCommand},
    {"BrowserLoadFromStr",  187,  true,  BrowserCommand},
    {"BrowserExecScript",   199,  true,  BrowserCommand},
    {"BrowserGetElement",   200,  true,  BrowserCommand},
    {"BrowserSetElement",   201,  true,  BrowserCommand},
    {"ArticleJumpTo",       116,  true,  ArticleJumpToCommand},
    {"PictureMagnify",      122,  true,  PictureMagnifyCommand},
    {"FlashPlay",           138,  true,  FlashCommand},
    {"FlashPause",          180,  true,  FlashCommand},
    {"FlashStop",           139,  true,  FlashCommand},
    {"FlashRewind",         140,  true,  FlashCommand},
    {"FlashGotoFrame",      141,  true,  FlashCommand},
    {"FlashForward",        170,  true,  FlashCommand},
    {"FlashBack",           171,  true,  FlashCommand},
    {"FlashGetVar",         172,  true,  FlashGetVarCommand},
    {"FlashSetVar",         173,  true,  FlashCommand},
};

} // namespace

const TObjectCommandRow* FindObjectCommand(const QString& name)
{
    for (const TObjectCommandRow& row : kObjectCommands)
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

bool TObjectCommands::Handles(const QString& command) { return FindObjectCommand(command) != nullptr; }

} // namespace tomeric
