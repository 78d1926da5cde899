#pragma once
// Services for runs without a window (the tomeric-script runner, tests):
// every dialog and every call across the seam becomes one line of text, and
// dialogs take their answers from a prepared list. The line formats are a
// contract for outside tests:
//
//   DIALOG AlertBox "title" "message"
//   DIALOG MessageBox "title" "message" "buttons"       answer: button number
//   DIALOG InputBox "title" "prompt" "current value"    answer: the text
//   DIALOG FileOpenBox "title" "filter" "folder" "options"   answer: the path
//   DIALOG FileSaveBox "title" "filter" "default"       answer: the path
//   DIALOG FolderBox "title" "start folder"             answer: the folder
//   ERROR "text"                  the error box ([LastError] while ShowErrors is on)
//   POPUP Balloon|StickyNote|PopUpImage|Menu ...  a pop-up (popup_lines.h)
//   CALL Command "p1" "p2" ...    any other command handed to a service
//
// Texts are written between double quotes with a double quote as [#34], a
// carriage return as [#13] and a line feed as [#10]. With no answer left a
// dialog is cancelled (MessageBox 0, InputBox and the boxes the empty text).
// Menu and MenuEx also take an answer: the number of the chosen item.

#include "actions/services.h"
#include "vars/variables.h"

#include <QStringList>

#include <functional>

namespace tomeric {

// A text as it appears in a line: quoted, with " CR LF written [#34] [#13] [#10].
QString QuoteForLine(const QString& text);
// One line of the format above: `kind` ("DIALOG", "CALL"), the name, then
// each text quoted.
QString EventLine(const QString& kind, const QString& name, const QStringList& texts);

class HeadlessServices final : public DialogService,
                               public PageService,
                               public MessagePump,
                               public PublicationAccess,
                               public CommandService,
                               public VariableObserver {
public:
    using LineSink = std::function<void(const QString& line)>;

    explicit HeadlessServices(LineSink sink);
    ~HeadlessServices() override;

    // Everything points at this object.
    Services& All() { return services_; }

    // Answers for dialogs and menus, used in order.
    void AddAnswer(const QString& answer) { answers_.append(answer); }
    int AnswersLeft() const { return static_cast<int>(answers_.size()); }

    // What the publication offers scripts.
    QString subroutineText;
    QStringList includedFiles;
    QStringList pageNames;          // empty: every page name is accepted
    bool previewMode = false;
    bool singlePagePreview = false;
    std::function<QString(const QString&)> resolveFile;             // optional
    std::function<std::optional<QString>(const QString&)> findIncluded; // optional

    // DialogService
    void AlertBox(const QString& title, const QString& message) override;
    int MessageBox(const QString& title, const QString& message, const QString& buttons) override;
    std::optional<QString> InputBox(const QString& title, const QString& prompt, const QString& current) override;
    std::optional<QString> FileOpenBox(const QString& title, const QString& filter,
                                       const QString& initialFolder, const QString& options) override;
    std::optional<QString> FileSaveBox(const QString& title, const QString& filter,
                                       const QString& defaultName) override;
    std::optional<QString> FolderBox(const QString& title, const QString& startFolder) override;
    void ShowError(const QString& text) override;

    // PageService
    bool GotoPage(const QString& name) override;
    bool GotoPageNum(const QString& number) override;
    void GotoFirstPage() override;
    void GotoLastPage() override;
    void GotoPrevPage() override;
    void GotoNextPage() override;
    void ReturnToPage() override;
    void StartSlideShow(const QStringList& params) override;
    void PauseSlideShow() override;
    void StopSlideShow() override;

    // MessagePump: a QCoreApplication event loop when one exists.
    void ProcessPendingMessages() override;
    void ProcessEscapeOnly() override {}
    void WaitForMessages(int ms, bool urgentOnly) override;
    void DiscardUserInput() override {}
    bool ShuttingDown() const override;
    void RestartIdleTimer() override {}

    // PublicationAccess
    QString SubroutineText() const override { return subroutineText; }
    QStringList IncludedFiles() const override { return includedFiles; }
    std::optional<QString> FindIncludedFile(const QString& name) const override;
    QString ResolveFile(const QString& name) const override;
    bool PreviewMode() const override { return previewMode; }
    bool SinglePagePreview() const override { return singlePagePreview; }
    std::optional<QString> PreviewEmbeddedPath(const QString&) const override { return std::nullopt; }

    // CommandService: objects, media, windows, programs, internet,
    // printing, system and commands without a service all print a CALL line.
    ServiceReply Perform(const ServiceCall& call) override;

    // VariableObserver: the error box.
    void VariableChanged(const QString&, const QString&) override {}
    bool Watches(QStringView) const override { return false; }
    void LastErrorSet(const QString& text, bool showErrorBox) override;

private:
    void Emit(const QString& kind, const QString& name, const QStringList& texts);
    std::optional<QString> NextAnswer();

    LineSink sink_;
    QStringList answers_;
    Services services_;
};

} // namespace tomeric
