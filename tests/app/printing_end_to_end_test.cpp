// Printing, the mouse and system information in the running player. The
// publication (tests/publications/printing) has three pages; the first holds
// a red rectangle, a text and a push button. One driven run prints with
// --print-to, so every job becomes a numbered PDF; the PDFs are read back
// with poppler's pdftotext and pdftoppm. A second run, without --print-to
// and with no printer on the system, answers the print dialog.

#include "player_test_support.h"

#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace tomeric::testing {
namespace {

constexpr double kMarginPoints = 18; // the PDF's printable area starts a quarter inch in
const QSize kPageSize(400, 300);      // SCREENWIDTH x SCREENHEIGHT

QString Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& pdf)
{
    return Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The PDF's first page as a picture at `dpi` dots per inch.
QImage PdfPicture(const QString& pdf, int dpi)
{
    const QString stem = pdf + QStringLiteral("-page");
    Poppler(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

// The bounding box of the pixels near `colour`.
QRect AreaOf(const QImage& image, const QColor& colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Near(image.pixelColor(x, y), colour, 40))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Where a page point lands on a sheet rendered at 72 dpi: the page is fitted
// into the printable area, keeping its proportions, and centred.
QPointF OnSheet(const QSize& sheet, QPointF pagePoint)
{
    const double scale = std::min((sheet.width() - 2 * kMarginPoints) / kPageSize.width(),
                                  (sheet.height() - 2 * kMarginPoints) / kPageSize.height());
    const QPointF origin((sheet.width() - kPageSize.width() * scale) / 2,
                         (sheet.height() - kPageSize.height() * scale) / 2);
    return origin + pagePoint * scale;
}

void ExpectRedBoxAtItsPlace(const QImage& sheet)
{
    ASSERT_FALSE(sheet.isNull());
    const QRect red = AreaOf(sheet, Qt::red);
    // The rectangle stands at 100,50 with 100 x 50 pixels on the page.
    const QPointF topLeft = OnSheet(sheet.size(), QPointF(100, 50));
    const QPointF bottomRight = OnSheet(sheet.size(), QPointF(200, 100));
    EXPECT_NEAR(red.left(), topLeft.x(), 2);
    EXPECT_NEAR(red.top(), topLeft.y(), 2);
    EXPECT_NEAR(red.right() + 1, bottomRight.x(), 2);
    EXPECT_NEAR(red.bottom() + 1, bottomRight.y(), 2);
}

struct PrintTour {
    static constexpr const char* kScript = R"(run SetVar "[Greeting]" "bonjour"
run PrintPage "Current" "Final"
run PrintPage "current" "Picture"
run PrintPage "All" "Final"
run PrintPage "Order|Nowhere|Worksheet" "Final"
run SetVar "[ListError]" "[LastError]"
run SetVar "[LastError]" ""
run PrintTextFile "Page &p of &n" "&f" "notes.dat"
run PrintImageFileWH "band.png" "2" "0"
run SetPrinterOrientation "Landscape"
run PrintImageFile "band.png" "50%"
run PrintImageFile "logo.wmf" ""
run PrintImageFile "missing.png" "100"
run SetVar "[MissingError]" "[LastError]"
run PrintSetup "[Setup]"
run SetVar "[ShownPage]" "[PageNumber]"
run SetMousePos "310" "215"
run GetMousePos "[MouseX]" "[MouseY]"
run ClickMouse
run SystemInfo "%HOME%" "[Home]"
run SystemInfo "Greeting" "[Info]"
run SetVar "[LastError]" ""
run LoadIcon "band.png" ""
run SetVar "[IconError]" "[LastError]"
run LoadIcon "nothing.ico" "TrayIcon"
run SetVar "[MissingIconError]" "[LastError]"
vars vars.txt
)";

    PrintTour()
        : session(QStringLiteral("printing")),
          run(session.Drive(QString::fromUtf8(kScript), {QStringLiteral("--print-to"), session.Path("prints")})),
          vars(session.Variables(QStringLiteral("vars.txt")))
    {
    }
    QString Pdf(const char* name) const { return session.Path(QStringLiteral("prints/") + QLatin1String(name)); }
    std::string Var(const char* name) const
    {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }

    PlayerSession session;
    TPlayerRun run;
    std::map<QString, QString> vars;
};

class PrintToFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tour = std::make_unique<PrintTour>(); }
    static void TearDownTestSuite() { tour.reset(); }
    static inline std::unique_ptr<PrintTour> tour;
};

