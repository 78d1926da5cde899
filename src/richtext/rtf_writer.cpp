#include "richtext/rtf_writer.h"

#include "platform/cp1252.h"
#include "richtext/rich_text_properties.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace tomeric {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr QChar kEmptyFieldMark(0x200B);

QByteArray Number(double value)
{
    return QByteArray::number(qint64(std::lround(value)));
}

QString FamilyOf(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

// Text escaped for RTF.
QByteArray Escaped(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out.append('\\');
            out.append(char(u));
        } else if (u == '\t') {
            out.append("\\tab ");
        } else if (u == QChar::LineSeparator) {
            out.append("\\line ");
        } else if (u == 0x00A0) {
            out.append("\\~");
        } else if (u == kEmptyFieldMark.unicode() || u == QChar::ObjectReplacementCharacter) {
            continue;
        } else if (u >= 0x20 && u < 0x80) {
            out.append(char(u));
        } else if (u < 0x20) {
            continue;
        } else if (IsWindows1252(QStringView(&c, 1))) {
            out.append("\\'");
            out.append(EncodeWindows1252(QStringView(&c, 1)).toHex());
        } else {
            out.append("\\u");
            out.append(QByteArray::number(qint16(u)));
            out.append('?');
        }
    }
    return out;
}

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document) : document_(document) {}

    QByteArray Write()
    {
        CollectTables();
        QByteArray body;
        WriteFlow(document_.rootFrame()->begin(), 0, body);
        return Header() + body + "}";
    }

