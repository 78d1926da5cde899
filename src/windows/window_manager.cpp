#include "windows/window_manager.h"

#include "actions/headless_services.h"
#include "actions/string_operations.h"
#include "objects/tomeric_obj.h"
#include "objects/web_browser.h"
#include "platform/string_table.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace tomeric {

namespace {

int NumberParam(const ServiceCall& call, int index)
{
    return int(ParseWholeNumber(call.Params.value(index)).value_or(0));
}

QPoint PositionParams(const ServiceCall& call, int first)
{
    return {NumberParam(call, first), NumberParam(call, first + 1)};
}

QString NoSuchObject(const QString& name)
{
    return QLatin1Char('"') + name + QStringLiteral("\"\r") + Message(msgNoSuchObject);
}

} // namespace

const TWindowManager::CommandRow TWindowManager::kCommands[] = {
    {"ImageWindow", &TWindowManager::ImageWindow},
    {"TextWindow", &TWindowManager::TextWindow},
    {"CustomWindow", &TWindowManager::CustomWindow},
    {"CloseWindow", &TWindowManager::CloseWindow},
    {"CloseCustomWindow", &TWindowManager::CloseCustomWindow},
};

TWindowManager::~TWindowManager()
{
    for (const QPointer<TFloatingWindowForm>& form : windows_)
        if (form)
            form->SetClosedCallback(nullptr);
}

ServiceReply TWindowManager::Perform(const ServiceCall& call)
{
    for (const CommandRow& row : kCommands)
        if (call.Command.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return (this->*row.run)(call);
    return next_ ? next_->Perform(call) : ServiceReply{};
}

// ---- the list ------------------------------------------------------------------------

TFloatingWindowForm* TWindowManager::Find(const QString& name) const
{
    for (const QPointer<TFloatingWindowForm>& form : windows_)
        if (form && !form->Closed() && form->Name().compare(name, Qt::CaseInsensitive) == 0)
            return form;
    return nullptr;
}

std::vector<TFloatingWindowForm*> TWindowManager::Windows() const
{
    std::vector<TFloatingWindowForm*> open;
    for (const QPointer<TFloatingWindowForm>& form : windows_)
        if (form && !form->Closed())
            open.push_back(form);
    return open;
}

QWidget* TWindowManager::FindObjectInWindows(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TFloatingWindowForm* form : Windows()) {
        QWidget* root = form->PageRoot();
        if (!root)
            continue;
        for (QWidget* child : root->findChildren<QWidget*>())
            if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return child;
    }
    return nullptr;
}

TFloatingWindowForm* TWindowManager::FindForClose(const QString& name) const
{
    if (TFloatingWindowForm* form = Find(name))
        return form;
    // Packaged publications open their files under the included file's name.
    const std::optional<QString> included = host_.FindIncludedFile(name);
    return included ? Find(*included) : nullptr;
}

// ---- opening -------------------------------------------------------------------------

bool TWindowManager::BringForward(const QString& name)
{
    TFloatingWindowForm* form = Find(name);
    if (!form)
        return false;
    if (exclusiveCount_ > 0)
        form->SetStaysOnTop(false);
    if (form->isMinimized())
        form->showNormal();
    form->raise();
    if (!form->FixedPosition())
        form->activateWindow();
    return true;
}

TFloatingWindowForm* TWindowManager::Create(TFloatingKind kind, const QString& name, int flags, const QString& title)
{
    auto* form = new TFloatingWindowForm(host_, kind, name, flags);
    form->setWindowTitle(title);
    form->SetClosedCallback([this](TFloatingWindowForm* closed) { Closed(closed); });
    return form;
}

ServiceReply TWindowManager::ImageWindow(const ServiceCall& call)
{
    const QString file = call.Params.value(3);
    if (BringForward(file))
        return {};
    TFloatingWindowForm* form = Create(fkPicture, file, 0, call.Params.value(0));
    form->BuildPicture(file);
    Open(form, PositionParams(call, 1));
    return {};
}

ServiceReply TWindowManager::TextWindow(const ServiceCall& call)
{
    const QString file = call.Params.value(5);
    if (BringForward(file))
        return {};
    TFloatingWindowForm* form = Create(fkText, file, ParseTextWindowOptions(call.Params.value(6)),
                                       call.Params.value(0));
    form->BuildText(file, NumberParam(call, 3), NumberParam(call, 4));
    Open(form, PositionParams(call, 1));
    return {};
}

ServiceReply TWindowManager::CustomWindow(const ServiceCall& call)
{
    const QString pageName = call.Params.value(3);
    if (BringForward(pageName))
        return {};
    ServiceReply reply;
    const int page = host_.FindPage(pageName);
    if (page < 0) {
        reply.LastError = NoSuchObject(pageName);
        return reply;
    }
    const TCustomWindowOptions options = ParseCustomWindowOptions(call.Params.value(4));
    // An exclusive window waits for the user: the application shows first.
    QWidget* main = host_.ClientArea() ? host_.ClientArea()->window() : nullptr;
    if ((options.flags & foExclusive) && main && main->isMinimized())
        main->showNormal();
    TFloatingWindowForm* form = Create(fkCustom, pageName, options.flags, call.Params.value(0));
    if (!form->BuildCustom(page, options.frame, call.Params.value(0))) {
        // The page is out in another window already (under another name).
        delete form;
        reply.LastError = NoSuchObject(pageName);
        return reply;
    }
    Open(form, PositionParams(call, 1));
    return reply;
}

