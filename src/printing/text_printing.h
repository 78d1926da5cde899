#pragma once
// PrintTextFile and PrintDataFile: the file laid out as an article is
// (caret markup, RTF, HTML or plain text; lines kept as they are written),
// cut into pages of the printable area, with a header band at the top and a
// footer band at the bottom of every page, each 270 twips high. In both
// texts "&p" is the page number, "&n" the number of pages, "&d" the date,
// "&t" the time and "&f" the file's name.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tomeric {

class TPrintJob;

struct TTextPrintRequest {
    QString header, footer;
    QString fileName;   // the name the script gave (its last part is "&f")
    QByteArray bytes;   // the file's content
};

// The header or footer text of one page.
QString ExpandPageCodes(const QString& text, int page, int pages, const QString& fileName,
                        const QDateTime& now);

// Lays the text out on the job's pages and draws them; the number of pages.
int PrintTextDocument(TPrintJob& job, const TTextPrintRequest& request);

} // namespace tomeric
