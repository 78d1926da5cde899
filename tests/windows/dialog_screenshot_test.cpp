// Pictures of the query dialog compared with the expected pictures under
// tests/data/windows/ (checked by eye when they were made). Set
// TOMERIC_UPDATE_DIALOG_PICTURES=1 to write them again after a deliberate
// change of look.

#include "windows_test_support.h"

#include "windows/query_form.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>

namespace tomeric {
namespace {

const QString kExpectedDir = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/data/windows/");

// The publication's dialog picture: a shaded disc on a transparent ground.
QString MakeCustomImage(const QTemporaryDir& dir)
{
    QImage picture(48, 48, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(18, 18), 26);
    shade.setColorAt(0, QColor(255, 255, 255));
    shade.setColorAt(1, QColor(20, 140, 60));
    painter.setBrush(shade);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(2, 2, 44, 44));
    painter.end();
    const QString path = dir.filePath(QStringLiteral("custom.png"));
    picture.save(path);
    return path;
}

// Share of pixels whose colour differs by more than `tolerance` in a channel.
double DifferentShare(const QImage& a, const QImage& b, int tolerance)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 different = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++different;
        }
    return double(different) / double(std::max<qint64>(1, qint64(x.width()) * x.height()));
}

void CheckPicture(TQueryForm& form, const QString& name)
{
    form.show();
    QApplication::processEvents();
    const QImage shot = form.grab().toImage();
    form.hide();
    const QString expectedPath = kExpectedDir + name;
    if (qEnvironmentVariableIsSet("TOMERIC_UPDATE_DIALOG_PICTURES")) {
        QDir().mkpath(kExpectedDir);
        ASSERT_TRUE(shot.save(expectedPath));
        return;
    }
    const QImage expected(expectedPath);
    ASSERT_FALSE(expected.isNull()) << expectedPath.toStdString();
    ASSERT_EQ(shot.size(), expected.size());
    // Font rasterisation may differ slightly between machines.
    EXPECT_LT(DifferentShare(shot, expected, 40), 0.02) << name.toStdString();
}

class DialogPictures : public ::testing::Test {
protected:
    void SetUp() override { testing::DialogApplication(); }
    TDialogLook look_;
    QTemporaryDir dir_;
};

TEST_F(DialogPictures, AlertBoxWithTheBuiltInIcon)
{
    TQueryForm form(nullptr, look_, QStringLiteral("Attention"), QStringLiteral("The file was saved.|All is well."),
                    look_.Word(ltOk), QString());
    CheckPicture(form, QStringLiteral("alert_box.png"));
}

TEST_F(DialogPictures, MessageBoxWithACustomImage)
{
    TQueryForm form(nullptr, look_, QStringLiteral("Question"), QStringLiteral("Keep the changes?"),
                    QStringLiteral("Keep|Discard|Cancel"), MakeCustomImage(dir_));
    ASSERT_TRUE(form.HasCustomImage());
    CheckPicture(form, QStringLiteral("message_box_custom_image.png"));
}

} // namespace
} // namespace tomeric
