// Extensions in the player: the debugger of preview packages, linked while
// the window is created and unlinked when it closes; the publication's
// plug-ins, loaded once the start page is set, told what happens to the
// publication, unloaded with it.

#include "app/work_form.h"

#include "objects/tomeric_obj.h"
#include "package/package.h"
#include "platform/string_table.h"

#include <tomeric/plugin.h>

#include <memory>
#include <utility>

namespace tomeric {

namespace {

const QString kPlayerTitle = QStringLiteral("Tomeric 5 Player");

} // namespace

bool TWorkForm::LinkDebugger()
{
    const TPackage& package = CurrentPackage();
    if (!package.IsPreview() || package.DebuggerFolder().isEmpty() || debugger_)
        return true;
    debugger_ = TDebuggerLibrary::Link(package.DebuggerFolder(), package.PreviewMode(), this);
    if (!debugger_) {
        hide();
        CloseSplash();
        failureTitle_ = publication_.settings.title.isEmpty() ? kPlayerTitle : publication_.settings.title;
        failureText_ = Message(msgDebuggerNotStarted);
        return false;
    }
    services_->All().Debugger = debugger_.get();
    return true;
}

void TWorkForm::UnlinkDebugger()
{
    services_->All().Debugger = nullptr;
    debugger_.reset();
}

void TWorkForm::ClearVariableStore()
{
    ResetVariableStore();
    if (debugger_)
        debugger_->VariablesCleared();
}

void TWorkForm::LoadEmbeddedPlugIns()
{
    plugInHost_.services = &services_->All();
    plugInHost_.pages = &services_->Pages();
    plugInHost_.title = publication_.settings.title.isEmpty() ? kPlayerTitle : publication_.settings.title;
    plugInHost_.mainWindow = this;
    plugInHost_.objectWindow = [this](const QString& name) {
        const auto found = services_->ObjectCommands().FindObject(name);
        return found ? QString::number(effectiveWinId()) : QStringLiteral("0");
    };
    // GetInfo 11: the page drawn into a picture that lives until the next
    // such request.
    auto pageBitmap = std::make_shared<std::pair<QImage, QXBitmap>>();
    plugInHost_.pageBitmap = [this, pageBitmap](const QString& name) -> const QXBitmap* {
        const int index = services_->Pages().FindPage(name);
        if (index < 1 || !stack_)
            return nullptr;
        QImage& image = pageBitmap->first;
        image = stack_->RenderPage(index).convertToFormat(QImage::Format_RGB32);
        pageBitmap->second = QXBitmap{image.width(), image.height(), int(image.bytesPerLine()), image.bits()};
        return &pageBitmap->second;
    };
    SetPlugInHost(&plugInHost_);
    services_->Pages().SetPlugInNotifier([](int message, int parameter) { NotifyPlugIns(message, parameter); });
    LoadPlugIns(CurrentPackage().PreparePlugInFiles());
    // The settings were applied before the plug-ins loaded; they hear it
    // first, and the start when the window first paints.
    NotifyPlugIns(QX_MSG_LOADED);
}

} // namespace tomeric