TEST_F(PrintToFolder, EveryJobIsANumberedPdfAndThePageShownStays)
{
    ASSERT_TRUE(tour->run.finished);
    EXPECT_EQ(tour->run.exitCode, 0) << tour->run.err.toStdString();
    const QStringList written = QDir(tour->session.Path("prints")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(written, (QStringList{"001-Certificate.pdf", "002-Certificate.pdf", "003-Certificate.pdf",
                                    "004-Worksheet.pdf", "005-Order.pdf", "006-Order.pdf", "007-notes.dat.pdf",
                                    "008-band.png.pdf", "009-band.png.pdf", "010-logo.wmf.pdf"}));
    EXPECT_EQ(tour->Var("SHOWNPAGE"), "1");
    EXPECT_EQ(tour->Var("SETUP"), "True"); // --print-to asks nothing
    EXPECT_FALSE(tour->run.out.contains(QStringLiteral("DIALOG Print")));
}

TEST_F(PrintToFolder, FinalModeDrawsThePageAsVectorsFittedAndCentred)
{
    const QString pdf = tour->Pdf("001-Certificate.pdf");
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Certified printout"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Click me"))) << text.toStdString();
    ExpectRedBoxAtItsPlace(PdfPicture(pdf, 72));
}

TEST_F(PrintToFolder, PictureModeShowsTheSameRectangleAsAPicture)
{
    const QString pdf = tour->Pdf("002-Certificate.pdf");
    EXPECT_FALSE(PdfText(pdf).contains(QStringLiteral("Certified")));
    ExpectRedBoxAtItsPlace(PdfPicture(pdf, 72));
}

TEST_F(PrintToFolder, AllPrintsEveryPageInOrderAndAListStopsAtAnUnknownPage)
{
    EXPECT_TRUE(PdfText(tour->Pdf("003-Certificate.pdf")).contains(QStringLiteral("Certified printout")));
    EXPECT_TRUE(PdfText(tour->Pdf("004-Worksheet.pdf")).contains(QStringLiteral("Worksheet page")));
    EXPECT_TRUE(PdfText(tour->Pdf("005-Order.pdf")).contains(QStringLiteral("Order form")));
    EXPECT_TRUE(PdfText(tour->Pdf("006-Order.pdf")).contains(QStringLiteral("Order form")));
    EXPECT_EQ(tour->Var("LISTERROR"), "PrintPage[#13][#13]\"Nowhere\"[#13]Cette page n'existe pas.");
}

TEST_F(PrintToFolder, TextFilesCarryTheirHeaderAndFooterOnEveryPage)
{
    const QStringList pages = PdfText(tour->Pdf("007-notes.dat.pdf")).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Page %1 of 3").arg(i + 1))) << pages[i].toStdString();
        EXPECT_TRUE(pages[i].contains(QStringLiteral("notes.dat"))) << pages[i].toStdString();
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Notes line 1 of the archive")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Notes line 160 of the archive")));
}

TEST_F(PrintToFolder, PicturesTakeTheirSizeInInchesOrPerCentCentred)
{
    // 2 inches wide, the height following the 2:1 picture: 144 x 72 points.
    const QImage inches = PdfPicture(tour->Pdf("008-band.png.pdf"), 72);
    const QRect band = AreaOf(inches, QColor(0, 128, 0));
    EXPECT_NEAR(band.width(), 144, 2);
    EXPECT_NEAR(band.height(), 72, 2);
    EXPECT_NEAR(band.center().x(), inches.width() / 2.0, 2);
    EXPECT_NEAR(band.center().y(), inches.height() / 2.0, 2);

    // 50 per cent of 40 x 20 pixels is 20 x 10 printer dots (300 dpi), on a
    // landscape sheet.
    const QImage percent = PdfPicture(tour->Pdf("009-band.png.pdf"), 300);
    EXPECT_GT(percent.width(), percent.height());
    const QRect small = AreaOf(percent, QColor(0, 128, 0));
    EXPECT_NEAR(small.width(), 20, 1);
    EXPECT_NEAR(small.height(), 10, 1);
    EXPECT_NE(tour->Var("MISSINGERROR").find("missing.png"), std::string::npos);
}