TTomericWebBrowser* TWindowManager::OpenBrowserWindow(TTomericWebBrowser& opener)
{
    TFloatingWindowForm* form = Create(fkBrowser, QString(), 0, QString());
    TTomericWebBrowser* browser = form->BuildBrowser(opener);
    if (!browser->HasEngine()) {
        delete form;
        return nullptr;
    }
    Place(*form, QPoint(-1, -1));
    windows_.emplace_back(form);
    return browser;
}

void TWindowManager::Open(TFloatingWindowForm* form, QPoint scriptPosition)
{
    Place(*form, scriptPosition);
    windows_.emplace_back(form);
    host_.Trace(EventLine(QStringLiteral("WINDOW"), QStringLiteral("OPEN"), {form->Name()}));
    if (form->Kind() != fkCustom || !form->Exclusive()) {
        form->ShowWindow();
        host_.TellDebuggerWindowShown(form->winId());
        return;
    }
    ++exclusiveCount_;
    for (TFloatingWindowForm* other : Windows())
        if (other != form)
            other->SetStaysOnTop(false);
    // The modal loop runs inside ShowModal: the debugger hears of the
    // window as it appears.
    QTimer::singleShot(0, form, [this, form] { host_.TellDebuggerWindowShown(form->winId()); });
    form->ShowModal();
}

void TWindowManager::Place(TFloatingWindowForm& form, QPoint scriptPosition)
{
    const TMainWindowGeometry main = host_.MainGeometry();
    if (form.FixedPosition()) {
        form.move(PlaceFixedWindow(FixedPosition(scriptPosition, main), form.size(), main));
        return;
    }
    QWidget* mainWindow = host_.ClientArea() ? host_.ClientArea()->window() : nullptr;
    QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = form.frameGeometry().size() - form.size();
    const QRect outer(ScreenPosition(scriptPosition, main), form.size() + frame);
    const QRect placed = PlaceTopLevelWindow(outer, screen->virtualGeometry(), screen->availableGeometry());
    form.resize(placed.size() - frame);
    form.move(placed.topLeft());
}

// ---- closing -------------------------------------------------------------------------

void TWindowManager::Closed(TFloatingWindowForm* form)
{
    std::erase_if(windows_, [form](const QPointer<TFloatingWindowForm>& open) { return !open || open == form; });
    // A browser window that never showed (its page was an action link) was
    // never seen.
    if (form->Kind() != fkBrowser || !form->Name().isEmpty())
        host_.Trace(EventLine(QStringLiteral("WINDOW"), QStringLiteral("CLOSE"), {form->Name()}));
    if (form->Kind() != fkCustom || !form->Exclusive() || exclusiveCount_ == 0)
        return;
    host_.TellDebuggerWindowShown(0);
    if (--exclusiveCount_ == 0)
        for (TFloatingWindowForm* other : Windows())
            other->SetStaysOnTop(true);
}

void TWindowManager::CloseNamed(const QString& name)
{
    TFloatingWindowForm* form = FindForClose(name);
    if (form && !form->Protected())
        form->CloseByCommand();
}

ServiceReply TWindowManager::CloseWindow(const ServiceCall& call)
{
    // "FIND" is the Find window's alone; the player closes it before this.
    const QString name = call.Params.value(0).trimmed();
    if (name.compare(QLatin1String("FIND"), Qt::CaseInsensitive) == 0)
        return {};
    if (!name.isEmpty()) {
        CloseNamed(name);
        return {};
    }
    for (TFloatingWindowForm* form : Windows())
        if (form->Kind() != fkCustom && !form->Protected() && !form->ClosingRequested())
            form->PostClose();
    return {};
}

ServiceReply TWindowManager::CloseCustomWindow(const ServiceCall& call)
{
    const QString name = call.Params.value(0).trimmed();
    if (!name.isEmpty()) {
        CloseNamed(name);
        return {};
    }
    for (TFloatingWindowForm* form : Windows())
        if (form->Kind() == fkCustom && !form->Protected() && !form->ClosingRequested())
            form->CloseByCommand();
    return {};
}

void TWindowManager::SendToContentObjects(const std::function<void(TTomericObj&)>& deliver)
{
    for (TFloatingWindowForm* form : Windows())
        if (TTomericObj* object = form->ContentObject())
            deliver(*object);
}

void TWindowManager::CloseAll()
{
    // Newest first, so that an exclusive window's modal loop ends before
    // the windows it was opened over.
    std::vector<TFloatingWindowForm*> open = Windows();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        QPointer<TFloatingWindowForm> form(*it);
        if (form && !form->Closed())
            form->close();
    }
    hiddenWithMain_.clear();
}

void TWindowManager::KeepForNextPublication()
{
    for (TFloatingWindowForm* form : Windows())
        form->MarkPageToBeFreed();
}

void TWindowManager::MainWindowMinimised(bool minimised)
{
    if (!host_.MainStaysOnTop())
        return;
    if (minimised) {
        for (TFloatingWindowForm* form : Windows())
            if (!form->FixedPosition() && form->StaysOnTop() && form->isVisible()) {
                form->hide();
                hiddenWithMain_.emplace_back(form);
            }
        return;
    }
    for (const QPointer<TFloatingWindowForm>& form : hiddenWithMain_)
        if (form && !form->Closed())
            form->show();
    hiddenWithMain_.clear();
}

} // namespace tomeric
