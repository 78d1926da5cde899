#pragma once
// Plain dialogs for the player: Qt's message, input, file and folder boxes
// behind the DialogService a script talks to, and the password question of
// the start-up and the close.
//
// When the player is driven by a script (qxplay5 --drive), no dialog
// appears: each prints one line on standard output in the format of the
// headless runner (actions/headless_services.h) and takes its answer from a
// queue that the driver's "answer" verb fills:
//
//   DIALOG MessageBox "title" "message" "buttons"    answer: button number
//   DIALOG Password "title" "message" "prompt"       answer: the password typed
//
// With no answer queued a dialog is cancelled.

#include "actions/services.h"
#include "publication/publication_model.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tomeric {

// Results of AskPassword, as the password dialog closes.
inline constexpr int kPasswordMatched = 6;
inline constexpr int kPasswordWrong = 7;
inline constexpr int kPasswordCancelled = 2;

class TSimpleDialogs final : public DialogService {
public:
    using LineSink = std::function<void(const QString& line)>;

    // `parent` owns the dialogs on screen (may be null).
    explicit TSimpleDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    // Driven mode: lines instead of windows, answers from the queue.
    void DriveWith(LineSink sink) { sink_ = std::move(sink); }
    bool Driven() const { return bool(sink_); }
    void QueueAnswer(const QString& answer) { answers_.append(answer); }

    // The publication's words for the buttons and the password dialog
    // (L_ keys); empty texts fall back to the built-in words.
    void SetLanguageTexts(const TPublicationSettings* settings) { settings_ = settings; }
    void SetParent(QWidget* parent) { parent_ = parent; }

    // Asks for `expected` (compared ignoring case): 6 matched, 7 wrong (after
    // telling the user), 2 cancelled.
    int AskPassword(const QString& expected);

    // A question with "|"-separated buttons under an application title:
    // the number of the button chosen (1 = first), 0 for none.
    int ShowQuery(const QString& title, const QString& message, const QString& buttons);

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

    // "|" in a dialog text is a line break.
    static QString DisplayText(const QString& text);
    // A Windows filter ("Texts|*.txt|All|*.*") as Qt writes it.
    static QString QtFilter(const QString& filter);

private:
    QString Word(TLanguageText which, const QString& builtIn) const;
    void Emit(const QString& name, const QStringList& texts);
    std::optional<QString> NextAnswer();

    QWidget* parent_ = nullptr;
    LineSink sink_;
    QStringList answers_;
    const TPublicationSettings* settings_ = nullptr;
};

} // namespace tomeric
