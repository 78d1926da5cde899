#include "printing/printing_service.h"

#include "actions/action_eval.h"
#include "platform/string_table.h"
#include "printing/picture_printing.h"
#include "printing/text_printing.h"
#include "vars/typed_values.h"
#include "windows/simple_dialogs.h"

#include <QFile>

#include <cmath>

namespace tomeric {

namespace {

ServiceReply Failure(const QString& text)
{
    ServiceReply reply;
    if (!text.isEmpty())
        reply.LastError = text;
    return reply;
}

QString FileNamePart(const QString& name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    return name.mid(cut + 1);
}

// Ends the job: its error text, or nothing when the document was written.
QString Complete(TPrintJob& job)
{
    if (job.Finish())
        return QString();
    job.Abort();
    return job.OutputFile().isEmpty() ? QStringLiteral("Impossible d'imprimer.")
                                      : Message(msgCannotOpenFile, job.OutputFile());
}

} // namespace

TPrintingService::TPrintingService(TPrintHost& host, TSimpleDialogs& dialogs, std::function<void(const QString&)> tell)
    : host_(host), dialogs_(dialogs), target_(std::move(tell)), dialog_(target_, dialogs)
{
}

ServiceReply TPrintingService::Perform(const ServiceCall& call)
{
    using Handler = ServiceReply (TPrintingService::*)(const ServiceCall&);
    static const struct {
        const char* command;
        Handler handler;
    } kCommands[] = {
        {"PrintPage", &TPrintingService::PrintPage},
        {"PrintImageFile", &TPrintingService::PrintImageFile},
        {"PrintImageFileWH", &TPrintingService::PrintImageFileWH},
        {"PrintTextFile", &TPrintingService::PrintTextFile},
        {"PrintDataFile", &TPrintingService::PrintTextFile},
        {"SetPrinterOrientation", &TPrintingService::SetPrinterOrientation},
        {"PrintSetup", &TPrintingService::PrintSetup},
    };
    for (const auto& row : kCommands)
        if (call.Command.compare(QLatin1String(row.command), Qt::CaseInsensitive) == 0)
            return (this->*row.handler)(call);
    return {};
}

// ---- PrintPage ---------------------------------------------------------------------

ServiceReply TPrintingService::PrintPage(const ServiceCall& call)
{
    const QString pages = call.Params.value(0).trimmed();
    const bool vectors = call.Params.value(1).trimmed().compare(QLatin1String("Final"), Qt::CaseInsensitive) == 0;
    const QString title = host_.PageName(host_.CurrentPage());
    if (!dialog_.ConfirmJob(title, host_.BypassPrintDialog()))
        return {};

    QList<int> indexes;
    QString missing;
    if (pages.isEmpty() || pages.compare(QLatin1String("Current"), Qt::CaseInsensitive) == 0) {
        indexes.append(host_.CurrentPage());
    } else if (pages.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0) {
        for (int i = 1; i < host_.PageCount(); ++i)
            indexes.append(i);
    } else {
        for (const QString& name : pages.split(u'|')) {
            const int index = host_.FindPage(name);
            if (index < 0) {
                missing = name;
                break;
            }
            indexes.append(index);
        }
    }
    for (const int index : indexes) {
        const QString error = vectors ? PrintPageAsVectors(index) : PrintPageAsPicture(index);
        if (!error.isEmpty())
            return Failure(error);
    }
    ServiceReply reply;
    if (!missing.isNull()) {
        reply.ActionError = aeNoSuchPage;
        reply.ErrorText = missing;
    }
    return reply;
}

QString TPrintingService::PrintPageAsVectors(int index)
{
    QString error;
    const auto job = target_.Open(host_.PageName(index), &error);
    if (!job)
        return error;
    const QSize pageSize = host_.PageSize();
    if (pageSize.isEmpty())
        return QString();
    // The page keeps its proportions, as large as the printable area allows,
    // centred: the job's area takes the page's shape, the page is scaled into it.
    job->FitAreaTo(pageSize);
    job->AddPage([&](QPainter& painter, const QRect& area) {
        painter.setClipRect(area);
        painter.scale(double(area.width()) / pageSize.width(), double(area.height()) / pageSize.height());
        host_.PaintPage(index, painter);
    });
    return Complete(*job);
}

QString TPrintingService::PrintPageAsPicture(int index)
{
    TPicture picture;
    picture.image = host_.PagePicture(index);
    picture.format = "bmp";
    QString error;
    const auto job = target_.Open(host_.PageName(index), &error);
    if (!job)
        return error;
    job->AddPage([&](QPainter& painter, const QRect& area) {
        DrawPrintedPicture(painter, picture, PicturePrintRect(picture.image.size(), area, job->Resolution(), {}));
    });
    return Complete(*job);
}

// ---- pictures ----------------------------------------------------------------------

ServiceReply TPrintingService::PrintImageFile(const ServiceCall& call)
{
    TPictureSizeRequest request;
    request.percent = PercentOfText(call.Params.value(1));
    return Failure(PrintPicture(call.Params.value(0), request));
}

ServiceReply TPrintingService::PrintImageFileWH(const ServiceCall& call)
{
    TPictureSizeRequest request;
    request.widthInches = LenientNumber(call.Params.value(1));
    request.heightInches = LenientNumber(call.Params.value(2));
    return Failure(PrintPicture(call.Params.value(0), request));
}

QString TPrintingService::PrintPicture(const QString& fileName, const TPictureSizeRequest& request)
{
    const QString title = FileNamePart(fileName);
    if (!dialog_.ConfirmJob(title, host_.BypassPrintDialog()))
        return QString();
    TPicture picture;
    if (LoadEmbeddedPicture(fileName, picture) == 1) {
        const TPictureDecode decoded = DecodePictureFile(host_.ResolveFile(fileName));
        picture = decoded.Ok() ? decoded.picture : TPicture();
    }
    if (picture.IsEmpty())
        return Message(msgCannotOpenFile, fileName);
    QString error;
    const auto job = target_.Open(title, &error);
    if (!job)
        return error;
    job->AddPage([&](QPainter& painter, const QRect& area) {
        DrawPrintedPicture(painter, picture, PicturePrintRect(picture.image.size(), area, job->Resolution(), request));
    });
    return Complete(*job);
}

// ---- text and data files -----------------------------------------------------------

ServiceReply TPrintingService::PrintTextFile(const ServiceCall& call)
{
    TTextPrintRequest request;
    request.header = call.Params.value(0);
    request.footer = call.Params.value(1);
    request.fileName = call.Params.value(2);
    const QString title = FileNamePart(request.fileName);
    if (!dialog_.ConfirmJob(title, host_.BypassPrintDialog()))
        return {};
    QFile file(host_.ResolveFile(request.fileName));
    if (!file.open(QIODevice::ReadOnly))
        return Failure(Message(msgCannotOpenFile, request.fileName));
    request.bytes = file.readAll();
    QString error;
    const auto job = target_.Open(title, &error);
    if (!job)
        return Failure(error);
    PrintTextDocument(*job, request);
    return Failure(Complete(*job));
}

// ---- printer settings --------------------------------------------------------------

ServiceReply TPrintingService::SetPrinterOrientation(const ServiceCall& call)
{
    target_.Settings().landscape =
        call.Params.value(0).trimmed().compare(QLatin1String("Landscape"), Qt::CaseInsensitive) == 0;
    return {};
}

ServiceReply TPrintingService::PrintSetup(const ServiceCall& call)
{
    (void)call;
    ServiceReply reply;
    reply.Results[1] = dialog_.Setup() ? QStringLiteral("True") : QStringLiteral("False");
    return reply;
}

} // namespace tomeric
