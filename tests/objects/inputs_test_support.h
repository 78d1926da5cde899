#pragma once
// Input objects under test: a page, the recording host, the variable-change
// broadcast delivered to the page's objects as the player does it, and
// keys, mouse presses and drops sent straight to a widget.

#include "objects/object_tree.h"
#include "objects/tomeric_obj.h"
#include "vars/variables.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>

namespace tomeric::testing {

// Object message 1226 for every variable write, to the page's objects.
class TInputsVarBroadcast : public VariableObserver {
public:
    explicit TInputsVarBroadcast(QWidget& page) : page_(page) { AddVariableObserver(this); }
    ~TInputsVarBroadcast() override { RemoveVariableObserver(this); }
    void VariableChanged(const QString& bracketedName, const QString& value) override
    {
        ++announcements;
        SendToObjects(&page_, [&](TTomericObj& object) { object.OnVarChanged(bracketedName, value); });
    }
    void LastErrorSet(const QString& text, bool) override { lastError = text; }

    int announcements = 0;
    QString lastError;

private:
    QWidget& page_;
};

class InputsFixture : public ::testing::Test {
protected:
    InputsFixture() : broadcast(page) { ResetVariableStore(); }
    ~InputsFixture() override { ResetVariableStore(); }

    // The runs of one event kind, after posted scripts arrived.
    int Runs(int kind)
    {
        TurnEventLoop();
        int count = 0;
        for (const TRecordedRun& run : host.runs)
            count += run.kind == kind ? 1 : 0;
        return count;
    }

    TTestPage page{QSize(300, 200)};
    TTestObjectHost host;
    TInputsVarBroadcast broadcast;
};

inline void SendKey(QWidget& target, int key, const QString& text = QString(),
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&target, &press);
    QApplication::sendEvent(&target, &release);
}

inline void TypeInto(QWidget& target, const QString& text)
{
    for (const QChar c : text)
        SendKey(target, c.toUpper().unicode(), QString(c));
}

inline void SendMouse(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(target.mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

} // namespace tomeric::testing
