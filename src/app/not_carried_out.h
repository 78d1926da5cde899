#pragma once
// Where commands go whose service this player does not have yet (sound,
// programs, printing ...). Nothing is dropped silently: the first use of
// each command name says so on standard error,
//
//   qxplay5: PlaySoundFile is not carried out by this player yet
//
// and the script goes on with the next line. A driven player also prints
// every such call in the headless runner's format, so a driver script can
// see what the publication asked:
//
//   CALL Command "p1" "p2" ...

#include "actions/services.h"

#include <functional>

namespace tomeric {

class TNotCarriedOut final : public CommandService {
public:
    using LineSink = std::function<void(const QString& line)>;
    // `driveSink`: where a driven player prints its CALL lines (null when
    // the player is not driven).
    explicit TNotCarriedOut(LineSink driveSink) : driveSink_(std::move(driveSink)) {}

    ServiceReply Perform(const ServiceCall& call) override;

private:
    LineSink driveSink_;
};

} // namespace tomeric
