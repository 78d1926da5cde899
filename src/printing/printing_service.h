#pragma once
// The print commands: PrintPage, PrintImageFile, PrintImageFileWH,
// PrintTextFile, PrintDataFile, SetPrinterOrientation and PrintSetup.
//
// Every document is one job of the print target (print_job.h). A failure
// (a picture that cannot be read, a PDF that cannot be written) ends the job
// and is reported through [LastError]; a page name that is no page stops
// PrintPage with "Cette page n'existe pas." after the pages before it.

#include "actions/services.h"
#include "printing/print_dialog.h"
#include "printing/print_job.h"
#include "printing/picture_printing.h"

#include <QImage>
#include <QPainter>
#include <QSize>

namespace tomeric {

class TSimpleDialogs;
class TTomericWebBrowser;

// What printing needs of the running publication.
class TPrintHost {
public:
    virtual ~TPrintHost() = default;
    virtual int PageCount() const = 0;   // the master page 0 included
    virtual int CurrentPage() const = 0;
    // -1 when there is no page of that name (any case).
    virtual int FindPage(const QString& name) const = 0;
    virtual QString PageName(int index) const = 0;
    // The size pages are drawn at (the publication area).
    virtual QSize PageSize() const = 0;
    // Draws a page into `painter` at PageSize(); the shown page does not change.
    virtual void PaintPage(int index, QPainter& painter) = 0;
    // The page drawn off-screen.
    virtual QImage PagePicture(int index) = 0;
    // "BYPASSPRINTDLG=" or /B.
    virtual bool BypassPrintDialog() const = 0;
    // A file the publication names, as a path on disk.
    virtual QString ResolveFile(const QString& name) const = 0;
};

class TPrintingService final : public CommandService {
public:
    // `tell` says a line on standard error.
    TPrintingService(TPrintHost& host, TSimpleDialogs& dialogs, std::function<void(const QString&)> tell);

    TPrintSettings& Settings() { return target_.Settings(); }
    ServiceReply Perform(const ServiceCall& call) override;

    // BrowserPrint (browser_printing.cpp): the browser's document, text as
    // text; "PrintPreview" previews it first, "NoPrompt" or the browser's
    // silent mode print without the print dialog. The error text, empty
    // when printed or cancelled.
    QString PrintBrowser(TTomericWebBrowser& browser, const QString& option);

private:
    ServiceReply PrintPage(const ServiceCall& call);
    ServiceReply PrintImageFile(const ServiceCall& call);
    ServiceReply PrintImageFileWH(const ServiceCall& call);
    ServiceReply PrintTextFile(const ServiceCall& call);
    ServiceReply SetPrinterOrientation(const ServiceCall& call);
    ServiceReply PrintSetup(const ServiceCall& call);

    // One page as vectors, or as a picture; an error text on failure.
    QString PrintPageAsVectors(int index);
    QString PrintPageAsPicture(int index);
    QString PrintPicture(const QString& fileName, const TPictureSizeRequest& request);

    bool PreviewBrowser(TTomericWebBrowser& browser, const QString& title);
    QString PrintBrowserTo(TTomericWebBrowser& browser, const QString& title);

    TPrintHost& host_;
    TSimpleDialogs& dialogs_;
    TPrintTarget target_;
    TPrintDialog dialog_;
};

} // namespace tomeric
