// FormCreate: from the container on the command line to a window that is
// ready to be shown, as a list of named steps.

#include "app/splash_screen.h"
#include "app/work_form.h"

#include "pages/page_transition_overlay.h"

#include "package/package.h"
#include "platform/string_table.h"
#include "publication/publication_reader.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"
#include "windows/dialog_look.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScrollArea>

namespace tomeric {

namespace {

const QString kPlayerTitle = QStringLiteral("Tomeric 5 Player");

} // namespace

TCreateOutcome TWorkForm::FormCreate()
{
    MarkLoadingAndDefaults();
    StoreCommandLine();
    CreateMasterPage();
    if (!OpenAndReadPublication())
        return TCreateOutcome::coFailed;
    systemModes_.ApplyScreenSaverMode();
    ChooseExtractionFolder();
    LoadCursors();
    InstallEmbeddedFonts();
    SetPictureCacheSize();
    // The subroutine list was collected by the reader (Publication().subroutineNames).
    BuildPageList();
    ApplyWindowSettings(publication_.settings.screenWidth, publication_.settings.screenHeight);
    ConvertMinimumSize();
    if (!LinkDebugger())
        return TCreateOutcome::coFailed;
    if (!AskStartPassword()) {
        CloseSplash();
        return TCreateOutcome::coRefused;
    }
    systemModes_.CreateTrayIcon(start_.renderOnly);
    ClearLoadingMark();
    ApplyBypassPrintSwitch();
    SetStartPage();
    LoadEmbeddedPlugIns();
    InstallMessageFilter();
    return TCreateOutcome::coStarted;
}

void TWorkForm::MarkLoadingAndDefaults()
{
    phase_ = TFormPhase::fpLoading;
    publication_ = TPublication();
    // Variables survive a publication run in this window unless CLEARVARS
    // cleared them when the previous one closed.
    if (!chain_.InProgress())
        ClearVariableStore();
    ResetBuiltinVarState();
    SetShowErrors(true);
}

void TWorkForm::StoreCommandLine()
{
    PublicationFacts& facts = CurrentPublicationFacts();
    facts.executablePath = QCoreApplication::applicationFilePath();
    facts.commandLineText = start_.request.commandLineText;
    facts.tempDir = TempFolder();
}

void TWorkForm::CreateMasterPage()
{
    area_ = new QScrollArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(area_);
    // Filled with the publication's pages once they are read; page 0 now.
    stack_ = new TPageStack(area_, publication_, [this](const QString& name) { return pictures_.Wallpaper(name); });
    area_->setWidget(stack_);
    area_->hide(); // the page container shows at the first paint
}

bool TWorkForm::OpenAndReadPublication()
{
    TPackage& package = CurrentPackage();
    package.SetTemporaryFolder(TempFolder());
    if (OpenPackage(start_.request.containerPath) != kPackageOk) {
        FailStartup(Message(msgDiskReadError));
        return false;
    }
    packageOpen_ = true;
    if (!start_.renderOnly) {
        // Without a splash picture a wait box stands in; it only shows when
        // reading takes a while. The publication's own texts are not read
        // yet, so it speaks with the player's default words.
        QImage picture;
        if (!package.SplashImage().isEmpty())
            picture = TPictureStore::IncludedPicture(package.SplashImage());
        splash_ = new TSplashScreenForm(picture, BuiltinWord(ltPleaseWait), font(), start_.fast);
    }
    TReadOptions options;
    options.progress = [this](std::int64_t read, std::int64_t total) {
        if (splash_)
            splash_->SetProgress(ProgressPercent(read, total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    TPublication read;
    const TReadResult result = ReadPublication(package, read, options);
    if (!result.ok) {
        FailStartup(result.errorText.isEmpty() ? Message(msgDiskReadError) : result.errorText);
        return false;
    }
    publication_ = std::move(read);
    StorePublicationFacts();
    return true;
}

void TWorkForm::FailStartup(const QString& errorText)
{
    hide();
    CloseSplash();
    failureTitle_ = publication_.settings.title.isEmpty() ? kPlayerTitle : publication_.settings.title;
    failureText_ = Message(msgNoResourceAccess) + QStringLiteral("\r\r") + errorText;
}

void TWorkForm::StorePublicationFacts()
{
    const TPublicationSettings& s = publication_.settings;
    PublicationFacts& facts = CurrentPublicationFacts();
    facts.publicationFile = QFileInfo(start_.request.containerPath).absoluteFilePath();
    facts.author = s.author;
    facts.version = s.pubVersion;
    facts.colors = QString::number(s.screenColors);
    facts.previewMode = CurrentPackage().PreviewMode();
    facts.applicationKind = int(CurrentPackage().ApplicationKind());
    SetShowErrors(s.showErrors);
    services_->Dialogs().SetLanguageTexts(&publication_.settings);
}

void TWorkForm::ChooseExtractionFolder()
{
    TPackage& package = CurrentPackage();
    package.SetWindowsFolder(WindowsFolder());
    TExtractionFlags flags;
    flags.bits = std::uint8_t(publication_.settings.extractOp);
    package.ApplyExtractionSettings(flags, publication_.settings.extractDir);
}

void TWorkForm::LoadCursors()
{
    const TPublicationSettings& s = publication_.settings;
    cursors_ = TCursorSet();
    if (const auto cursor = LoadPublicationCursor(s.appCursor))
        cursors_.application = *cursor;
    if (const auto cursor = LoadPublicationCursor(s.hotSpotCursor))
        cursors_.hotSpot = *cursor;
    if (const auto cursor = LoadPublicationCursor(s.dragCursor))
        cursors_.drag = *cursor;
    if (const auto cursor = LoadPublicationCursor(s.busyCursor))
        cursors_.busy = *cursor;
}

void TWorkForm::InstallEmbeddedFonts()
{
    // A font that cannot be registered is skipped.
    for (const QString& path : CurrentPackage().ExtractFonts()) {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id >= 0)
            fontIds_.append(id);
    }
}

void TWorkForm::SetPictureCacheSize()
{
    pictures_.SetCapacity(publication_.settings.cacheSize);
}

void TWorkForm::BuildPageList()
{
    // The stack was made for page 0 alone; now every page has its slot.
    area_->takeWidget();
    delete stack_;
    stack_ = new TPageStack(area_, publication_, [this](const QString& name) { return pictures_.Wallpaper(name); });
    area_->setWidget(stack_);
    // Page backgrounds show the application cursor; objects set their own.
    stack_->setCursor(cursors_.application);

    pageView_ = std::make_unique<TStackPageView>(*stack_);
    pageView_->SetFast(start_.fast);
    pageView_->SetBusyCursor(cursors_.busy);
    pageView_->SetTransitionPlayer(MakeOverlayTransitionPlayer());
    pageView_->SetVisibleCheck([this] { return isVisible() && !isMinimized(); });
    services_->Pages().SetLoading(true);
    services_->Pages().Load(publication_);
    services_->Pages().SetView(pageView_.get());
    if (start_.driven && start_.lineSink)
        services_->Pages().SetTrace(start_.lineSink);
    services_->Pages().SetSlideShowTimer(MakeQtSlideShowTimer());

    builtinHost_ = std::make_unique<TPageListBuiltinHost>(services_->Pages(), windowHost_);
    SetBuiltinHost(builtinHost_.get());
    observer_ = std::make_unique<TWindowVariableObserver>(*this, services_->Dialogs());
    CreateObjectsOfAllPages();
}

void TWorkForm::ApplyWindowSettings(int width, int height)
{
    stack_->resize(width, height);
    window_.Apply(*area_, width, height);
    stack_->SetPublicationArea(QRect(0, 0, width, height));
    DockPageObjects();
    window_.ApplyStacking();
}

void TWorkForm::ConvertMinimumSize()
{
    // Qt keeps the frame out of a widget's size: the client size is the limit.
    const TPublicationSettings& s = publication_.settings;
    area_->setMinimumSize(std::max(0, s.minPubWidth), std::max(0, s.minPubHeight));
}

bool TWorkForm::AskStartPassword()
{
    const QString& password = publication_.settings.startPassword;
    if (password.isEmpty() || start_.renderOnly)
        return true;
    return services_->Dialogs().AskPassword(password) == kPasswordMatched;
}

void TWorkForm::ClearLoadingMark()
{
    phase_ = TFormPhase::fpReady;
}

void TWorkForm::ApplyBypassPrintSwitch()
{
    if (start_.request.bypassPrintDialog)
        publication_.settings.bypassPrintDlg = true;
}

void TWorkForm::SetStartPage()
{
    TQXPageList& pages = services_->Pages();
    int start = CurrentPackage().StartPage();
    if (StartsOnConfigPage(ScreenSaverMode())) {
        const int config = pages.FindPage(QStringLiteral("CONFIG"));
        start = config >= 1 ? config : 1;
    } else if (!start_.request.startPageName.isEmpty()) {
        const int named = pages.FindPage(start_.request.startPageName);
        start = named >= 1 ? named : 1;
    }
    if (!pages.IsValid(start) || start < 1)
        start = pages.Count() > 1 ? 1 : 0;
    try {
        pages.SetPageIndex(start);
    } catch (const EInvalidPageIndex&) {
        // Only the master page: nothing else to show.
    }
    if (stack_->ShownIndex() != pages.PageIndex())
        stack_->ShowPageAt(pages.PageIndex());
    pages.SetLoading(false);
}

void TWorkForm::InstallMessageFilter()
{
    qApp->installEventFilter(this);
}

void TWorkForm::AdvanceSplashProgress()
{
    if (phase_ == TFormPhase::fpLoading && splash_)
        splash_->SetProgress(splash_->Progress() + 1);
}

void TWorkForm::CloseSplash()
{
    if (!splash_)
        return;
    splash_->CloseSplash();
    splash_->deleteLater();
    splash_ = nullptr;
}

} // namespace tomeric
