#pragma once
// Helpers of the shape, picture and timer tests: mouse clicks that travel
// the way the window system delivers them (through the top-level window, so
// masks decide which object gets them), waiting on the event loop, small
// pictures written to disk, and comparing renders with reference images.

#include "objects_test_support.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace tomeric::testing {

// Presses and releases `button` at `point` of the shown top-level `page`;
// the window hands the events to whatever child lies there.
inline void ClickAt(QWidget& page, QPoint point, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = page.windowHandle();
    ASSERT_NE(window, nullptr) << "the page must be shown";
    const QPointF local(point);
    const QPointF global = page.mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window, &release);
}

// Whether two colours differ by at most `tolerance` per channel.
inline bool Close(QColor a, QColor b, int tolerance = 8)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The share of pixels (0..1) whose colours differ by more than `tolerance`.
inline double DifferingShare(const QImage& a, const QImage& b, int tolerance = 24)
{
    if (a.size() != b.size()) return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (!Close(x.pixelColor(col, row), y.pixelColor(col, row), tolerance)) ++differing;
    return double(differing) / (qint64(x.width()) * x.height());
}

// Compares a render with tests/data/objects/<name>. With
// TOMERIC_WRITE_REFERENCES set in the environment the render is written as
// the new reference instead (check it by eye before committing it).
inline void ExpectLooksLike(const QImage& render, const QString& name)
{
    const QString path = QStringLiteral(TOMERIC_TEST_DATA "/objects/") + name;
    if (qEnvironmentVariableIsSet("TOMERIC_WRITE_REFERENCES")) {
        ASSERT_TRUE(render.save(path)) << path.toStdString();
        return;
    }
    const QImage expected(path);
    ASSERT_FALSE(expected.isNull()) << "missing reference " << path.toStdString();
    EXPECT_LE(DifferingShare(render, expected), 0.005) << name.toStdString();
}

} // namespace tomeric::testing
