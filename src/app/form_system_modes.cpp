#include "app/form_system_modes.h"

#include "actions/action_eval.h"
#include "package/package.h"
#include "vars/variables.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

namespace tomeric {

TFormSystemModes::TFormSystemModes(QMainWindow& window, TPublicationSettings& settings, TScreenSaverMode mode,
                                   std::function<bool()> requestClose)
    : window_(window), settings_(settings), mode_(mode), requestClose_(std::move(requestClose))
{
}

TFormSystemModes::~TFormSystemModes()
{
    Leave();
}

void TFormSystemModes::ApplyScreenSaverMode()
{
    ApplyScreenSaverSettings(settings_, mode_);
}

void TFormSystemModes::CreateTrayIcon(bool renderOnly)
{
    if (CurrentPackage().ApplicationKind() != TApplicationKind::akTray || renderOnly)
        return;
    if (!TTrayIcon::Available()) {
        // Without a notification area the publication would have no way
        // back to its window: it runs as an ordinary window instead.
        LogNoticeOnce(QStringLiteral("this desktop has no notification area; the tray publication "
                                     "runs in an ordinary window"));
        return;
    }
    tray_ = std::make_unique<TTrayIcon>(window_, nullptr, settings_.title);
}

void TFormSystemModes::SetTrayMenu(QMenu* menu)
{
    if (tray_)
        tray_->SetMenu(menu);
}

bool TFormSystemModes::StaysInTrayAtStart() const
{
    return tray_ && settings_.startupAction.isEmpty();
}

void TFormSystemModes::Enter()
{
    ReportUnavailableSystemModes(settings_, mode_, CurrentPackage().DisplayMode());
    if (mode_ == ssRun && !cursorHidden_) {
        QApplication::setOverrideCursor(Qt::BlankCursor);
        cursorHidden_ = true;
        if (settings_.mouseExit && !mouseExit_) {
            mouseExit_ = std::make_unique<TMouseExitFilter>(requestClose_);
            qApp->installEventFilter(mouseExit_.get());
        }
    }
    // A tray publication goes to the tray once it is up, unless a script
    // says it stays, or one is running right now.
    if (tray_ && !window_.isMinimized() && Runs().Depth == 0 &&
        GetVariable(QStringLiteral("[StartInSystemTray]")).compare(QLatin1String("FALSE"), Qt::CaseInsensitive) != 0)
        window_.showMinimized();
}

void TFormSystemModes::Leave()
{
    if (mouseExit_) {
        qApp->removeEventFilter(mouseExit_.get());
        mouseExit_.reset();
    }
    if (cursorHidden_) {
        QApplication::restoreOverrideCursor();
        cursorHidden_ = false;
    }
}

void TFormSystemModes::WindowStateChanged()
{
    // Minimising a tray publication leaves only its icon.
    if (tray_ && window_.isMinimized())
        QTimer::singleShot(0, &window_, [this] {
            if (tray_ && window_.isMinimized())
                window_.hide();
        });
}

void TFormSystemModes::Release()
{
    tray_.reset();
}

} // namespace tomeric
