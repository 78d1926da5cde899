#pragma once
// Where print jobs go, and one job while it prints.
//
// A job goes, in this order of preference:
//   - to DIR/NNN-<title>.pdf when the player was started with --print-to DIR
//     (NNN counts the jobs of the session from 001), without any dialog;
//   - to the printer the user chose in the print dialog, or the system's
//     default printer (CUPS);
//   - where the system has no printer, to "<title>.pdf" in the user's
//     documents folder (never over an existing file); the player says so
//     once on standard error.
//
// The printer's settings (orientation, the copies chosen last) live in the
// target for the whole session, as the default printer's do on Windows.

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPrinter;

namespace tomeric {

class TPrintJob {
public:
    // `device` is started on; `repeats`: how many times each page is put
    // out (copies a PDF file has to hold itself; a printer makes its own).
    TPrintJob(std::unique_ptr<QPagedPaintDevice> device, QString outputFile, int repeats);
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    // Opens the device; false when it could not be (a folder that cannot
    // be written, a printer that refused the job).
    bool Begin();
    // Before Begin: the printable area shrinks, centred, to the proportions
    // of `content`, so that content drawn from the origin at one scale is
    // centred on the sheet. (Widgets drawn through a shifted, scaled painter
    // get their nested clips misplaced; this keeps the painter unshifted.)
    void FitAreaTo(QSize content);
    // The printable area in device dots, origin at its top-left corner.
    QRect Area() const;
    // Dots per inch of the device.
    int Resolution() const;

    using PagePainter = std::function<void(QPainter& painter, const QRect& area)>;
    // One sheet; `draw` paints it (the painter is saved and restored around).
    void AddPage(const PagePainter& draw);
    // Ends the document; false when it could not be written.
    bool Finish();
    // Drops the document (a PDF file is removed).
    void Abort();

    // The PDF written, empty for a printer.
    const QString& OutputFile() const { return outputFile_; }

private:
    std::unique_ptr<QPagedPaintDevice> device_;
    QPainter painter_;
    QString outputFile_;
    int repeats_ = 1;
    int pagesOut_ = 0;
};

struct TPrintSettings {
    QString printToFolder;       // --print-to DIR; empty: printers or the documents folder
    int copies = 1;              // the copies chosen last in a print dialog
    bool landscape = false;      // SetPrinterOrientation
};

// Where a document that lays out its own sheets goes (a web page): a PDF
// file with the sheet's layout, or a printer.
struct TDocumentDestination {
    QString pdfPath; // empty: `printer`
    QPageLayout layout;
    std::unique_ptr<QPrinter> printer;
};

class TPrintTarget {
public:
    // `tell` says a line on standard error (the PDF fallback's folder).
    explicit TPrintTarget(std::function<void(const QString&)> tell);
    ~TPrintTarget();

    TPrintSettings& Settings() { return settings_; }
    bool WritesToFolder() const { return !settings_.printToFolder.isEmpty(); }
    // The printer the print dialog edits (created on first use).
    QPrinter& Printer();
    // True once the user chose a printer (or a file) in the dialog.
    void PrinterChosen() { printerChosen_ = true; }

    // Opens a job titled `title`; the error text, and null, when it cannot.
    std::unique_ptr<TPrintJob> Open(const QString& title, QString* error);

    // The same choice for a document that lays out its own sheets; nothing
    // (and the error text) when the folder cannot be made.
    std::optional<TDocumentDestination> OpenDocument(const QString& title, QString* error);

    // A title as a file name: characters no file system takes become "_".
    static QString FileNamePart(const QString& title);

private:
    std::unique_ptr<TPrintJob> OpenPdf(const QString& path, QString* error);
    std::unique_ptr<QPrinter> MakePrinter(const QString& title);
    // The PDF file of the next job outside a folder run; said once.
    QString NextDocumentsFile(const QString& title);
    QPageLayout PdfLayout() const;
    std::unique_ptr<TPrintJob> OpenPrinter(const QString& title, QString* error);
    QString FolderFile(const QString& title);
    QString DocumentsFile(const QString& title);
    static bool SystemHasPrinter();

    std::function<void(const QString&)> tell_;
    TPrintSettings settings_;
    std::unique_ptr<QPrinter> printer_;
    bool printerChosen_ = false;
    bool toldDocuments_ = false;
    int jobNumber_ = 0;
};

} // namespace tomeric
