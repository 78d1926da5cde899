#include "printing/print_dialog.h"

#include "printing/print_job.h"
#include "windows/simple_dialogs.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace tomeric {

bool TPrintDialog::ConfirmJob(const QString& title, bool bypass)
{
    if (bypass || target_.WritesToFolder())
        return true;
    return Ask(title);
}

bool TPrintDialog::Setup()
{
    if (target_.WritesToFolder())
        return true;
    return Ask(QString());
}

bool TPrintDialog::Ask(const QString& title)
{
    const bool confirmed = dialogs_.Driven() ? AskDriven(title) : AskSystem(title);
    // Whatever the dialog left behind is drawn before printing starts.
    QCoreApplication::processEvents();
    return confirmed;
}

bool TPrintDialog::AskDriven(const QString& title)
{
    const std::optional<QString> answer = dialogs_.DrivenAnswer(QStringLiteral("Print"), {title});
    if (!answer)
        return false;
    const QString text = answer->trimmed();
    if (text.compare(QLatin1String("OK"), Qt::CaseInsensitive) == 0) {
        target_.Settings().copies = 1;
        return true;
    }
    bool isNumber = false;
    const int copies = text.toInt(&isNumber);
    if (!isNumber || copies < 1)
        return false;
    target_.Settings().copies = copies;
    return true;
}

bool TPrintDialog::AskSystem(const QString& title)
{
    QPrinter& printer = target_.Printer();
    // The dialog opens as the original's did: one copy, not collated.
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setDocName(title);
    bool confirmed = false;
    dialogs_.RunModal([&](QWidget* owner) {
        QPrintDialog dialog(&printer, owner);
        confirmed = dialog.exec() == QDialog::Accepted;
    });
    if (!confirmed)
        return false;
    target_.Settings().copies = std::max(1, printer.copyCount());
    target_.PrinterChosen();
    return true;
}

} // namespace tomeric
