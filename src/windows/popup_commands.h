#pragma once
// The pop-up commands in the player: Balloon, StickyNote, PopUpImage, Menu
// and MenuEx. Each builds its pop-up, shows it where its rules place it,
// waits until it is dismissed and frees it again. Every other command goes
// on to `next`.
//
// A driven player prints the POPUP line of each pop-up (popup_lines.h) and
// still shows it, so that the driver can act on it; a Menu or MenuEx with a
// queued "answer" takes that answer at once instead.

#include "actions/services.h"
#include "windows/popup_palette.h"

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QRect>

#include <functional>
#include <optional>

namespace tomeric {

// What the pop-ups need of the player.
struct TPopUpHost {
    std::function<QWidget*()> mainWindow;
    // The page area on the screen: its origin and the publication's size.
    std::function<QRect()> pageArea;
    // Where a menu at -1 centres: the page area's origin with the size of
    // the main window's client area.
    std::function<QRect()> menuCentring;
    std::function<QFont()> dialogFont;
    std::function<QCursor()> cursor;                // the publication's normal pointer
    std::function<bool()> closeOnMouseMove;         // MOUSEEXIT screen saver
    std::function<QImage(const QString&)> picture;  // with its alpha; null when unreadable
    // A copy of what the screen shows in a rectangle, for the transitions.
    std::function<QImage(const QRect&)> beneath;
    // Driven runs: where POPUP lines go, and the next queued answer.
    std::function<void(const QString&)> lineSink;
    std::function<std::optional<QString>()> queuedAnswer;
    bool fastEffects = false; // transitions show their last step at once
};

class TPopUpCommands final : public CommandService {
public:
    TPopUpCommands(TPopUpHost host, CommandService* next) : host_(std::move(host)), next_(next) {}

    ServiceReply Perform(const ServiceCall& call) override;

private:
    ServiceReply Balloon(const ServiceCall& call);
    ServiceReply StickyNote(const ServiceCall& call);
    ServiceReply PopUpImage(const ServiceCall& call);
    // The chosen item's number, 0 for none.
    int Menu(const ServiceCall& call);
    TPopUpEnvironment Environment() const;

    TPopUpHost host_;
    CommandService* next_;
};

} // namespace tomeric
