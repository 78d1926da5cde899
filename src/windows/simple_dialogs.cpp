#include "windows/simple_dialogs.h"

#include "actions/headless_services.h"
#include "windows/file_boxes.h"
#include "windows/find_commands.h"
#include "windows/input_box_form.h"
#include "windows/query_form.h"

#include <QWidget>

namespace tomeric {

// Pauses the page timers for as long as a dialog is up; nested dialogs
// (the wrong-password alert over the password dialog) pause once.
class TSimpleDialogs::TimerPause {
public:
    explicit TimerPause(TSimpleDialogs& owner) : owner_(owner)
    {
        if (owner_.openDialogs_++ == 0 && owner_.pauseTimers_)
            owner_.pauseTimers_(true);
    }
    ~TimerPause()
    {
        if (--owner_.openDialogs_ == 0 && owner_.pauseTimers_)
            owner_.pauseTimers_(false);
    }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    TSimpleDialogs& owner_;
};

TSimpleDialogs::TSimpleDialogs(QWidget* parent) : parent_(parent) {}

TSimpleDialogs::~TSimpleDialogs() = default;

void TSimpleDialogs::SetLanguageTexts(const TPublicationSettings* settings)
{
    settings_ = settings;
    look_ = settings ? TDialogLook(*settings) : TDialogLook();
}

QWidget* TSimpleDialogs::Owner() const
{
    return parent_.data();
}

void TSimpleDialogs::Emit(const QString& name, const QStringList& texts)
{
    sink_(EventLine(QStringLiteral("DIALOG"), name, texts));
}

std::optional<QString> TSimpleDialogs::DrivenAnswer(const QString& name, const QStringList& texts)
{
    if (!Driven())
        return std::nullopt;
    Emit(name, texts);
    return NextAnswer();
}

void TSimpleDialogs::RunModal(const std::function<void(QWidget* owner)>& show)
{
    TimerPause pause(*this);
    show(DialogOwner(Owner()));
}

std::optional<QString> TSimpleDialogs::NextAnswer()
{
    if (answers_.isEmpty())
        return std::nullopt;
    return answers_.takeFirst();
}

int TSimpleDialogs::ShowQuery(const QString& title, const QString& message, const QString& buttons,
                              const QString& image)
{
    if (Driven()) {
        Emit(QStringLiteral("MessageBox"), {title, message, buttons});
        const auto answer = NextAnswer();
        const int chosen = answer ? answer->trimmed().toInt() : 0;
        const int count = int(QueryButtonCaptions(buttons).size());
        return chosen >= 1 && chosen <= count ? chosen : 0;
    }
    TimerPause pause(*this);
    return tomeric::ShowQuery(Owner(), look_, title, message, buttons, image);
}

std::optional<QString> TSimpleDialogs::ShowInput(const QString& title, const QString& prompt, const QString& text,
                                                 const QString& cancelCaption, const QString& okCaption)
{
    if (Driven()) {
        Emit(QStringLiteral("InputBox"), {title, prompt, text});
        return NextAnswer();
    }
    TimerPause pause(*this);
    TInputBoxForm form(DialogOwner(Owner()), look_, title, prompt, text, cancelCaption, okCaption);
    return form.Run();
}

void TSimpleDialogs::AlertBox(const QString& title, const QString& message)
{
    if (Driven()) {
        Emit(QStringLiteral("AlertBox"), {title, message});
        return;
    }
    ShowQuery(title, message, Word(ltOk), look_.AlertImage());
}

int TSimpleDialogs::MessageBox(const QString& title, const QString& message, const QString& buttons)
{
    return ShowQuery(title, message, buttons, look_.MessageImage());
}

std::optional<QString> TSimpleDialogs::InputBox(const QString& title, const QString& prompt,
                                                const QString& current)
{
    return ShowInput(title, prompt, current, Word(ltCancel), Word(ltOk));
}

std::optional<QString> TSimpleDialogs::FileOpenBox(const QString& title, const QString& filter,
                                                   const QString& initialFolder, const QString& options)
{
    if (Driven()) {
        Emit(QStringLiteral("FileOpenBox"), {title, filter, initialFolder, options});
        return NextAnswer();
    }
    TimerPause pause(*this);
    return RunFileOpenBox(DialogOwner(Owner()), title, filter, initialFolder, options);
}

std::optional<QString> TSimpleDialogs::FileSaveBox(const QString& title, const QString& filter,
                                                   const QString& defaultName)
{
    if (Driven()) {
        Emit(QStringLiteral("FileSaveBox"), {title, filter, defaultName});
        return NextAnswer();
    }
    TimerPause pause(*this);
    return RunFileSaveBox(DialogOwner(Owner()), title, filter, defaultName);
}

std::optional<QString> TSimpleDialogs::FolderBox(const QString& title, const QString& startFolder)
{
    if (Driven()) {
        Emit(QStringLiteral("FolderBox"), {title, startFolder});
        return NextAnswer();
    }
    TimerPause pause(*this);
    return RunFolderBox(DialogOwner(Owner()), title, startFolder);
}

void TSimpleDialogs::ShowError(const QString& text)
{
    if (Driven()) {
        sink_(QStringLiteral("ERROR ") + QuoteForLine(text));
        return;
    }
    ShowQuery(Word(ltErrorTitle), text, Word(ltOk), look_.AlertImage());
}

int TSimpleDialogs::AskPassword(const QString& expected)
{
    const QString title = Word(ltPwordTitle);
    auto alert = [this, title] { AlertBox(title, Word(ltPwordError)); };
    if (!Driven()) {
        TimerPause pause(*this);
        TPasswordEntryForm form(DialogOwner(Owner()), look_, expected, alert);
        return form.Run();
    }
    Emit(QStringLiteral("Password"), {title, Word(ltPwordMsg), Word(ltPwordPrompt)});
    const std::optional<QString> typed = NextAnswer();
    // OK stays disabled while nothing is typed: an empty answer cancels.
    if (!typed || typed->isEmpty())
        return kPasswordCancelled;
    if (PasswordMatches(*typed, expected))
        return kPasswordMatched;
    alert();
    return kPasswordWrong;
}

// ---- Find, FindFirst, FindNext, HelpTopic ---------------------------------------------

bool TSimpleDialogs::HandlesCommand(const QString& command)
{
    static const char* const kCommands[] = {"Find", "FindFirst", "FindNext", "HelpTopic"};
    for (const char* name : kCommands)
        if (command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ServiceReply TSimpleDialogs::PerformCommand(const ServiceCall& call, const TFindPlayerParts& parts)
{
    const QString& command = call.Command;
    if (command.compare(QLatin1String("HelpTopic"), Qt::CaseInsensitive) == 0) {
        const QString helpFile = settings_ ? settings_->helpFile : QString();
        if (Driven()) {
            // The help viewer is the desktop's: a driven run only says what
            // it would open.
            const QString path = HelpFilePath(helpFile);
            if (!path.isEmpty())
                sink_(QStringLiteral("CALL Help ") + QuoteForLine(path) + QLatin1Char(' ') +
                      QuoteForLine(call.Params.value(0)));
            return {};
        }
        if (!find_)
            find_ = std::make_unique<TFindCommands>(*this, Owner());
        return find_->HelpTopic(call.Params.value(0), helpFile);
    }
    if (command.compare(QLatin1String("FindNext"), Qt::CaseInsensitive) == 0) {
        if (!find_ || !find_->Form())
            return {}; // FindNext before any Find does nothing
        find_->SetParts(parts);
        return find_->FindNext();
    }
    if (!find_)
        find_ = std::make_unique<TFindCommands>(*this, Owner());
    find_->SetParts(parts);
    if (command.compare(QLatin1String("FindFirst"), Qt::CaseInsensitive) == 0)
        return find_->FindFirst(call.Params.value(0), call.Params.value(1));
    return find_->Find(call.Params.value(0));
}

void TSimpleDialogs::CloseFindWindow()
{
    if (find_)
        find_->Close();
}

} // namespace tomeric
