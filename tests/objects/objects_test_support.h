#pragma once
// One QApplication for the object tests (widgets, cursors, pixmaps), and
// helpers to build records and render widgets offscreen.

#include "publication/object_model.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace tomeric::testing {

inline QApplication& ObjectsApplication()
{
    static int argc = 1;
    static char name[] = "test_objects";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
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
