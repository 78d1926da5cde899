#include "windows/find_commands.h"

#include "actions/action_eval.h"
#include "actions/page_navigation.h"
#include "objects/object_tree.h"
#include "package/package.h"
#include "pages/page_stack.h"
#include "platform/cp1252.h"
#include "publication/publication_model.h"
#include "vars/variables.h"
#include "windows/find_adapters.h"
#include "windows/find_form.h"
#include "windows/simple_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace tomeric {

namespace {

constexpr int kFlashCount = 8;
constexpr int kFlashIntervalMs = 50;
constexpr int kMaxTextFileBytes = 64 << 20;

// The action scripts of an object record, in the fixed order of its events.
template <class P>
void CollectScripts(const P& p, QStringList& out)
{
    if constexpr (requires { p.clickAction; })
        out << p.clickAction;
    if constexpr (requires { p.rClickAction; })
        out << p.rClickAction;
    if constexpr (requires { p.dblClickAction; })
        out << p.dblClickAction;
    if constexpr (requires { p.changeAction; })
        out << p.changeAction;
    if constexpr (requires { p.changingAction; })
        out << p.changingAction;
    if constexpr (requires { p.timerAction; })
        out << p.timerAction;
    if constexpr (requires { p.playAction; })
        out << p.playAction;
    if constexpr (requires { p.loadedAction; })
        out << p.loadedAction;
    if constexpr (requires { p.doneAction; })
        out << p.doneAction;
    if constexpr (requires { p.cancelAction; })
        out << p.cancelAction;
    if constexpr (requires { p.resizeAction; })
        out << p.resizeAction;
    if constexpr (requires { p.beforeAction; })
        out << p.beforeAction << p.afterAction << p.downloadBeginAction << p.downloadCompleteAction;
    if constexpr (requires { p.dropAction; })
        out << p.dropAction;
    if constexpr (requires { p.enterAction; })
        out << p.enterAction << p.exitAction;
}

QStringList RecordScripts(const TObjectRecord& record)
{
    QStringList scripts;
    std::visit([&](const auto& props) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(props)>, std::monostate>)
            CollectScripts(props, scripts);
    }, record.props);
    scripts.removeAll(QString());
    return scripts;
}

// The caption a record shows before its object is built.
QString RecordCaption(const TObjectRecord& record)
{
    if (const auto* button = record.As<TPushButtonProps>())
        return button->text;
    if (const auto* box = record.As<TCheckBoxProps>())
        return box->text;
    if (const auto* edit = record.As<TEditFieldProps>())
        return edit->text;
    return QString();
}

// Families whose visible text is a plain caption or field text; texts,
// articles and lists show theirs through TFindSearchable.
bool HasPlainCaption(int objType)
{
    return objType == otPushBtn || objType == otCheckBox || objType == otRadioBtn || objType == otEditField;
}

// The built page objects under a page background, by name (upper case).
void CollectLiveObjects(QWidget* root, std::map<QString, TTomericObj*>& out)
{
    if (!root)
        return;
    ForEachObject(root, [&out](TTomericObj& object) {
        out.emplace(object.Name().toUpper(), &object);
        return true;
    });
}

void AppendObjects(const std::vector<TObjectRecord>& records, const std::map<QString, TTomericObj*>& live,
                   std::vector<TFindObject>& out)
{
    for (const TObjectRecord& record : records) {
        const auto found = live.find(record.name.toUpper());
        TTomericObj* object = found != live.end() ? found->second : nullptr;
        const bool visible = object ? object->VisibleState() : record.visible;
        if (!visible)
            continue;
        TFindObject entry;
        entry.name = record.name;
        entry.scripts = RecordScripts(record);
        if (object) {
            entry.widget = object;
            entry.searchable = dynamic_cast<TFindSearchable*>(static_cast<QWidget*>(object));
            if (!entry.searchable) {
                const TFindAdapter adapter = MakeFindAdapter(*object);
                entry.adapter = adapter.searchable;
                entry.searchable = adapter.searchable.get();
                entry.flash = adapter.flash;
            }
            if (!entry.searchable && HasPlainCaption(record.objType))
                entry.caption = object->FamilyInfo(QStringLiteral("CAPTION")).value_or(object->Txt());
        } else {
            entry.caption = RecordCaption(record);
        }
        out.push_back(entry);
        AppendObjects(record.members, live, out);
    }
}

// A text file searched without a window.
class TLoadedTextFile final : public TFindSearchable {
public:
    explicit TLoadedTextFile(QString text) : text_(std::move(text)) {}
    std::optional<TFindMatch> FindText(const QString& text, int from) const override
    {
        return FindInPlainText(text_, text, from);
    }
    void ShowFindMatch(const TFindMatch&) override {}

private:
    QString text_;
};

// Paints its rectangle inverted over what lies below.
class TInvertOverlay : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(rect(), Qt::white);
    }
};

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

// ---- help ---------------------------------------------------------------------------

QString HelpFilePath(const QString& helpFile)
{
    if (helpFile.trimmed().isEmpty())
        return QString();
    if (helpFile.contains(QLatin1Char('[')))
        return SubstituteVars(helpFile);
    const TResolvedFile resolved = ResolveFile(helpFile);
    return resolved.ok ? resolved.path : QString();
}

