// Publication cursors: the hot spot of Windows cursor files, and the
// fallback to the system cursors.

#include "app/cursors.h"

#include "gui_application.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

QByteArray CursorHeader(quint16 type, quint16 count, quint16 x, quint16 y)
{
    QByteArray bytes(6 + 16, '\0');
    auto put = [&](int at, quint16 v) {
        bytes[at] = char(v & 0xFF);
        bytes[at + 1] = char(v >> 8);
    };
    put(2, type);
    put(4, count);
    put(6 + 4, x);
    put(6 + 6, y);
    return bytes;
}

TEST(CursorFiles, TheFirstImagesHotSpotIsRead)
{
    EXPECT_EQ(CursorFileHotSpot(CursorHeader(2, 1, 7, 12)), QPoint(7, 12));
    EXPECT_EQ(CursorFileHotSpot(CursorHeader(2, 3, 0, 31)), QPoint(0, 31));
}

TEST(CursorFiles, IconsShortFilesAndEmptyDirectoriesHaveNoHotSpot)
{
    EXPECT_FALSE(CursorFileHotSpot(CursorHeader(1, 1, 7, 12)).has_value()); // an icon
    EXPECT_FALSE(CursorFileHotSpot(CursorHeader(2, 0, 7, 12)).has_value());
    EXPECT_FALSE(CursorFileHotSpot(CursorHeader(2, 1, 7, 12).left(10)).has_value());
    EXPECT_FALSE(CursorFileHotSpot(QByteArray()).has_value());
}

TEST(CursorFiles, UnsetOrMissingCursorsFallBackToTheSystems)
{
    testing::GuiApplication();
    EXPECT_FALSE(LoadPublicationCursor(QString()).has_value());
    EXPECT_FALSE(LoadPublicationCursor(QStringLiteral("/no/such/cursor.cur")).has_value());
    const TCursorSet defaults;
    EXPECT_EQ(defaults.application.shape(), Qt::ArrowCursor);
    EXPECT_EQ(defaults.hotSpot.shape(), Qt::PointingHandCursor);
    EXPECT_EQ(defaults.busy.shape(), Qt::WaitCursor);
}

} // namespace
} // namespace tomeric
