#pragma once
// The Internet commands: DownloadFile, InternetGet, InternetPost,
// InternetFileExists, InternetFileSize, CheckInternetConnection,
// ConnectToInternet, DisconnectFromInternet, InternetLink and SendMail. No
// window is needed: the headless runner and the player carry them out
// alike; the player adds its progress window through TTransferView.
//
// One transfer or mail runs at a time ("Une seule commande Internet n'est
// possible à la fois."); the command waits for it in the message pump, and
// setting [DownloadProgress] (or [MailProgress]) to "Cancel", or the
// progress window's Cancel, ends it.

#include "actions/services.h"

#include <QNetworkAccessManager>

#include <functional>
#include <optional>

namespace tomeric {

// What a window shows of a running transfer; the headless runner has none.
class TTransferView {
public:
    virtual ~TTransferView() = default;
    // A transfer starts. `message`: what the progress window says ("|" for
    // line breaks); `showProgress`: the window opens at the first progress;
    // `holdInput`: the player's windows take no input meanwhile.
    virtual void Begin(const QString& message, bool showProgress, bool holdInput) = 0;
    virtual void Progress(int value) = 0;
    // The dialog's Cancel was pressed (or the dialog closed).
    virtual bool CancelRequested() const = 0;
    virtual void End() = 0;
};

class TInternetService final : public CommandService {
public:
    // Opens a URL with the desktop's handler: nothing when it opened, else
    // the text to report (the publication's "L_INTERNETERROR=").
    using LinkOpener = std::function<std::optional<QString>(const QString& url)>;

    // `services` gives the pump, the dialogs (the mail-server question) and
    // the publication (language texts, attachments); it is read at each call.
    TInternetService(Services& services, LinkOpener openLink, CommandService* next);

    void SetView(TTransferView* view) { view_ = view; }
    ServiceReply Perform(const ServiceCall& call) override;

    // The system's connected state: a reachability back end where the
    // system has one, otherwise a network interface that is up and not the
    // loopback one (no traffic leaves the machine to find out).
    static bool SystemConnected();

private:
    ServiceReply RunTransfer(const ServiceCall& call);
    ServiceReply SendMail(const ServiceCall& call);
    // The mail server: the publication's setting, the system's default
    // account, or the user's answer; empty when there is none.
    QString MailServer();
    // The progress variable ([DownloadProgress], [MailProgress]) holds
    // "Cancel", the progress window's Cancel was pressed, or the player stops.
    bool CancelWanted(const QString& progressVariable) const;
    void Wait(class THttpTransfer& transfer, bool cancellable);

    MessagePump& Pump() const { return *services_.Pump; }

    Services& services_;
    LinkOpener openLink_;
    CommandService* next_;
    TTransferView* view_ = nullptr;
    QNetworkAccessManager network_;
    bool busy_ = false;
};

} // namespace tomeric
