#pragma once
// TPublicationChain: RunTomeric, running another publication in this window.
// The current publication closes through the usual close query and the new
// container opens in the same process and window. The switch happens from
// the event loop once every running script has returned: the pages and
// scripts of the old publication are freed by it, so nothing of theirs may
// still be running.

#include "actions/services.h"

#include <QObject>
#include <QString>

namespace tomeric {

// How RunTomeric runs the next publication (from its option text and the
// current WINDOWSTYLE).
struct TChainOptions {
    bool fullScreen = false;     // WINDOWSTYLE 1 or 3: the pages are not hidden first
    bool clearVariables = false; // "CLEARVARS"
    bool closeWindows = false;   // "CLOSEWINDOWS"
};
TChainOptions ParseChainOptions(const QString& options, int windowStyle);

// What the chain asks of the main window.
class TChainHost {
public:
    virtual ~TChainHost() = default;
    // The close query, then the current publication released; false when
    // the publication refused to close (it then goes on).
    virtual bool CloseForChain(const TChainOptions& options) = 0;
    // The new container read and shown, its first paint done; on failure
    // the player ends.
    virtual void OpenFromChain(const QString& container) = 0;
};

class TPublicationChain {
public:
    TPublicationChain(QObject& owner, TChainHost& host) : owner_(owner), host_(host) {}

    // RunTomeric file, options: "Fichier introuvable !" in [LastError] when
    // the file cannot be found next to `currentContainer` or as given;
    // otherwise the switch follows on the event loop.
    ServiceReply RunTomeric(const QString& file, const QString& options, const QString& currentContainer,
                            int windowStyle);
    // True while one publication gives way to the next.
    bool InProgress() const { return inProgress_; }

private:
    void ChainWhenIdle(const QString& container, TChainOptions options);
    void ChainTo(const QString& container, TChainOptions options);

    QObject& owner_;
    TChainHost& host_;
    bool inProgress_ = false;
};

} // namespace tomeric