private:
    void CollectTables()
    {
        colours_.append(QColor()); // entry 0: the automatic colour
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                FontIndex(FamilyOf(format));
                if (format.hasProperty(QTextFormat::ForegroundBrush))
                    ColourIndex(format.foreground().color());
                if (format.hasProperty(QTextFormat::BackgroundBrush))
                    ColourIndex(format.background().color());
            }
        }
    }

    // The paragraphs and tables of a frame or of a cell, in order,
    // paragraphs separated by \par. `level` is the table level of the text
    // (0 outside tables). A table ends its own paragraph: none follows its
    // last row. An empty paragraph that only separates a table from what
    // precedes it is not written (the reader opens none); one the text holds
    // as a paragraph of its own is.
    void WriteFlow(QTextFrame::iterator it, int level, QByteArray& out)
    {
        bool afterTable = false;
        for (; !it.atEnd(); ++it) {
            if (const QTextFrame* child = it.currentFrame()) {
                if (const auto* table = qobject_cast<const QTextTable*>(child))
                    WriteTable(*table, level + 1, out);
                else
                    WriteFlow(child->begin(), level, out);
                afterTable = true;
                continue;
            }
            const QTextBlock block = it.currentBlock();
            auto next = it;
            ++next;
            const bool tableNext = !next.atEnd() && qobject_cast<QTextTable*>(next.currentFrame());
            if (tableNext && block.length() <= 1 &&
                !block.blockFormat().boolProperty(rtpKeepEmptyBlock)) {
                afterTable = false;
                continue;
            }
            out += Paragraph(block.blockFormat(), level);
            WriteBlock(block, out);
            // The reader takes a final paragraph mark as the end of the last
            // paragraph, so an empty last paragraph needs a mark of its own
            // (unless a table precedes it: then it is the table's own end).
            // In a cell the cell mark ends the last paragraph.
            const bool emptyLast = level == 0 && next.atEnd() && block.length() <= 1 &&
                                   block.previous().isValid() && !afterTable;
            if (!next.atEnd() || emptyLast)
                out += "\\par\r\n";
            afterTable = false;
        }
    }

    // A table as Word writes it: an outer table (level 1) row by row, the
    // row's definition (\trowd ... \cellxN) before its cells, each cell's
    // paragraphs marked \intbl and closed by \cell; a nested table (level 2
    // and up) with its paragraphs at \itapN, cells closed by \nestcell and
    // the definition after them in {\*\nesttableprops ... \nestrow}.
    void WriteTable(const QTextTable& table, int level, QByteArray& out)
    {
        const QTextTableFormat format = table.format();
        const QList<QTextLength> widths = format.columnWidthConstraints();
        auto columnTwips = [&](int column) {
            const QTextLength width = widths.value(column);
            return width.type() == QTextLength::FixedLength ? width.rawValue() * kTwipsPerPixel
                                                             : 1440.0;
        };
        for (int row = 0; row < table.rows(); ++row) {
            QByteArray definition = "\\trowd";
            const QTextTableCell first = table.cellAt(row, 0);
            definition += "\\trgaph" + Number(first.format().toTableCellFormat().leftPadding() *
                                              kTwipsPerPixel);
            if (format.alignment() & Qt::AlignHCenter)
                definition += "\\trqc";
            else if (format.alignment() & Qt::AlignRight)
                definition += "\\trqr";
            if (const int height = first.format().intProperty(rtpRowHeight); height != 0)
                definition += "\\trrh" + QByteArray::number(height);
            QByteArray cells;
            const QByteArray cellMark = level > 1 ? "\\nestcell\r\n" : "\\cell\r\n";
            double right = 0;
            for (int column = 0; column < table.columns();) {
                const QTextTableCell cell = table.cellAt(row, column);
                const int span = std::max(1, cell.columnSpan());
                const QByteArray look = CellLook(cell.format().toTableCellFormat());
                // A cell over several columns is written as Word merges
                // cells: the first (\clmgf) and the merged ones (\clmrg),
                // each with its own edge and an empty cell of its own.
                for (int k = column; k < column + span; ++k) {
                    right += columnTwips(k);
                    if (span > 1)
                        definition += k == column ? "\\clmgf" : "\\clmrg";
                    if (cell.rowSpan() > 1)
                        definition += cell.row() == row ? "\\clvmgf" : "\\clvmrg";
                    definition += look + "\\cellx" + Number(right);
                    if (k == column && cell.row() == row)
                        WriteFlow(cell.begin(), level, cells);
                    else
                        cells += Paragraph(QTextBlockFormat(), level);
                    cells += cellMark;
                }
                column += span;
            }
            if (level > 1)
                out += cells + "{\\*\\nesttableprops " + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
            else
                out += definition + "\r\n" + cells + "\\row\r\n";
        }
    }

    // A cell's shading, borders, padding and vertical alignment.
    QByteArray CellLook(const QTextTableCellFormat& format)
    {
        QByteArray out;
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            out += "\\clcbpat" + QByteArray::number(ColourIndex(format.background().color()));
        if (format.verticalAlignment() == QTextCharFormat::AlignMiddle)
            out += "\\clvertalc";
        else if (format.verticalAlignment() == QTextCharFormat::AlignBottom)
            out += "\\clvertalb";
        static constexpr const char* kSides[] = {"t", "l", "b", "r"};
        static constexpr QTextFormat::Property kStyle[] = {
            QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellLeftBorderStyle,
            QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellRightBorderStyle};
        static constexpr QTextFormat::Property kWidth[] = {
            QTextFormat::TableCellTopBorder, QTextFormat::TableCellLeftBorder,
            QTextFormat::TableCellBottomBorder, QTextFormat::TableCellRightBorder};
        static constexpr QTextFormat::Property kBrush[] = {
            QTextFormat::TableCellTopBorderBrush, QTextFormat::TableCellLeftBorderBrush,
            QTextFormat::TableCellBottomBorderBrush, QTextFormat::TableCellRightBorderBrush};
        for (int side = 0; side < 4; ++side) {
            if (!format.hasProperty(kStyle[side]))
                continue;
            const auto style = QTextFrameFormat::BorderStyle(format.intProperty(kStyle[side]));
            const QByteArray word = BorderStyleWord(style);
            if (word.isEmpty())
                continue;
            double pixels = format.hasProperty(kWidth[side]) ? format.doubleProperty(kWidth[side]) : 1;
            if (style == QTextFrameFormat::BorderStyle_Double)
                pixels /= 3;
            out += QByteArray("\\clbrdr") + kSides[side] + word + "\\brdrw" +
                   Number(pixels * kTwipsPerPixel);
            const QColor colour = format.brushProperty(kBrush[side]).color();
            if (format.hasProperty(kBrush[side]) && colour.isValid())
                out += "\\brdrcf" + QByteArray::number(ColourIndex(colour));
        }
        // Word's padding words: \clpadl is the top padding, \clpadt the left.
        const double top = format.hasProperty(rtpCellTopPadding)
                               ? format.doubleProperty(rtpCellTopPadding) : format.topPadding();
        const double bottom = format.hasProperty(rtpCellBottomPadding)
                                  ? format.doubleProperty(rtpCellBottomPadding) : format.bottomPadding();
        out += "\\clpadfl3\\clpadl" + Number(top * kTwipsPerPixel);
        out += "\\clpadft3\\clpadt" + Number(format.leftPadding() * kTwipsPerPixel);
        out += "\\clpadfb3\\clpadb" + Number(bottom * kTwipsPerPixel);
        out += "\\clpadfr3\\clpadr" + Number(format.rightPadding() * kTwipsPerPixel);
        return out;
    }

    static QByteArray BorderStyleWord(QTextFrameFormat::BorderStyle style)
    {
        switch (style) {
        case QTextFrameFormat::BorderStyle_Solid: return "\\brdrs";
        case QTextFrameFormat::BorderStyle_Double: return "\\brdrdb";
        case QTextFrameFormat::BorderStyle_Dotted: return "\\brdrdot";
        case QTextFrameFormat::BorderStyle_Dashed: return "\\brdrdash";
        case QTextFrameFormat::BorderStyle_DotDash: return "\\brdrdashd";
        case QTextFrameFormat::BorderStyle_DotDotDash: return "\\brdrdashdd";
        case QTextFrameFormat::BorderStyle_Inset: return "\\brdrinset";
        case QTextFrameFormat::BorderStyle_Outset: return "\\brdroutset";
        case QTextFrameFormat::BorderStyle_Groove: return "\\brdrengrave";
        case QTextFrameFormat::BorderStyle_Ridge: return "\\brdremboss";
        case QTextFrameFormat::BorderStyle_None: break;
        }
        return {};
    }

    int FontIndex(const QString& family)
    {
        const QString name = family.isEmpty() ? document_.defaultFont().family() : family;
        qsizetype index = fonts_.indexOf(name);
        if (index < 0) {
            fonts_.append(name);
            index = fonts_.size() - 1;
        }
        return int(index);
    }

    int ColourIndex(const QColor& colour)
    {
        if (!colour.isValid())
            return 0;
        const QColor opaque = colour.toRgb();
        for (qsizetype i = 1; i < colours_.size(); ++i)
            if (colours_[i].rgb() == opaque.rgb())
                return int(i);
        colours_.append(opaque);
        return int(colours_.size() - 1);
    }

    QByteArray Header() const
    {
        QByteArray header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i)
            header += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + Escaped(fonts_[i]) + ";}";
        header += "}\r\n{\\colortbl ;";
        for (qsizetype i = 1; i < colours_.size(); ++i)
            header += "\\red" + QByteArray::number(colours_[i].red()) + "\\green" +
                      QByteArray::number(colours_[i].green()) + "\\blue" +
                      QByteArray::number(colours_[i].blue()) + ";";
        return header + "}\r\n";
    }

    static QByteArray Paragraph(const QTextBlockFormat& format, int level)
    {
        QByteArray out = level > 0 ? "\\pard\\intbl" : "\\pard";
        if (level > 1)
            out += "\\itap" + QByteArray::number(level);
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignRight)
            out += "\\qr";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        auto twips = [&](const char* word, double pixels) {
            if (pixels != 0)
                out += QByteArray("\\") + word + Number(pixels * kTwipsPerPixel);
        };
        twips("li", format.leftMargin());
        twips("ri", format.rightMargin());
        twips("fi", format.textIndent());
        twips("sb", format.topMargin());
        twips("sa", format.bottomMargin());
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            out += "\\sl" + Number(format.lineHeight() * 240.0 / 100.0) + "\\slmult1";
            break;
        case QTextBlockFormat::MinimumHeight:
            out += "\\sl" + Number(format.lineHeight() * kTwipsPerPixel) + "\\slmult0";
            break;
        case QTextBlockFormat::FixedHeight:
            out += "\\sl-" + Number(format.lineHeight() * kTwipsPerPixel) + "\\slmult0";
            break;
        default: break;
        }
        for (const QTextOption::Tab& tab : format.tabPositions()) {
            if (tab.type == QTextOption::RightTab)
                out += "\\tqr";
            else if (tab.type == QTextOption::CenterTab)
                out += "\\tqc";
            else if (tab.type == QTextOption::DelimiterTab)
                out += "\\tqdec";
            out += "\\tx" + Number(tab.position * kTwipsPerPixel);
        }
        return out + " ";
    }

    QByteArray CharacterWords(const QTextCharFormat& format)
    {
        QByteArray out = "\\f" + QByteArray::number(FontIndex(FamilyOf(format)));
        const double points = format.fontPointSize() > 0 ? format.fontPointSize()
                                                         : document_.defaultFont().pointSizeF();
        out += "\\fs" + Number(points * 2);
        if (format.fontWeight() >= QFont::Bold)
            out += "\\b";
        if (format.fontItalic())
            out += "\\i";
        if (format.fontStrikeOut())
            out += "\\strike";
        if (format.intProperty(rtpLinkKind) != int(TRichLinkKind::HotText) &&
            format.underlineStyle() != QTextCharFormat::NoUnderline)
            out += "\\ul";
        if (format.hasProperty(QTextFormat::ForegroundBrush))
            out += "\\cf" + QByteArray::number(ColourIndex(format.foreground().color()));
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            out += "\\highlight" + QByteArray::number(ColourIndex(format.background().color()));
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            out += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            out += "\\sub";
        if (format.boolProperty(rtpHiddenText))
            out += "\\v";
        if (format.boolProperty(rtpProtected))
            out += "\\protect";
        return out + " ";
    }

    // One block, fragment by fragment; links and fields span fragments.
    void WriteBlock(const QTextBlock& block, QByteArray& out)
    {
        int openLink = 0;
        int openField = 0;
        QTextCharFormat linkFormat;
        auto closeLink = [&] {
            if (openLink == 0)
                return;
            if (linkFormat.intProperty(rtpLinkKind) == int(TRichLinkKind::Hyperlink))
                out += "}}"; // the result and the field
            else
                out += "}{\\v " + Escaped(linkFormat.stringProperty(rtpLinkCommand)) + "}";
            openLink = 0;
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            WriteBookmarks(format, out);
            const int fieldId = format.intProperty(rtpFieldId);
            if (fieldId != 0 && fieldId == openField)
                continue; // the rest of a field already written
            openField = fieldId;
            const int linkId = format.intProperty(rtpLinkId);
            if (linkId != openLink) {
                closeLink();
                if (linkId != 0)
                    OpenLink(format, out);
                openLink = linkId;
                linkFormat = format;
            }
            if (format.isImageFormat()) {
                WriteImage(format.toImageFormat(), out);
                continue;
            }
            out += "{" + CharacterWords(format);
            if (fieldId != 0)
                out += FieldText(block, fragment, format);
            else
                out += Escaped(fragment.text());
            out += "}";
        }
        closeLink();
        const QStringList atEnd = block.blockFormat().property(rtpBlockEndBookmarks).toStringList();
        for (const QString& name : atEnd)
            out += "{\\*\\bkmkstart " + Escaped(name) + "}{\\*\\bkmkend " + Escaped(name) + "}";
    }

    static void WriteBookmarks(const QTextCharFormat& format, QByteArray& out)
    {
        for (const QString& name : format.property(rtpBookmarks).toStringList())
            out += "{\\*\\bkmkstart " + Escaped(name) + "}{\\*\\bkmkend " + Escaped(name) + "}";
    }

    static void OpenLink(const QTextCharFormat& format, QByteArray& out)
    {
        const QString command = format.stringProperty(rtpLinkCommand);
        if (format.intProperty(rtpLinkKind) != int(TRichLinkKind::Hyperlink)) {
            out += "{\\uldb ";
            return;
        }
        QByteArray instruction = command.startsWith(u':')
                                     ? "HYPERLINK \\\\l \"" + Escaped(command.mid(1)) + "\""
                                     : "HYPERLINK \"" + Escaped(command) + "\"";
        out += "{\\field{\\*\\fldinst " + instruction + "}{\\fldrslt ";
    }

    // A variable field goes back to its "[Name]" group; another field keeps
    // its instruction around the text it shows.
    static QByteArray FieldText(const QTextBlock& block, const QTextFragment& first,
                                const QTextCharFormat& format)
    {
        const QString source = format.stringProperty(rtpFieldSource);
        if (!source.isEmpty())
            return Escaped(source);
        QString shown;
        const int id = format.intProperty(rtpFieldId);
        bool started = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment == first)
                started = true;
            if (!started)
                continue;
            if (fragment.charFormat().intProperty(rtpFieldId) != id)
                break;
            shown += fragment.text();
        }
        return "{\\field{\\*\\fldinst " + Escaped(format.stringProperty(rtpFieldInstruction)) +
               "}{\\fldrslt " + Escaped(shown) + "}}";
    }

    void WriteImage(const QTextImageFormat& format, QByteArray& out) const
    {
        const QVariant resource =
            document_.resource(QTextDocument::ImageResource, QUrl(format.name()));
        const QImage image = resource.value<QImage>();
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const double width = format.width() > 0 ? format.width() : image.width();
        const double height = format.height() > 0 ? format.height() : image.height();
        out += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
               QByteArray::number(image.height()) + "\\picwgoal" + Number(width * kTwipsPerPixel) +
               "\\pichgoal" + Number(height * kTwipsPerPixel) + "\r\n";
        const QByteArray hex = png.toHex();
        for (qsizetype at = 0; at < hex.size(); at += 128)
            out += hex.mid(at, 128) + "\r\n";
        out += "}";
    }

    const QTextDocument& document_;
    QStringList fonts_;
    QList<QColor> colours_;
};

} // namespace

QByteArray WriteRtf(const QTextDocument& document)
{
    return RtfWriter(document).Write();
}

} // namespace tomeric