QString HelpAddress(const QString& path, const QString& topic)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!topic.isEmpty() && (suffix == u"htm" || suffix == u"html"))
        url.setFragment(topic);
    return url.toString();
}

// ---- the player's pages ---------------------------------------------------------------

int TPlayerFindPages::CurrentPage() const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    return pages ? pages->PageIndex() : -1;
}

int TPlayerFindPages::LastPage() const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    return pages ? pages->Count() - 1 : 0;
}

int TPlayerFindPages::FindPage(const QString& name) const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    return pages ? pages->FindPage(name) : -1;
}

bool TPlayerFindPages::ShowsMasterPage(int page) const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    const TQXPage* shown = pages ? pages->Page(page) : nullptr;
    return shown && shown->ShowMasterPage;
}

std::vector<TFindObject> TPlayerFindPages::Objects(int page)
{
    std::vector<TFindObject> objects;
    const TPublication* publication = parts_.publication ? parts_.publication() : nullptr;
    if (!publication || page < 0 || page >= int(publication->pages.size()))
        return objects;
    std::map<QString, TTomericObj*> live;
    if (TPageStack* stack = parts_.stack ? parts_.stack() : nullptr)
        if (TQXPageWidget* widget = stack->EnsurePage(page))
            CollectLiveObjects(widget->Background(), live);
    AppendObjects(publication->pages[size_t(page)].objects, live, objects);
    return objects;
}

QString TPlayerFindPages::EnterAction(int page) const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    const TQXPage* p = pages ? pages->Page(page) : nullptr;
    return p ? p->EnterAction : QString();
}

QString TPlayerFindPages::ExitAction(int page) const
{
    const TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr;
    const TQXPage* p = pages ? pages->Page(page) : nullptr;
    return p ? p->ExitAction : QString();
}

QString TPlayerFindPages::Substitute(const QString& text) const
{
    return SubstituteVars(text);
}

TFindSearchable* TPlayerFindPages::OpenTextWindow(const QString& file)
{
    // Text windows belong to the floating windows; a window that implements
    // TFindSearchable and carries the file as its "TextWindowFile" property
    // is searched in place.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QString shown = window->property("TextWindowFile").toString();
        if (!shown.isEmpty() && shown.compare(file, Qt::CaseInsensitive) == 0 && window->isVisible())
            if (auto* searchable = dynamic_cast<TFindSearchable*>(window))
                return searchable;
    }
    return nullptr;
}

std::unique_ptr<TFindSearchable> TPlayerFindPages::LoadTextFile(const QString& file)
{
    QString path = file;
    if (const TResolvedFile resolved = ResolveFile(file); resolved.ok)
        path = resolved.path;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly) || source.size() > kMaxTextFileBytes)
        return nullptr;
    return std::make_unique<TLoadedTextFile>(DecodeWindows1252(source.readAll()));
}

void TPlayerFindPages::GotoPage(int page)
{
    if (TQXPageList* pages = parts_.pages ? parts_.pages() : nullptr)
        if (pages->PageIndex() != page)
            pages->GotoPageIndex(page, true);
}

void TPlayerFindPages::RunLine(const QString& line)
{
    if (parts_.services)
        RunActionText(*parts_.services, line, QStringLiteral("Find"), 0, skGoSub);
}

// ---- the commands ---------------------------------------------------------------------

TFindCommands::TFindCommands(TSimpleDialogs& dialogs, QWidget* owner)
    : dialogs_(dialogs), owner_(owner)
{
    auto pages = std::make_unique<TPlayerFindPages>(TFindPlayerParts{});
    pages_ = pages.get();
    ownedPages_ = std::move(pages);
    search_ = std::make_unique<TFindSearch>(*ownedPages_);
}

TFindCommands::~TFindCommands()
{
    Close();
}

void TFindCommands::SetPages(std::unique_ptr<TFindPages> pages)
{
    pages_ = nullptr;
    ownedPages_ = std::move(pages);
    search_ = std::make_unique<TFindSearch>(*ownedPages_);
}

TFindForm& TFindCommands::EnsureForm()
{
    if (!form_) {
        form_ = new TFindForm(owner_, dialogs_.Look());
        QObject::connect(form_, &TFindForm::FindFirstClicked, form_, [this] { OnFindFirst(); });
        QObject::connect(form_, &TFindForm::FindNextClicked, form_, [this] { OnFindNext(); });
        // Close hides the window; CloseWindow "FIND" frees it.
    }
    return *form_;
}

ServiceReply TFindCommands::Find(const QString& scope)
{
    TFindForm& form = EnsureForm();
    scope_ = scope;
    form.SetSearchText(lastText_);
    form.show();
    form.raise();
    return {};
}

ServiceReply TFindCommands::FindFirst(const QString& text, const QString& scope)
{
    Find(scope);
    form_->SetSearchText(text);
    lastText_ = form_->SearchText();
    if (lastText_.isEmpty())
        return {}; // nothing to look for: the window waits for a text
    return Show(search_->FindFirst(lastText_, scope_));
}

