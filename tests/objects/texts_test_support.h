#pragma once
// Texts and articles under test: a page with the recording host, variable
// changes delivered to the page's objects as the player delivers them, the
// test files of tests/data/objects/texts, and pixel comparisons with
// expected pictures.

#include "objects/object_tree.h"
#include "vars/variables.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QTextLayout>
#include <QTextBlock>
#include <QTextDocument>

namespace tomeric::testing {

inline QString TextsData(const QString& name)
{
    return QStringLiteral(TOMERIC_TEST_DATA "/objects/texts/") + name;
}

// Variable changes reach the page's objects (object message 1226).
class TTextsVarBroadcast : public VariableObserver {
public:
    explicit TTextsVarBroadcast(QWidget& page) : page_(page) { AddVariableObserver(this); }
    ~TTextsVarBroadcast() override { RemoveVariableObserver(this); }
    void VariableChanged(const QString& bracketedName, const QString& value) override
    {
        SendToObjects(&page_, [&](TTomericObj& object) { object.OnVarChanged(bracketedName, value); });
    }
    void LastErrorSet(const QString&, bool) override {}

private:
    QWidget& page_;
};

class TextsFixture : public ::testing::Test {
protected:
    TextsFixture() : broadcast(page) { GlobalVars().Clear(); }
    ~TextsFixture() override { GlobalVars().Clear(); }

    void InitAll()
    {
        SendToObjects(&page, [](TTomericObj& object) { object.OnInit(); });
    }
    // The scripts that ran for links (after posted events arrived).
    std::vector<TRecordedRun> LinkRuns()
    {
        TurnEventLoop();
        std::vector<TRecordedRun> out;
        for (const TRecordedRun& run : host.runs)
            if (run.kind == 12) out.push_back(run);
        return out;
    }

    // The application exists before the first widget.
    QApplication& application = ObjectsApplication();
    TTestPage page{QSize(320, 240)};
    TTestObjectHost host;
    TTextsVarBroadcast broadcast;
};

inline void SendTextMouse(QWidget& widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void ClickAt(QWidget& widget, QPoint at)
{
    SendTextMouse(widget, QEvent::MouseButtonPress, at);
    SendTextMouse(widget, QEvent::MouseButtonRelease, at);
}

// The position of the first occurrence of `text` in the document (-1: none).
inline int PositionOf(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text);
    return found.isNull() ? -1 : found.selectionStart();
}

// A point in the middle of the character at `position`, in document
// coordinates.
inline QPoint PointOfCharacter(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    const QRectF box = const_cast<QTextDocument&>(document).documentLayout()->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    const qreal left = line.cursorToX(position - block.position());
    const qreal right = line.cursorToX(position - block.position() + 1);
    return QPointF(box.left() + (left + right) / 2, box.top() + line.y() + line.height() / 2).toPoint();
}

// The share of pixels (0..1) that differ by more than `tolerance` in any
// channel; 1 when the sizes differ.
inline double DifferingShare(const QImage& actual, const QImage& expected, int tolerance = 48)
{
    if (actual.size() != expected.size() || actual.isNull())
        return 1.0;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++differing;
        }
    return double(differing) / double(a.width() * a.height());
}

// Compares a rendering with tests/data/objects/<name>; with the environment
// variable TOMERIC_UPDATE_PICTURES set, writes the rendering there instead.
inline void ExpectLooksLike(const QImage& actual, const QString& name, double allowed = 0.01)
{
    const QString path = QStringLiteral(TOMERIC_TEST_DATA "/objects/") + name;
    if (qEnvironmentVariableIsSet("TOMERIC_UPDATE_PICTURES")) {
        actual.save(path);
        return;
    }
    const QImage expected(path);
    ASSERT_FALSE(expected.isNull()) << "no expected picture " << path.toStdString();
    EXPECT_LE(DifferingShare(actual, expected), allowed) << name.toStdString();
}

// Pixels of a colour (within a tolerance) inside a rectangle of an image.
inline int CountNear(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 60)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

} // namespace tomeric::testing
