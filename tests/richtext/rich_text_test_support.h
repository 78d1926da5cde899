#pragma once
// Helpers for the rich-text tests: a GUI application for fonts and picture
// plug-ins, reading RTF into a document, and looking at what came out.

#include "richtext/rtf_reader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <gtest/gtest.h>

#include <ostream>

// Readable test messages for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tomeric::testing {

inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_richtext";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

class RichTextTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }

    // Reads RTF into `document`, expecting success.
    void Read(const QByteArray& rtf, const TRtfReadOptions& options = {})
    {
        QString error;
        EXPECT_TRUE(ReadRtf(rtf, document, options, &error)) << error.toStdString();
    }

    // The format of the character at the first occurrence of `text`.
    QTextCharFormat FormatOf(const QString& text)
    {
        const int position = PositionOf(text);
        EXPECT_GE(position, 0) << "no \"" << text.toStdString() << "\" in \""
                               << document.toPlainText().toStdString() << "\"";
        QTextCursor cursor(&document);
        cursor.setPosition(std::max(0, position) + 1);
        return cursor.charFormat();
    }

    QTextBlockFormat BlockFormatOf(const QString& text)
    {
        return document.findBlock(std::max(0, PositionOf(text))).blockFormat();
    }

    int PositionOf(const QString& text) const { return int(Text().indexOf(text)); }

    // The document's characters as stored (no-break spaces and line
    // separators stay), paragraphs separated by "\n".
    QString Text() const
    {
        QString text = document.toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        return text;
    }

    QTextDocument document;
};

// The document's structure as text: paragraphs separated by "\n", a table
// as "{cell|cell/cell|cell}" (rows separated by "/", a cell's paragraphs and
// nested tables by "\n"), a cell spanning n columns as "cell*n", one
// spanning n rows as "cell^n" (the rows it covers show it as "^").
inline QString FlowLayout(QTextFrame::iterator it);

inline QString TableLayout(QTextTable* table)
{
    QString out = "{";
    for (int row = 0; row < table->rows(); ++row) {
        if (row > 0)
            out += "/";
        for (int column = 0; column < table->columns();) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (column > 0)
                out += "|";
            const int span = std::max(1, cell.columnSpan());
            if (cell.row() != row) {
                out += "^";
            } else {
                out += FlowLayout(cell.begin());
                if (span > 1)
                    out += "*" + QString::number(span);
                if (cell.rowSpan() > 1)
                    out += "^" + QString::number(cell.rowSpan());
            }
            column += span;
        }
    }
    return out + "}";
}

inline QString FlowLayout(QTextFrame::iterator it)
{
    QStringList items;
    for (; !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            items.append(TableLayout(table));
        else if (it.currentFrame())
            items.append(FlowLayout(it.currentFrame()->begin()));
        else
            items.append(it.currentBlock().text());
    }
    return items.join("\n");
}

inline QString FrameLayout(QTextFrame* frame) { return FlowLayout(frame->begin()); }

inline QString DocumentLayout(const QTextDocument& document)
{
    return FrameLayout(document.rootFrame());
}

inline QByteArray ReadTestFile(const QString& relativePath)
{
    QFile file(QStringLiteral(TOMERIC_TEST_DATA "/") + relativePath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relativePath.toStdString();
    return file.readAll();
}

} // namespace tomeric::testing
