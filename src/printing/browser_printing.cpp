// BrowserPrint: a web page prints through the engine that shows it, so its
// sheets are laid out as a browser lays out pages and its text stays text in
// a PDF. The job goes where every print job goes (print_job.h).

#include "printing/printing_service.h"

#include "objects/web_browser.h"
#include "platform/string_table.h"
#include "windows/simple_dialogs.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tomeric {

namespace {

bool HasWord(const QString& option, const char* word)
{
    return option.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// The job's title: the page's own, else the object's name.
QString DocumentTitle(TTomericWebBrowser& browser)
{
    const QString title =
        browser.Engine()->RunJavaScript(QStringLiteral("document.title")).value_or(QString()).trimmed();
    return title.isEmpty() ? browser.Name() : title;
}

} // namespace

QString TPrintingService::PrintBrowser(TTomericWebBrowser& browser, const QString& option)
{
    const QString title = DocumentTitle(browser);
    if (HasWord(option, "PrintPreview")) {
        if (!PreviewBrowser(browser, title))
            return {};
    } else {
        const bool noPrompt = browser.SilentMode() || HasWord(option, "NoPrompt");
        if (!dialog_.ConfirmJob(title, noPrompt || host_.BypassPrintDialog()))
            return {};
    }
    return PrintBrowserTo(browser, title);
}

// The preview shows the sheets as the printer will get them; printing from
// it goes on to the job. An unattended run (--print-to) prints at once; a
// driven one answers "DIALOG PrintPreview" with OK to print.
bool TPrintingService::PreviewBrowser(TTomericWebBrowser& browser, const QString& title)
{
    if (target_.WritesToFolder())
        return true;
    if (dialogs_.Driven()) {
        const std::optional<QString> answer = dialogs_.DrivenAnswer(QStringLiteral("PrintPreview"), {title});
        return answer && answer->trimmed().compare(QLatin1String("OK"), Qt::CaseInsensitive) == 0;
    }
    bool confirmed = false;
    dialogs_.RunModal([&](QWidget* owner) {
        QPrintPreviewDialog preview(&target_.Printer(), owner);
        preview.setWindowTitle(title);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&browser](QPrinter* printer) { browser.Engine()->PrintTo(*printer); });
        confirmed = preview.exec() == QDialog::Accepted;
    });
    if (confirmed)
        target_.PrinterChosen();
    return confirmed;
}

QString TPrintingService::PrintBrowserTo(TTomericWebBrowser& browser, const QString& title)
{
    QString error;
    std::optional<TDocumentDestination> destination = target_.OpenDocument(title, &error);
    if (!destination)
        return error;
    TBrowserEngine& engine = *browser.Engine();
    if (destination->printer) {
        if (!engine.PrintTo(*destination->printer))
            return QStringLiteral("Impossible d'imprimer.");
        return {};
    }
    if (!engine.PrintToPdf(destination->pdfPath, destination->layout))
        return Message(msgCannotOpenFile, destination->pdfPath);
    return {};
}

} // namespace tomeric
