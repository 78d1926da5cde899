// SendKeys with an empty application: the keys go to the player itself as
// Qt key events, to the focused control (or the main window). Kept apart
// from the X11 code, whose macros clash with Qt's event names.

#include "actions/action_eval.h"
#include "app/x11_program_windows.h"
#include "services/send_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace tomeric {

ServiceReply TX11ProgramWindows::SendKeysToPlayer(const QString& keys)
{
    const TKeySequence sequence = ParseSendKeys(PrepareSendKeys(keys));
    if (sequence.Error) {
        ServiceReply reply = SucceededReply();
        reply.ActionError = sequence.Error;
        return reply;
    }
    QWidget* main = player_.mainWindow ? player_.mainWindow() : nullptr;
    Qt::KeyboardModifiers held;
    for (const TKeyStroke& stroke : sequence.Strokes) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : main;
        if (!target)
            break;
        const Qt::KeyboardModifier modifier = stroke.Key == Qt::Key_Shift     ? Qt::ShiftModifier
                                              : stroke.Key == Qt::Key_Control ? Qt::ControlModifier
                                              : stroke.Key == Qt::Key_Alt     ? Qt::AltModifier
                                                                              : Qt::NoModifier;
        if (modifier != Qt::NoModifier) {
            held.setFlag(modifier, stroke.Kind == TKeyStroke::ksDown);
            continue;
        }
        const QString text = stroke.Key == 0 ? QString(stroke.Character)
                             : stroke.Key == Qt::Key_Return ? QStringLiteral("\r")
                                                            : QString();
        const int key = stroke.Key ? stroke.Key : QKeySequence(text).count() ? QKeySequence(text)[0].key() : 0;
        const Qt::KeyboardModifiers modifiers = held | (stroke.Keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
    return SucceededReply();
}

} // namespace tomeric
