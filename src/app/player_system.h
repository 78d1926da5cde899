#pragma once
// The mouse and system commands of the player: SetMousePos (the pointer
// glides to a point of the page), GetMousePos, ClickMouse (a left click on
// what lies under the pointer), SystemInfo and LoadIcon.
//
// Points are the page's: the publication area's top-left corner is 0,0.
// ClickMouse reaches the player's own windows through Qt, and other
// programs' windows through the X test extension where the session has it
// (elsewhere it clicks nothing, and the log says so once).

#include "actions/services.h"

#include <QIcon>
#include <QPoint>

namespace tomeric {

class TWorkForm;

class TPlayerSystem final : public CommandService {
public:
    explicit TPlayerSystem(TWorkForm& form) : form_(form) {}

    ServiceReply Perform(const ServiceCall& call) override;

    // The glide of SetMousePos from `from` to `to`: straight steps of at
    // most 8 pixels along the longer axis, never past the target, ending on
    // it. Empty when the pointer is there already.
    static QList<QPoint> GlidePath(QPoint from, QPoint to);

private:
    ServiceReply SetMousePos(const ServiceCall& call);
    ServiceReply GetMousePos(const ServiceCall& call);
    ServiceReply ClickMouse(const ServiceCall& call);
    ServiceReply SystemInfo(const ServiceCall& call);
    ServiceReply LoadIcon(const ServiceCall& call);

    QPoint PageOrigin() const;
    // Lets the publication run for `ms` milliseconds.
    void Pause(int ms);

    TWorkForm& form_;
    std::optional<QIcon> builtinIcon_; // the icon the program started with
};

} // namespace tomeric
