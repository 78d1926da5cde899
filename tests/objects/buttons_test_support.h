#pragma once
// Buttons under test: a page, the recording host, the variable-change
// broadcast delivered to the page's objects as the player does, and mouse
// and key events sent straight to a button.

#include "objects/buttons.h"
#include "objects/object_tree.h"
#include "vars/variables.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>

namespace tomeric::testing {

// Sends every variable change to the objects of one page (object message
// 1226), like the main window does.
class TPageVarBroadcast : public VariableObserver {
public:
    explicit TPageVarBroadcast(QWidget& page) : page_(page) { AddVariableObserver(this); }
    ~TPageVarBroadcast() override { RemoveVariableObserver(this); }
    void VariableChanged(const QString& bracketedName, const QString& value) override
    {
        SendToObjects(&page_, [&](TTomericObj& object) { object.OnVarChanged(bracketedName, value); });
    }
    void LastErrorSet(const QString&, bool) override {}

private:
    QWidget& page_;
};

class ButtonsFixture : public ::testing::Test {
protected:
    ButtonsFixture() : broadcast(page) { GlobalVars().Clear(); }
    ~ButtonsFixture() override { GlobalVars().Clear(); }

    using TTweak = std::function<void(TObjectRecord&)>;

    TTomericPushBtn* MakePush(const QString& name, const TTweak& tweak = {})
    {
        TObjectRecord record = Record(otPushBtn, name, 10, 10, 80, 30);
        if (tweak) tweak(record);
        return new TTomericPushBtn(&page, record, host);
    }
    TTomericCheckBox* MakeCheck(const QString& name, const TTweak& tweak = {})
    {
        TObjectRecord record = Record(otCheckBox, name, 10, 50, 100, 20);
        if (tweak) tweak(record);
        return new TTomericCheckBox(&page, record, host);
    }
    TTomericRadioBtn* MakeRadio(const QString& name, const QString& caption, const QString& varName,
                                int initialState = qxbsUp)
    {
        TObjectRecord record = Record(otRadioBtn, name, 10, 80, 100, 20);
        auto* props = record.As<TCheckBoxProps>();
        props->text = caption;
        props->varName = varName;
        props->initialState = initialState;
        props->clickAction = QStringLiteral("Picked ") + name;
        return new TTomericRadioBtn(&page, record, host);
    }

    // The click actions that ran (after the posted events arrived).
    int Clicks()
    {
        TurnEventLoop();
        int count = 0;
        for (const TRecordedRun& run : host.runs) count += run.kind == ekClick ? 1 : 0;
        return count;
    }

    void InitAll()
    {
        SendToObjects(&page, [](TTomericObj& object) { object.OnInit(); });
    }

    TTestPage page;
    TTestObjectHost host;
    TPageVarBroadcast broadcast;
};

// A library strip of 30×10: red, green and blue frames of 10×10.
inline QImage StripImage()
{
    QImage strip(30, 10, QImage::Format_RGB32);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) strip.setPixelColor(f * 10 + x, y, colours[f]);
    return strip;
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void Press(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton) { SendMouse(w, QEvent::MouseButtonPress, at, b); }
inline void Move(QWidget& w, QPoint at) { SendMouse(w, QEvent::MouseMove, at, Qt::LeftButton); }
inline void Release(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton) { SendMouse(w, QEvent::MouseButtonRelease, at, b); }

inline void Click(QWidget& widget)
{
    const QPoint centre = widget.rect().center();
    Press(widget, centre);
    Release(widget, centre);
}

inline void Enter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(&widget, &event);
}

inline void Leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void SendKey(QWidget& widget, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// Runs the event loop until `done` or `timeoutMs` passed; the time taken.
inline qint64 WaitFor(const std::function<bool()>& done, int timeoutMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    RunUntil(done, timeoutMs);
    return clock.elapsed();
}

} // namespace tomeric::testing
