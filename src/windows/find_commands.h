#pragma once
// The windows-side commands of the dialogs area: Find, FindFirst, FindNext
// (the Find window and its search over the player's pages) and HelpTopic.
// The Find window is made on first use and lives until CloseWindow "FIND",
// CloseWindow "" or the end of the player.

#include "actions/services.h"
#include "windows/find_form.h"
#include "windows/find_search.h"

#include <QPointer>

#include <functional>
#include <memory>

class QWidget;

namespace tomeric {

class TDialogLook;
class TPageStack;
class TQXPageList;
class TSimpleDialogs;
struct TPublication;

// What the commands reach of the player. The getters are asked each time,
// because the page list and the page container are rebuilt when another
// publication runs in the window.
struct TFindPlayerParts {
    std::function<TQXPageList*()> pages;
    std::function<TPageStack*()> stack;
    std::function<const TPublication*()> publication;
    Services* services = nullptr;
};

// The file HELPFILE names: with "[" its variables replaced and taken as it
// stands; otherwise resolved like every publication file. Empty when there
// is none or it cannot be found.
QString HelpFilePath(const QString& helpFile);
// The address that opens the help file at a topic: an HTML file gets the
// topic as its anchor; other files open at their start.
QString HelpAddress(const QString& path, const QString& topic);

// TFindPages on the running player: pages and page actions from the page
// list, objects from the page widgets (their records where a page object
// is not built), scripts from the object records.
class TPlayerFindPages final : public TFindPages {
public:
    explicit TPlayerFindPages(const TFindPlayerParts& parts) : parts_(parts) {}
    void SetParts(const TFindPlayerParts& parts) { parts_ = parts; }

    int CurrentPage() const override;
    int LastPage() const override;
    int FindPage(const QString& name) const override;
    bool ShowsMasterPage(int page) const override;
    std::vector<TFindObject> Objects(int page) override;
    QString EnterAction(int page) const override;
    QString ExitAction(int page) const override;
    QString Substitute(const QString& text) const override;
    TFindSearchable* OpenTextWindow(const QString& file) override;
    std::unique_ptr<TFindSearchable> LoadTextFile(const QString& file) override;
    void GotoPage(int page) override;
    void RunLine(const QString& line) override;

private:
    TFindPlayerParts parts_;
};

class TFindCommands {
public:
    // `dialogs` shows the not-found alert and the error reports; `owner`
    // owns the Find window.
    TFindCommands(TSimpleDialogs& dialogs, QWidget* owner);
    ~TFindCommands();

    void SetParts(const TFindPlayerParts& parts)
    {
        if (pages_)
            pages_->SetParts(parts);
    }
    // Replaces the player's pages (tests).
    void SetPages(std::unique_ptr<TFindPages> pages);

    ServiceReply Find(const QString& scope);
    ServiceReply FindFirst(const QString& text, const QString& scope);
    ServiceReply FindNext();
    ServiceReply HelpTopic(const QString& topic, const QString& helpFile);
    void Close();

    TFindForm* Form() const { return form_; }
    const TFindSearch& Search() const { return *search_; }
    // The last match shown (kind fkNone when none).
    const TFindResult& LastResult() const { return last_; }

private:
    TFindForm& EnsureForm();
    // Runs the search and shows its outcome; an error comes back for the
    // command to raise (button clicks show it).
    ServiceReply Show(const TFindResult& result);
    void ShowObjectMatch(const TFindResult& result);
    void ShowFileMatch(const TFindResult& result);
    // How many matches come before the result's in its file read unseen.
    int OccurrenceBefore(const TFindResult& result);
    void MoveOffWindow(TFindSearchable* window);
    void Flash(QWidget* widget);
    void OnFindFirst();
    void OnFindNext();

    TSimpleDialogs& dialogs_;
    QPointer<QWidget> owner_;
    TPlayerFindPages* pages_ = nullptr; // the player's, or null after SetPages
    std::unique_ptr<TFindPages> ownedPages_;
    std::unique_ptr<TFindSearch> search_;
    QPointer<TFindForm> form_;
    QString scope_;
    QString lastText_;
    TFindResult last_;
};

} // namespace tomeric
