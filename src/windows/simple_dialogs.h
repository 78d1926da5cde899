#pragma once
// The player's dialogs behind the DialogService a script talks to: the
// query dialog (AlertBox, MessageBox, the error report, Exit), the input
// dialog, the password question of the start-up and the close, the file and
// folder boxes, and the Find window with HelpTopic (find_commands.h). Every
// dialog takes the publication's dialog font and language texts.
//
// When the player is driven by a script (qxplay5 --drive), no dialog
// appears: each prints one line on standard output in the format of the
// headless runner (actions/headless_services.h) and takes its answer from a
// queue that the driver's "answer" verb fills:
//
//   DIALOG AlertBox "title" "message"
//   DIALOG MessageBox "title" "message" "buttons"    answer: button number
//   DIALOG InputBox "title" "prompt" "current"       answer: the text
//   DIALOG FileOpenBox "title" "filter" "folder" "options"
//   DIALOG FileSaveBox "title" "filter" "default"
//   DIALOG FolderBox "title" "start folder"          answer: the path
//   DIALOG Password "title" "message" "prompt"       answer: the password typed
//   DIALOG Print "document title"                    answer: OK, the copies, or Cancel
//   ERROR "text"                                     the error report
//
// With no answer queued a dialog is cancelled.
//
// While a dialog is up the page timers are paused (SetTimerPause).

#include "actions/services.h"
#include "publication/publication_model.h"
#include "windows/dialog_look.h"
#include "windows/password_form.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace tomeric {

class TFindCommands;
struct TFindPlayerParts;

class TSimpleDialogs final : public DialogService {
public:
    using LineSink = std::function<void(const QString& line)>;

    // `parent` owns the dialogs on screen (may be null).
    explicit TSimpleDialogs(QWidget* parent = nullptr);
    ~TSimpleDialogs() override;

    // Driven mode: lines instead of windows, answers from the queue.
    void DriveWith(LineSink sink) { sink_ = std::move(sink); }
    bool Driven() const { return bool(sink_); }
    void QueueAnswer(const QString& answer) { answers_.append(answer); }
    // The next queued answer, taken (a pop-up menu answered at once).
    std::optional<QString> TakeQueuedAnswer() { return NextAnswer(); }

    // The publication's dialog font, words (L_ keys) and dialog pictures;
    // null: the built-in look. The settings must outlive the dialogs.
    void SetLanguageTexts(const TPublicationSettings* settings);
    void SetParent(QWidget* parent) { parent_ = parent; }
    const TDialogLook& Look() const { return look_; }

    // Called with true when the first dialog opens and false when the last
    // one closes: the page timers stop meanwhile (OM_TIMERS "0"/"1").
    void SetTimerPause(std::function<void(bool pause)> pause) { pauseTimers_ = std::move(pause); }

    // Asks for `expected` (compared ignoring case): 6 matched, 7 wrong (after
    // telling the user), 2 cancelled.
    int AskPassword(const QString& expected);

    // The query dialog: "|"-separated buttons, the picture `image` (empty or
    // unreadable: the built-in icon). The number of the button chosen (1 =
    // first), 0 for none.
    int ShowQuery(const QString& title, const QString& message, const QString& buttons,
                  const QString& image = QString());

    // The input dialog: the text typed, nothing on Cancel.
    std::optional<QString> ShowInput(const QString& title, const QString& prompt, const QString& text,
                                     const QString& cancelCaption, const QString& okCaption);

    // DialogService
    void AlertBox(const QString& title, const QString& message) override;
    int MessageBox(const QString& title, const QString& message, const QString& buttons) override;
    std::optional<QString> InputBox(const QString& title, const QString& prompt,
                                    const QString& current) override;
    std::optional<QString> FileOpenBox(const QString& title, const QString& filter,
                                       const QString& initialFolder, const QString& options) override;
    std::optional<QString> FileSaveBox(const QString& title, const QString& filter,
                                       const QString& defaultName) override;
    std::optional<QString> FolderBox(const QString& title, const QString& startFolder) override;
    void ShowError(const QString& text) override;

    // ---- the windows-side commands of this area --------------------------------
    // True for Find, FindFirst, FindNext and HelpTopic.
    static bool HandlesCommand(const QString& command);
    // Carries out one of them; `parts` reaches the pages of the player.
    ServiceReply PerformCommand(const ServiceCall& call, const TFindPlayerParts& parts);
    // CloseWindow "FIND" or "": the Find window closes and is freed.
    void CloseFindWindow();
    // The Find window's commands (null before the first Find).
    TFindCommands* Find() const { return find_.get(); }

    // ---- dialogs of other areas (the print dialog) ------------------------------
    // Driven mode: prints the DIALOG line and takes the next queued answer.
    std::optional<QString> DrivenAnswer(const QString& name, const QStringList& texts);
    // Runs a modal dialog with the page timers paused; the dialogs' owner.
    void RunModal(const std::function<void(QWidget* owner)>& show);

    // "|" in a dialog text is a line break.
    static QString DisplayText(const QString& text) { return DialogDisplayText(text); }

private:
    class TimerPause;
    QString Word(TLanguageText which) const { return look_.Word(which); }
    void Emit(const QString& name, const QStringList& texts);
    std::optional<QString> NextAnswer();
    QWidget* Owner() const;

    QPointer<QWidget> parent_;
    LineSink sink_;
    QStringList answers_;
    const TPublicationSettings* settings_ = nullptr;
    TDialogLook look_;
    std::function<void(bool)> pauseTimers_;
    int openDialogs_ = 0;
    std::unique_ptr<TFindCommands> find_;
};

} // namespace tomeric
