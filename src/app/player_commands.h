#pragma once
// The window and program commands the player carries out itself: "Exit"
// closes the publication (after its confirmation question when it has one),
// "RunTomeric" runs another publication in this window, "Find",
// "FindFirst", "FindNext" and "HelpTopic" open the Find window and the help,
// "CloseWindow" closes the Find window (with an empty name the floating
// windows close too, further on). Every other command of these
// services goes on to `next` (the not-carried-out service).

#include "actions/services.h"

namespace tomeric {

class TWorkForm;

class TPlayerCommands final : public CommandService {
public:
    TPlayerCommands(TWorkForm& form, CommandService* next) : form_(form), next_(next) {}

    ServiceReply Perform(const ServiceCall& call) override;

private:
    ServiceReply Exit(const ServiceCall& call);
    ServiceReply RunTomeric(const ServiceCall& call);
    ServiceReply PassOn(const ServiceCall& call);
    TWorkForm& form_;
    CommandService* next_;
};

} // namespace tomeric
