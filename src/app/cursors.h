#pragma once
// The publication's cursors: the application cursor (APPCURSOR) over the
// pages, the hot-spot cursor (HOTSPOTCURSOR) over objects that react to a
// click, the drag cursor (DRAGCURSOR) and the busy cursor (BUSYCURSOR).
// Each falls back to the system's own when it is not set or cannot be read.

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <optional>

namespace tomeric {

struct TCursorSet {
    QCursor application{Qt::ArrowCursor};
    QCursor hotSpot{Qt::PointingHandCursor};
    QCursor drag{Qt::ClosedHandCursor};
    QCursor busy{Qt::WaitCursor};
};

// The hot spot a Windows cursor file (.cur) names for its first image;
// nothing for other files.
std::optional<QPoint> CursorFileHotSpot(const QByteArray& bytes);

// A cursor file the publication names (resolved through the package; an
// extracted copy is deleted again once loaded). Nothing when unreadable.
std::optional<QCursor> LoadPublicationCursor(const QString& name);

} // namespace tomeric
