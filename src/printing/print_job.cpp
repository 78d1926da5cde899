#include "printing/print_job.h"

#include "vars/builtin_vars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace tomeric {

namespace {

// PDF files are laid out as a common office printer would print: its
// resolution, and the margin its paper path cannot reach.
constexpr int kPdfResolution = 300;
constexpr double kPdfMarginInches = 0.25;

QPageSize DefaultPaper()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                               : QPageSize(QPageSize::A4);
}

QPageLayout::Orientation OrientationOf(const TPrintSettings& settings)
{
    return settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

// ---- TPrintJob ------------------------------------------------------------------

TPrintJob::TPrintJob(std::unique_ptr<QPagedPaintDevice> device, QString outputFile, int repeats)
    : device_(std::move(device)), outputFile_(std::move(outputFile)), repeats_(std::max(1, repeats))
{
}

bool TPrintJob::Begin()
{
    return painter_.isActive() || painter_.begin(device_.get());
}

void TPrintJob::FitAreaTo(QSize content)
{
    if (painter_.isActive() || content.isEmpty())
        return;
    const QPageLayout layout = device_->pageLayout();
    const QRectF area = layout.paintRect(QPageLayout::Point);
    const QSizeF fitted = QSizeF(content).scaled(area.size(), Qt::KeepAspectRatio);
    const double extraX = (area.width() - fitted.width()) / 2, extraY = (area.height() - fitted.height()) / 2;
    const QMarginsF margins = layout.margins(QPageLayout::Point) + QMarginsF(extraX, extraY, extraX, extraY);
    device_->setPageMargins(margins, QPageLayout::Point);
}

TPrintJob::~TPrintJob()
{
    if (painter_.isActive())
        Abort();
}

QRect TPrintJob::Area() const
{
    return QRect(0, 0, device_->width(), device_->height());
}

int TPrintJob::Resolution() const
{
    return device_->logicalDpiX();
}

void TPrintJob::AddPage(const PagePainter& draw)
{
    if (!Begin())
        return;
    for (int copy = 0; copy < repeats_; ++copy) {
        if (pagesOut_++ > 0)
            device_->newPage();
        painter_.save();
        draw(painter_, Area());
        painter_.restore();
    }
}

bool TPrintJob::Finish()
{
    if (!Begin())
        return false;
    const bool ended = painter_.end();
    if (!ended || (!outputFile_.isEmpty() && !QFileInfo(outputFile_).isFile()))
        return false;
    return true;
}

void TPrintJob::Abort()
{
    if (auto* printer = dynamic_cast<QPrinter*>(device_.get()))
        printer->abort();
    if (painter_.isActive())
        painter_.end();
    if (!outputFile_.isEmpty())
        QFile::remove(outputFile_);
}

// ---- TPrintTarget ----------------------------------------------------------------

TPrintTarget::TPrintTarget(std::function<void(const QString&)> tell) : tell_(std::move(tell)) {}

TPrintTarget::~TPrintTarget() = default;

QPrinter& TPrintTarget::Printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QString TPrintTarget::FileNamePart(const QString& title)
{
    QString name = title.trimmed();
    for (QChar& c : name)
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return name.isEmpty() ? QStringLiteral("Tomeric") : name;
}

bool TPrintTarget::SystemHasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

std::unique_ptr<TPrintJob> TPrintTarget::Open(const QString& title, QString* error)
{
    ++jobNumber_;
    if (WritesToFolder())
        return OpenPdf(FolderFile(title), error);
    if (printerChosen_ || SystemHasPrinter())
        return OpenPrinter(title, error);
    return OpenPdf(NextDocumentsFile(title), error);
}

QString TPrintTarget::NextDocumentsFile(const QString& title)
{
    const QString path = DocumentsFile(title);
    if (!toldDocuments_) {
        toldDocuments_ = true;
        tell_(QStringLiteral("no printer is installed: print jobs are written as PDF files to ") +
              QFileInfo(path).absolutePath());
    }
    return path;
}

std::optional<TDocumentDestination> TPrintTarget::OpenDocument(const QString& title, QString* error)
{
    ++jobNumber_;
    TDocumentDestination destination;
    if (!WritesToFolder() && (printerChosen_ || SystemHasPrinter())) {
        destination.printer = MakePrinter(title);
        return destination;
    }
    destination.pdfPath = WritesToFolder() ? FolderFile(title) : NextDocumentsFile(title);
    destination.layout = PdfLayout();
    const QString folder = QFileInfo(destination.pdfPath).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Impossible de créer le dossier ") + folder;
        return std::nullopt;
    }
    return destination;
}

QPageLayout TPrintTarget::PdfLayout() const
{
    const double margin = kPdfMarginInches * 25.4;
    return QPageLayout(DefaultPaper(), OrientationOf(settings_), QMarginsF(margin, margin, margin, margin),
                       QPageLayout::Millimeter);
}

QString TPrintTarget::FolderFile(const QString& title)
{
    return QDir(settings_.printToFolder)
        .filePath(QStringLiteral("%1-%2.pdf").arg(jobNumber_, 3, 10, QLatin1Char('0')).arg(FileNamePart(title)));
}

QString TPrintTarget::DocumentsFile(const QString& title)
{
    const QDir folder(DocumentsFolder());
    const QString name = FileNamePart(title);
    QString path = folder.filePath(name + QStringLiteral(".pdf"));
    // An earlier print is never overwritten.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1 (%2).pdf").arg(name).arg(n));
    return path;
}

std::unique_ptr<TPrintJob> TPrintTarget::OpenPdf(const QString& path, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Impossible de créer le dossier ") + QFileInfo(path).absolutePath();
        return nullptr;
    }
    auto writer = std::make_unique<QPdfWriter>(path);
    writer->setResolution(kPdfResolution);
    writer->setCreator(QStringLiteral("Tomeric Player"));
    writer->setTitle(QFileInfo(path).completeBaseName());
    writer->setPageLayout(PdfLayout());
    return std::make_unique<TPrintJob>(std::move(writer), path, settings_.copies);
}

// The job owns its device; a copy of the chosen printer's settings serves.
std::unique_ptr<TPrintJob> TPrintTarget::OpenPrinter(const QString& title, QString*)
{
    std::unique_ptr<QPrinter> printer = MakePrinter(title);
    const QString file = printer->outputFileName();
    return std::make_unique<TPrintJob>(std::move(printer), file, 1);
}

std::unique_ptr<QPrinter> TPrintTarget::MakePrinter(const QString& title)
{
    QPrinter& chosen = Printer();
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(chosen.printerName());
    printer->setOutputFileName(chosen.outputFileName());
    printer->setPageLayout(chosen.pageLayout());
    printer->setPageOrientation(OrientationOf(settings_));
    printer->setCopyCount(settings_.copies);
    printer->setCollateCopies(false);
    printer->setDocName(title);
    return printer;
}

} // namespace tomeric