TEST_F(PrintToFolder, MetafilesPrintAsVectorsFittedToTheSheet)
{
    const QString pdf = tour->Pdf("010-logo.wmf.pdf");
    // No picture inside: the records were played onto the page.
    const QStringList images = Poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join(QLatin1Char('\n')).toStdString(); // the two heading lines
    // The 2:1 logo fills the printable width: its red left half is a square.
    const QImage sheet = PdfPicture(pdf, 72);
    const QRect red = AreaOf(sheet, Qt::red);
    EXPECT_NEAR(red.left(), kMarginPoints, 2);
    EXPECT_NEAR(red.width(), (sheet.width() - 2 * kMarginPoints) / 2, 3);
    EXPECT_NEAR(red.height(), red.width(), 3);
}

TEST_F(PrintToFolder, TheMouseGoesWhereTheScriptSaysAndClicks)
{
    EXPECT_EQ(tour->Var("MOUSEX"), "310");
    EXPECT_EQ(tour->Var("MOUSEY"), "215");
    EXPECT_EQ(tour->Var("CLICKED"), "c"); // the push button under the pointer ran its action
}

TEST_F(PrintToFolder, SystemInfoReadsTheEnvironmentAndThePlayersVariables)
{
    EXPECT_EQ(tour->Var("HOME"), qEnvironmentVariable("HOME").toStdString());
    EXPECT_EQ(tour->Var("INFO"), "bonjour");
}

TEST_F(PrintToFolder, LoadIconTakesAPictureOfThePublicationAndReportsAMissingFile)
{
    EXPECT_EQ(tour->Var("ICONERROR"), "");
    EXPECT_EQ(tour->Var("MISSINGICONERROR"), "Impossible d'ouvrir le fichier nothing.ico");
}

// Without --print-to the print dialog asks; a driven player prints a line
// and takes the answer. Without a printer the job becomes a PDF in the
// documents folder, holding the chosen number of copies.
TEST(PrintDialog, CancelPrintsNothingAndCopiesAreKept)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed: jobs would go to it";
    PlayerSession session(QStringLiteral("printing"));
    const QString home = session.Path(QStringLiteral("home"));
    QDir().mkpath(home);
    session.SetEnvironment(QStringLiteral("HOME"), home);
    session.SetEnvironment(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    const TPlayerRun run = session.Drive(QStringLiteral(R"(answer Cancel
run PrintPage "Current" "Final"
answer 2
run PrintImageFile "band.png" "100"
answer Cancel
run PrintSetup "[Setup]"
vars vars.txt
)"));
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG Print \"Certificate\""))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG Print \"band.png\""))) << run.out.toStdString();
    EXPECT_EQ(session.Variables(QStringLiteral("vars.txt"))[QStringLiteral("SETUP")], QStringLiteral("False"));

    const QStringList pdfs = QDir(home + QStringLiteral("/Documents")).entryList({QStringLiteral("*.pdf")});
    EXPECT_EQ(pdfs, QStringList{QStringLiteral("band.png.pdf")}); // the cancelled page left nothing
    const QString info = Poppler(QStringLiteral("pdfinfo"), {home + QStringLiteral("/Documents/band.png.pdf")});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("no printer is installed")), 1) << run.err.toStdString();

    // /B skips the dialog, as BYPASSPRINTDLG=Yes does; an earlier PDF of the
    // same title is never overwritten.
    const TPlayerRun bypass = session.Drive(QStringLiteral("run PrintImageFile \"band.png\" \"100\"\n"),
                                            {QStringLiteral("/B")});
    EXPECT_FALSE(bypass.out.contains(QStringLiteral("DIALOG Print"))) << bypass.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/Documents/band.png (2).pdf")));
}

} // namespace
} // namespace tomeric::testing
