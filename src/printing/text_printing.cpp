#include "printing/text_printing.h"

#include "objects/text_content.h"
#include "printing/print_job.h"

#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

namespace tomeric {

namespace {

// The text is laid out at screen resolution and scaled onto the device, so
// that it breaks into lines and pages as it does on screen.
constexpr double kLayoutDpi = 96.0;
constexpr double kBandInches = 270.0 / 1440.0; // header and footer bands: 270 twips

QString NamePart(const QString& fileName)
{
    const qsizetype cut = std::max(fileName.lastIndexOf(u'\\'), fileName.lastIndexOf(u'/'));
    return fileName.mid(cut + 1);
}

QFont BandFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    return font;
}

} // namespace

QString ExpandPageCodes(const QString& text, int page, int pages, const QString& fileName, const QDateTime& now)
{
    const QLocale locale = QLocale::system();
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar code = i + 1 < text.size() ? text[i + 1].toLower() : QChar();
        if (text[i] != u'&' || !QStringLiteral("pndtf").contains(code) || code.isNull()) {
            out.append(text[i]);
            continue;
        }
        switch (code.unicode()) {
        case 'p': out += QString::number(page); break;
        case 'n': out += QString::number(pages); break;
        case 'd': out += locale.toString(now.date(), QLocale::ShortFormat); break;
        case 't': out += locale.toString(now.time(), QLocale::ShortFormat); break;
        case 'f': out += NamePart(fileName); break;
        }
        ++i;
    }
    return out;
}

int PrintTextDocument(TPrintJob& job, const TTextPrintRequest& request)
{
    const double scale = job.Resolution() / kLayoutDpi;
    const QRectF page(QPointF(0, 0), QSizeF(job.Area().size()) / scale);
    const double band = kBandInches * kLayoutDpi;
    const QRectF body(page.left(), page.top() + band, page.width(), page.height() - 2 * band);

    QTextDocument document;
    document.setDocumentMargin(0);
    TTextLook look;
    look.font = BandFont();
    look.fontPoints = 10;
    look.wordWrap = false; // every line of the file stays a line
    document.setDefaultFont(look.font);
    LoadDocument(document, request.bytes, FileTextFormat(request.fileName, request.bytes), look);
    document.setPageSize(body.size());
    const int pages = std::max(1, document.pageCount());

    const QDateTime now = QDateTime::currentDateTime();
    for (int index = 0; index < pages; ++index) {
        job.AddPage([&](QPainter& painter, const QRect&) {
            painter.scale(scale, scale);
            painter.setFont(BandFont());
            painter.setPen(Qt::black);
            const QRectF headerBand(page.left(), page.top(), page.width(), band);
            const QRectF footerBand(page.left(), page.bottom() - band, page.width(), band);
            if (!request.header.isEmpty())
                painter.drawText(headerBand, Qt::AlignLeft | Qt::AlignVCenter,
                                 ExpandPageCodes(request.header, index + 1, pages, request.fileName, now));
            if (!request.footer.isEmpty())
                painter.drawText(footerBand, Qt::AlignLeft | Qt::AlignVCenter,
                                 ExpandPageCodes(request.footer, index + 1, pages, request.fileName, now));
            painter.setClipRect(body);
            painter.translate(body.left(), body.top() - index * body.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(0, index * body.height(), body.width(), body.height());
            document.documentLayout()->draw(&painter, context);
        });
    }
    return pages;
}

} // namespace tomeric
