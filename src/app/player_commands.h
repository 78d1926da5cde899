#pragma once
// The commands the window carries out itself through the generic command
// services: "Exit" closes the publication (after its confirmation question
// when it has one). Every command the player does not carry out yet does
// nothing; when the player is driven it prints one line in the headless
// runner's format, so a driver script can see what the publication asked:
//
//   CALL Command "p1" "p2" ...

#include "actions/services.h"

#include <functional>

namespace tomeric {

class TWorkForm;

class TPlayerCommands final : public CommandService {
public:
    using LineSink = std::function<void(const QString& line)>;
    TPlayerCommands(TWorkForm& form, LineSink sink) : form_(form), sink_(std::move(sink)) {}

    ServiceReply Perform(const ServiceCall& call) override;

private:
    ServiceReply Exit(const ServiceCall& call);
    TWorkForm& form_;
    LineSink sink_;
};

} // namespace tomeric
