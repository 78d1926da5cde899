#pragma once
// One QApplication for the object tests (widgets, cursors, pixmaps), and
// helpers to build records and render widgets offscreen.

#include "objects/object_commands.h"
#include "publication/object_model.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace tomeric::testing {

inline QApplication& ObjectsApplication()
{
    static int argc = 1;
    static char name[] = "test_objects";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the event loop for `ms` milliseconds.
inline void RunEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until `done` holds or `timeoutMs` passed; whether it
// held.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        RunEventLoop(5);
    }
    return true;
}

// The object commands' world in tests: `page` is page 1 and shows, `other`
// is page 2 and does not; bringing up a page is recorded in `broughtUp`.
inline TObjectWorld TwoPageWorld(QWidget* page, QWidget* other, std::vector<int>& broughtUp)
{
    TObjectWorld world;
    world.shownRoots = [page] { return std::vector<TObjectRoot>{{page, 1, true, false}}; };
    world.otherRoots = [other](const QString&) { return std::vector<TObjectRoot>{{other, 2, false, false}}; };
    world.bringUpPage = [&broughtUp](int index) { broughtUp.push_back(index); };
    return world;
}

// A record of `type` at (x, y) with size w x h and name `name`.
inline TObjectRecord Record(int type, const QString& name, int x, int y, int w, int h)
{
    TObjectRecord record = MakeObjectRecord(type);
    record.name = name;
    record.x = x;
    record.y = y;
    record.width = w;
    record.height = h;
    return record;
}

// Makes sure the application exists before a widget base is constructed.
struct TObjectsAppFirst {
    TObjectsAppFirst() { ObjectsApplication(); }
};

// A plain page stand-in: a white widget of the given size that the objects
// are created on.
class TTestPage : private TObjectsAppFirst, public QWidget {
public:
    explicit TTestPage(QSize size = {200, 150}) { resize(size); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};

// Renders `widget` and its children into an image of its size.
inline QImage RenderWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// Lets posted events arrive.
inline void TurnEventLoop()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace tomeric::testing
