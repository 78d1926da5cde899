// The object commands and their handlers: the one place to find the code of
// any object command.

#include "objects/object_command_handlers.h"

#include <iterator>

namespace tomeric {

namespace {

constexpr TObjectCommandRow kObjectCommands[] = {
    // name                finds  handler
    {"ShowObject",          true,  ShowObjectCommand},
    {"HideObject",          true,  HideObjectCommand},
    {"EnableObject",        true,  EnableObjectCommand},
    {"DisableObject",       true,  DisableObjectCommand},
    {"GetObjectInfo",       true,  GetObjectInfoCommand},
    {"MoveObject",          true,  MoveObjectCommand},
    {"MoveObjectAlongPath", true,  MoveObjectAlongPathCommand},
    // A name stops that object's mover, found or not; no name stops all.
    {"StopMovingObject",    false, StopMovingObjectCommand},
    {"SizeObject",          true,  SizeObjectCommand},
    {"ObjectToFront",       true,  ObjectToFrontCommand},
    {"ObjectToBack",        true,  ObjectToBackCommand},
    {"FocusObject",         true,  FocusObjectCommand},
    {"RefreshObject",       true,  RefreshObjectCommand},
    {"GetObjectHandle",     true,  GetObjectHandleCommand},
    {"SetObjectFill",       true,  SetObjectFillCommand},
    {"SetObjectLine",       true,  SetObjectLineCommand},
    {"SetObjectFont",       true,  SetObjectFontCommand},
    {"SetObjectCaption",    true,  SetObjectCaptionCommand},
    {"SetObjectFileName",   true,  SetObjectFileNameCommand},
    {"GIFPlay",             true,  GifCommand},
    {"GIFStop",             true,  GifCommand},
    {"MediaPlayerPlay",     true,  MediaPlayerCommand},
    {"MediaPlayerStop",     true,  MediaPlayerCommand},
    {"MediaPlayerPause",    true,  MediaPlayerCommand},
    {"MediaPlayerRewind",   true,  MediaPlayerCommand},
    {"TimerStart",          true,  TimerStartCommand},
    {"TimerStop",           true,  TimerStopCommand},
    {"ListBoxGetItem",      true,  ListBoxGetItemCommand},
    {"ListBoxAddItem",      true,  ListBoxAddItemCommand},
    {"ListBoxMoveItem",     true,  ListBoxMoveItemCommand},
    {"ListBoxDeleteItem",   true,  ListBoxDeleteItemCommand},
    {"ListBoxChangeItem",   true,  ListBoxChangeItemCommand},
    {"ListBoxSize",         true,  ListBoxSizeCommand},
    {"ListBoxFindItem",     true,  ListBoxFindItemCommand},
    {"ListBoxSort",         true,  ListBoxSortCommand},
    {"TrackBarSetMin",      true,  TrackBarSetMinCommand},
    {"TrackBarSetMax",      true,  TrackBarSetMaxCommand},
    {"BrowserGoTo",         true,  BrowserCommand},
    {"BrowserBack",         true,  BrowserCommand},
    {"BrowserForward",      true,  BrowserCommand},
    {"BrowserHome",         true,  BrowserCommand},
    {"BrowserSearch",       true,  BrowserCommand},
    {"BrowserPrint",        true,  BrowserPrintCommand},
    {"BrowserStop",         true,  BrowserCommand},
    {"BrowserExport",       true,  BrowserCommand},
    {"BrowserFind",         true,  BrowserCommand},
    {"BrowserLoadFromStr",  true,  BrowserCommand},
    {"BrowserExecScript",   true,  BrowserCommand},
    {"BrowserGetElement",   true,  BrowserCommand},
    {"BrowserSetElement",   true,  BrowserCommand},
    {"ArticleJumpTo",       true,  ArticleJumpToCommand},
    {"PictureMagnify",      true,  PictureMagnifyCommand},
    {"FlashPlay",           true,  FlashCommand},
    {"FlashPause",          true,  FlashCommand},
    {"FlashStop",           true,  FlashCommand},
    {"FlashRewind",         true,  FlashCommand},
    {"FlashGotoFrame",      true,  FlashCommand},
    {"FlashForward",        true,  FlashCommand},
    {"FlashBack",           true,  FlashCommand},
    {"FlashGetVar",         true,  FlashCommand},
    {"FlashSetVar",         true,  FlashCommand},
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
