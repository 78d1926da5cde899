// The window's object service: menu-item commands stay with the menus,
// page-object commands go to the object command service, anything else on
// to the next service.

#include "actions/command_table.h"
#include "actions/core_commands.h"
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

// Every command the table hands to the object service is carried out there:
// by the object commands, or, when its parameter names a menu item, by the
// menus. Nothing the table sends to objects falls through to the next service.
TEST(ObjectCommandRouting, EveryCommandForwardedToObjectsHasItsHandler)
{
    int objectCommands = 0;
    for (const TCommandRecord& record : CommandTable().BuiltinGroup()->Commands) {
        const bool forwarded = record.Handler == &ForwardObjects;
        const bool menuItem = record.Kind(1) == pkMenuItemName;
        const bool handled = TObjectCommands::Handles(record.Name);
        if (forwarded && !menuItem) {
            EXPECT_TRUE(handled) << record.Name.toStdString();
            ++objectCommands;
        } else {
            EXPECT_FALSE(handled) << record.Name.toStdString() << " is not forwarded to the object service";
        }
    }
    EXPECT_GT(objectCommands, 0);
}

} // namespace
} // namespace tomeric
