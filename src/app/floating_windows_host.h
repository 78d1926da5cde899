#pragma once
// TPlayerFloatingHost: the main window as the floating windows see it (see
// windows/floating_host.h). It lives with the services, across publications
// run in the window, so picture and text windows that stay open when
// another publication follows keep a valid object host.

#include "app/player_object_host.h"
#include "windows/floating_host.h"

namespace tomeric {

class TWorkForm;
struct Services;

class TPlayerFloatingHost final : public TFloatingHost {
public:
    TPlayerFloatingHost(TWorkForm& form, Services& services) : form_(form), objects_(form, services) {}

    QWidget* ClientArea() override;
    TMainWindowGeometry MainGeometry() const override;
    TPageStack* Stack() override;
    int FindPage(const QString& name) const override;
    int CurrentPage() const override;
    bool ShowsMasterPage(int page) const override;
    void SendPageMessage(int page, TFloatingPageMessage message) override;
    void CallSubroutineIfAny(const QString& name) override;
    ObjectHost& Objects() override { return objects_; }
    void OpenHelp() override;
    bool MainStaysOnTop() const override;
    std::optional<QString> FindIncludedFile(const QString& name) const override;
    void Trace(const QString& line) override;
    void TellDebuggerWindowShown(quint64 handle) override;

private:
    TWorkForm& form_;
    TPlayerObjectHost objects_;
};

} // namespace tomeric
