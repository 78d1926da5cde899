// The window's object service: menu-item commands stay with the menus,
// page-object commands go to the object command service, anything else on
// to the next service.

#include "app/main_menu.h"
#include "objects/object_commands.h"

#include "gui_application.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class RecordingService : public CommandService {
public:
    ServiceReply Perform(const ServiceCall& call) override
    {
        commands << call.Command;
        return {};
    }
    QStringList commands;
};

TEST(ObjectCommandRouting, ObjectCommandsReachTheObjectServiceAndOthersTheNext)
{
    testing::GuiApplication();
    TPublicationMenu menus([](const QString&, const QString&, uint8_t) {});
    RecordingService objects, next;
    menus.SetObjectCommands(&objects);
    menus.SetNext(&next);
    for (const char* command : {"ShowObject", "listboxadditem", "MoveObjectAlongPath", "FlashSetVar",
                                "ShowMenuItem", "PlaySound"}) {
        ServiceCall call;
        call.Command = QString::fromLatin1(command);
        call.Params = {QStringLiteral("Name")};
        menus.Perform(call);
    }
    EXPECT_EQ(objects.commands,
              QStringList({"ShowObject", "listboxadditem", "MoveObjectAlongPath", "FlashSetVar"}));
    EXPECT_EQ(next.commands, QStringList({"PlaySound"}));
}

TEST(ObjectCommandRouting, EveryObjectCommandOfTheCommandTableIsHandled)
{
    for (const char* command :
         {"ShowObject", "HideObject", "EnableObject", "DisableObject", "GetObjectInfo", "MoveObject",
          "MoveObjectAlongPath", "StopMovingObject", "SizeObject", "ObjectToFront", "ObjectToBack",
          "FocusObject", "RefreshObject", "GetObjectHandle", "SetObjectFill", "SetObjectLine",
          "SetObjectFont", "SetObjectCaption", "SetObjectFileName", "GIFPlay", "GIFStop",
          "MediaPlayerPlay", "MediaPlayerStop", "MediaPlayerPause", "MediaPlayerRewind", "TimerStart",
          "TimerStop", "ListBoxGetItem", "ListBoxAddItem", "ListBoxMoveItem", "ListBoxDeleteItem",
          "ListBoxChangeItem", "ListBoxSize", "ListBoxFindItem", "ListBoxSort", "TrackBarSetMin",
          "TrackBarSetMax", "BrowserGoTo", "BrowserBack", "BrowserForward", "BrowserHome",
          "BrowserSearch", "BrowserPrint", "BrowserStop", "BrowserExport", "BrowserFind",
          "BrowserLoadFromStr", "BrowserExecScript", "BrowserGetElement", "BrowserSetElement",
          "ArticleJumpTo", "PictureMagnify", "FlashPlay", "FlashPause", "FlashStop", "FlashRewind",
          "FlashGotoFrame", "FlashForward", "FlashBack", "FlashGetVar", "FlashSetVar"})
        EXPECT_TRUE(TObjectCommands::Handles(QString::fromLatin1(command))) << command;
    EXPECT_FALSE(TObjectCommands::Handles(QStringLiteral("HideMenuItem")));
}

} // namespace
} // namespace tomeric
