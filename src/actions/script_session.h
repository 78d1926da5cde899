#pragma once
// One headless run of an action script: the publication it runs in (an
// empty one with a single page in the current folder, or the publication
// of a container), the headless services that turn dialogs and every other
// outside call into lines of text, and the global variables afterwards.
// The tomeric-script runner is a thin command line around it.

#include "actions/headless_services.h"
#include "actions/page_navigation.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace tomeric {

class ScriptSession {
public:
    explicit ScriptSession(HeadlessServices::LineSink sink);
    ~ScriptSession();

    // An empty publication with one page; [PubDir] is the current folder.
    void UseEmptyPublication();
    // The publication of a container: its settings, pages, subroutines and
    // included files apply (its start-up script does not run). False with
    // *error set when the container cannot be opened or read.
    bool OpenContainer(const QString& path, QString* error);
    // The publication of a publication text file ("RUNTIME.PUB" format, no
    // container): its settings, pages and subroutines apply.
    bool OpenPublicationText(const QString& path, QString* error);
    // The first paint: the start page is entered with STARTUPACTION and its
    // enter action (without it, scripts start on the start page and
    // STARTUPACTION never runs).
    void StartPublication();
    // The pages scripts navigate; page changes print PAGE and RUN lines.
    TQXPageList& Pages() { return *pages_; }

    void AddAnswer(const QString& answer) { services_->AddAnswer(answer); }
    HeadlessServices& Services() { return *services_; }

    // Runs the text as one script.
    void Run(const QString& scriptText);

    // Every global variable in the variable-file format (key=value lines,
    // CR LF, CR and LF inside values as [#13] and [#10], Windows-1252).
    static QByteArray GlobalVariablesText();

private:
    void UsePublication(const TPublication& publication);

    std::unique_ptr<HeadlessServices> services_;
    std::unique_ptr<TQXPageList> pages_;
    std::unique_ptr<TPageListBuiltinHost> pageHost_;
    bool containerOpen_ = false;
};

} // namespace tomeric