ServiceReply TFindCommands::FindNext()
{
    if (!form_ || form_->SearchText().isEmpty())
        return {};
    // With no search under way, Find Next starts from the first page.
    if (!search_->Searching())
        return Show(search_->FindFirst(form_->SearchText(), scope_));
    return Show(search_->FindNext());
}

void TFindCommands::OnFindFirst()
{
    lastText_ = form_->SearchText();
    if (lastText_.isEmpty())
        return;
    const ServiceReply reply = Show(search_->FindFirst(lastText_, scope_));
    if (reply.ActionError != 0)
        dialogs_.ShowError(ActionErrorMessage(reply.ActionError, reply.ErrorText, 0));
}

void TFindCommands::OnFindNext()
{
    const ServiceReply reply = Show(search_->FindNext());
    if (reply.ActionError != 0)
        dialogs_.ShowError(ActionErrorMessage(reply.ActionError, reply.ErrorText, 0));
}

ServiceReply TFindCommands::Show(const TFindResult& result)
{
    ServiceReply reply;
    last_ = result;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    switch (result.kind) {
    case TFindResult::fkObject:
        ShowObjectMatch(result);
        break;
    case TFindResult::fkTextFile:
        ShowFileMatch(result);
        break;
    case TFindResult::fkError:
        reply.ActionError = aeNoSuchPage;
        reply.ErrorText = result.errorName;
        break;
    case TFindResult::fkNone:
        break;
    }
    QApplication::restoreOverrideCursor();
    if (result.kind == TFindResult::fkNone)
        dialogs_.AlertBox(dialogs_.Look().Word(ltFindTitle), dialogs_.Look().Word(ltFindError));
    if (form_) {
        form_->SetSearching(search_->Searching());
        form_->raise();
    }
    return reply;
}

void TFindCommands::ShowObjectMatch(const TFindResult& result)
{
    ownedPages_->GotoPage(result.page);
    QWidget* widget = result.object.widget;
    if (!widget)
        return;
    if (result.object.searchable)
        result.object.searchable->ShowFindMatch(result.match);
    if (!result.object.searchable || result.object.flash)
        Flash(widget);
    if (form_ && widget->isVisible())
        form_->MoveOff(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

void TFindCommands::ShowFileMatch(const TFindResult& result)
{
    ownedPages_->GotoPage(result.page);
    const bool searchedInWindow = ownedPages_->OpenTextWindow(result.file) != nullptr;
    ownedPages_->RunLine(result.commandLine);
    TFindSearchable* window = ownedPages_->OpenTextWindow(result.file);
    if (!window)
        return;
    if (searchedInWindow) {
        window->ShowFindMatch(result.match);
        MoveOffWindow(window);
        return;
    }
    // The file was searched unseen as plain text; its window shows it laid
    // out (caret markup joins lines), so the same occurrence is found again
    // in the window's own text, and Find Next goes on from there.
    const int occurrence = OccurrenceBefore(result);
    std::optional<TFindMatch> shown;
    for (int i = 0, from = 0; i <= occurrence; ++i, from = shown->next)
        if (!(shown = window->FindText(search_->Text(), from)))
            return;
    window->ShowFindMatch(*shown);
    search_->ContinueFrom(shown->next);
    MoveOffWindow(window);
}

void TFindCommands::MoveOffWindow(TFindSearchable* window)
{
    // The Find window does not stay over the text window it found in.
    auto* widget = dynamic_cast<QWidget*>(window);
    if (form_ && widget && widget->isVisible())
        form_->MoveOff(widget->frameGeometry());
}

int TFindCommands::OccurrenceBefore(const TFindResult& result)
{
    const std::unique_ptr<TFindSearchable> file = ownedPages_->LoadTextFile(result.file);
    int count = 0;
    for (auto match = file ? file->FindText(search_->Text(), 0) : std::nullopt;
         match && match->position < result.match.position; match = file->FindText(search_->Text(), match->next))
        ++count;
    return count;
}

void TFindCommands::Flash(QWidget* widget)
{
    QWidget* parent = widget->parentWidget();
    if (!parent || !widget->isVisible())
        return;
    QPointer<TInvertOverlay> overlay = new TInvertOverlay(parent);
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setGeometry(widget->geometry());
    for (int i = 0; i < kFlashCount && overlay; ++i) {
        overlay->setVisible(i % 2 == 0);
        overlay->raise();
        Wait(kFlashIntervalMs);
    }
    delete overlay.data();
}

ServiceReply TFindCommands::HelpTopic(const QString& topic, const QString& helpFile)
{
    const QString path = HelpFilePath(helpFile);
    if (path.isEmpty())
        return {}; // a help file that cannot be found opens nothing
    QDesktopServices::openUrl(QUrl(HelpAddress(path, topic)));
    return {};
}

void TFindCommands::Close()
{
    search_->Reset();
    if (form_) {
        TFindForm* form = form_;
        form_ = nullptr;
        form->hide();
        form->deleteLater();
    }
}

} // namespace tomeric
