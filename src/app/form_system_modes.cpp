// The main window's special ways of running: as a screen saver, as an icon
// in the notification area, and with the system modes a kiosk asks for.

#include "app/work_form.h"

#include "actions/action_eval.h"
#include "vars/variables.h"

#include <QApplication>
#include <QTimer>

namespace tomeric {

void TWorkForm::ApplyScreenSaverMode()
{
    ApplyScreenSaverSettings(publication_.settings, ScreenSaverMode());
}

void TWorkForm::CreateTrayIcon()
{
    if (CurrentPackage().ApplicationKind() != TApplicationKind::akTray || start_.renderOnly)
        return;
    if (!TTrayIcon::Available()) {
        // Without a notification area the publication would have no way
        // back to its window: it runs as an ordinary window instead.
        LogNoticeOnce(QStringLiteral("this desktop has no notification area; the tray publication "
                                     "runs in an ordinary window"));
        return;
    }
    // The tray menu joins the icon once the menus are installed (ShowForm).
    tray_ = std::make_unique<TTrayIcon>(*this, nullptr, publication_.settings.title);
}

bool TWorkForm::StaysInTrayAtStart() const
{
    // A tray publication without a start-up script has nothing to show
    // until its icon is clicked.
    return tray_ && publication_.settings.startupAction.isEmpty();
}

void TWorkForm::EnterSystemModes()
{
    ReportUnavailableSystemModes(publication_.settings, ScreenSaverMode(), CurrentPackage().DisplayMode());
    if (ScreenSaverMode() == ssRun) {
        QApplication::setOverrideCursor(Qt::BlankCursor);
        if (publication_.settings.mouseExit) {
            mouseExit_ = std::make_unique<TMouseExitFilter>(
                [this] { return RequestClose(TCloseSource::csWindows); });
            qApp->installEventFilter(mouseExit_.get());
        }
    }
    // A tray publication goes to the tray once it is up, unless a script
    // says it stays, or one is running right now.
    if (tray_ && !isMinimized() && Runs().Depth == 0 &&
        GetVariable(QStringLiteral("[StartInSystemTray]")).compare(QLatin1String("FALSE"), Qt::CaseInsensitive) != 0)
        showMinimized();
}

void TWorkForm::LeaveSystemModes()
{
    if (mouseExit_) {
        qApp->removeEventFilter(mouseExit_.get());
        mouseExit_.reset();
    }
    if (ScreenSaverMode() == ssRun)
        QApplication::restoreOverrideCursor();
}

void TWorkForm::HideIntoTrayWhenMinimized()
{
    // Minimising a tray publication leaves only its icon.
    if (tray_ && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (tray_ && isMinimized())
                hide();
        });
}

} // namespace tomeric
