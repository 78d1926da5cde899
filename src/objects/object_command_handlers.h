#pragma once
// The handlers behind the object command table: one function per command,
// grouped by subject in object_geometry.cpp, object_info.cpp,
// object_styles.cpp and family_commands.cpp. Used by object_commands.cpp.

#include "objects/object_commands.h"
#include "platform/string_table.h"

namespace tomeric {

// One command being carried out.
struct TObjectCommandRun {
    TObjectCommands& commands;
    const ServiceCall& call;
    TFoundObject found;   // the object named by parameter 1 (when looked up)
    ServiceReply& reply;

    TTomericObj& Object() const { return *found.object; }
    // Parameter n, counting from 1; empty when not given.
    QString Param(int n) const { return call.Params.value(n - 1); }
    // The whole number parameter n; `fallback` when it is not one.
    int IntParam(int n, int fallback = 0) const;
    void Result(int slot, const QString& value) const { reply.Results[slot] = value; }
    // [LastError] = "name"||message.
    void Fail(const QString& name, MessageId messageId) const;
};

using TObjectCommandHandler = void (*)(TObjectCommandRun& run);

struct TObjectCommandRow {
    const char* name;
    bool findsObject; // parameter 1 names an object that must exist
    TObjectCommandHandler handler;
};

// The row of a command, by name (any case); null when not an object command.
const TObjectCommandRow* FindObjectCommand(const QString& name);

// "True" / "False".
QString TrueFalseWord(bool value);
// A true word (True, Yes, 1 ...) or false word (False, No, 0 ...); nothing
// for other texts.
std::optional<bool> ParseTruthWord(const QString& text);
// A whole number in the text (the script's decimal symbol allowed); nothing
// when there is none.
std::optional<int> ParseCommandNumber(const QString& text);

// ---- common commands ----------------------------------------------------------
void ShowObjectCommand(TObjectCommandRun& run);
void HideObjectCommand(TObjectCommandRun& run);
void EnableObjectCommand(TObjectCommandRun& run);
void DisableObjectCommand(TObjectCommandRun& run);
void MoveObjectCommand(TObjectCommandRun& run);
void SizeObjectCommand(TObjectCommandRun& run);
void MoveObjectAlongPathCommand(TObjectCommandRun& run);
void StopMovingObjectCommand(TObjectCommandRun& run);
void ObjectToFrontCommand(TObjectCommandRun& run);
void ObjectToBackCommand(TObjectCommandRun& run);
void FocusObjectCommand(TObjectCommandRun& run);
void RefreshObjectCommand(TObjectCommandRun& run);
void GetObjectHandleCommand(TObjectCommandRun& run);
void GetObjectInfoCommand(TObjectCommandRun& run);
void SetObjectFillCommand(TObjectCommandRun& run);
void SetObjectLineCommand(TObjectCommandRun& run);
void SetObjectFontCommand(TObjectCommandRun& run);
void SetObjectCaptionCommand(TObjectCommandRun& run);
void SetObjectFileNameCommand(TObjectCommandRun& run);

// ---- family commands ----------------------------------------------------------
void ListBoxGetItemCommand(TObjectCommandRun& run);
void ListBoxAddItemCommand(TObjectCommandRun& run);
void ListBoxDeleteItemCommand(TObjectCommandRun& run);
void ListBoxChangeItemCommand(TObjectCommandRun& run);
void ListBoxSizeCommand(TObjectCommandRun& run);
void ListBoxFindItemCommand(TObjectCommandRun& run);
void ListBoxSortCommand(TObjectCommandRun& run);
void ListBoxMoveItemCommand(TObjectCommandRun& run);
void TrackBarSetMinCommand(TObjectCommandRun& run);
void TrackBarSetMaxCommand(TObjectCommandRun& run);
void TimerStartCommand(TObjectCommandRun& run);
void TimerStopCommand(TObjectCommandRun& run);
void PictureMagnifyCommand(TObjectCommandRun& run);
void ArticleJumpToCommand(TObjectCommandRun& run);
// Media players and animations.
void MediaPlayerCommand(TObjectCommandRun& run);
void GifCommand(TObjectCommandRun& run);
// Browsers (browser_commands.cpp) and Flash movies (flash_commands.cpp): the
// object is found and its kind checked.
void BrowserCommand(TObjectCommandRun& run);
void BrowserPrintCommand(TObjectCommandRun& run);
void FlashCommand(TObjectCommandRun& run);

} // namespace tomeric
