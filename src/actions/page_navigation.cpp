#include "actions/page_navigation.h"

#include "actions/action_eval.h"
#include "actions/command_context.h"
#include "actions/core_commands.h"
#include "actions/headless_services.h"
#include "publication/publication_model.h"
#include "vars/variables.h"

#include <utility>

namespace tomeric {

namespace {

const QString kPageChangeName = QStringLiteral("[PageChangeName]");

// The slide-show timer as the page list hands it to the show: a tick comes
// from the timer, not from a script, so its errors go to [LastError] even
// when it fires while a navigation command waits in a nested script.
class OutsideScriptTimer final : public SlideShowTimer {
public:
    OutsideScriptTimer(TQXPageList& list, std::unique_ptr<SlideShowTimer> inner)
        : list_(list), inner_(std::move(inner))
    {
    }
    void Start(int intervalMs, std::function<void()> tick) override
    {
        if (!inner_)
            return;
        inner_->Start(intervalMs, [this, tick = std::move(tick)] {
            TQXPageList::ErrorScope outside(list_, nullptr);
            tick();
        });
    }
    void Stop() override
    {
        if (inner_)
            inner_->Stop();
    }

private:
    TQXPageList& list_;
    std::unique_ptr<SlideShowTimer> inner_;
};

TQXPage PageFromRecord(const TPageRecord& record)
{
    TQXPage page;
    page.Name = record.name;
    page.EnterAction = record.background.enterAction;
    page.ExitAction = record.background.exitAction;
    page.TransitionName = record.background.transitionName;
    page.TransitionOptions = record.background.transitionOptions;
    page.ShowMasterPage = record.background.showMasterPage;
    return page;
}

// Runs `body` with the history switched off, switching it on again however
// the body ends.
class HistoryPause {
public:
    explicit HistoryPause(bool& enabled) : enabled_(enabled) { enabled_ = false; }
    ~HistoryPause() { enabled_ = true; }
    HistoryPause(const HistoryPause&) = delete;
    HistoryPause& operator=(const HistoryPause&) = delete;

private:
    bool& enabled_;
};

} // namespace

// ---- construction and pages ------------------------------------------------

TQXPageList::TQXPageList(Services& services, PageView* view)
    : services_(services), view_(view), pages_(1)
{
    SetSlideShowTimer(MakeQtSlideShowTimer());
}

TQXPageList::~TQXPageList() = default;

void TQXPageList::Load(const TPublication& publication)
{
    slideShow_->Discard();
    pages_.clear();
    for (const TPageRecord& record : publication.pages)
        pages_.push_back(PageFromRecord(record));
    if (pages_.empty())
        pages_.emplace_back();
    pages_[0].Name.clear();
    PageChangeAction = publication.settings.pageChangeAction;
    StartupAction = publication.settings.startupAction;
    pageIndex_ = nextPageIndex_ = Count() > 1 ? 1 : 0;
    history_.clear();
    historyEnabled_ = true;
    startupDone_ = false;
    shuttingDown_ = false;
    changing_ = false;
}

void TQXPageList::AddPage(const TQXPage& page, int index)
{
    if (index < 0 || index > Count())
        throw EInvalidPageIndex();
    pages_.insert(pages_.begin() + index, page);
    if (pageIndex_ >= index) {
        ++pageIndex_;
        if (!changing_)
            nextPageIndex_ = pageIndex_;
    }
}

void TQXPageList::Clear()
{
    slideShow_->Discard();
    pages_.assign(1, TQXPage());
    pageIndex_ = nextPageIndex_ = 0;
    history_.clear();
}

const TQXPage* TQXPageList::Page(int index) const
{
    return IsValid(index) ? &pages_[static_cast<size_t>(index)] : nullptr;
}

int TQXPageList::FindPage(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (pages_[static_cast<size_t>(i)].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TQXPageList::PageName(int index) const
{
    const TQXPage* page = Page(index);
    return page ? page->Name : QString();
}

// ---- the page change ---------------------------------------------------------

void TQXPageList::SetPageIndex(int v)
{
    if (!IsValid(v))
        throw EInvalidPageIndex();
    if (v == pageIndex_)
        return;
    // A change asked for while another one is being made (an object
    // answering 1227 or 1228) is dropped; the running change goes on.
    if (changing_)
        return;
    changing_ = true;
    nextPageIndex_ = v;
    const int old = pageIndex_;
    const bool notify = view_ != nullptr && !loading_;
    if (notify) {
        if (IsValid(old))
            view_->PageHiding(old);
        view_->PageEntering(v);
    }
    if (view_)
        view_->SwitchPage(IsValid(old) ? old : -1, v);
    pageIndex_ = v;
    if (services_.Debugger && !loading_ && old != v)
        services_.Debugger->Message(0, v);
    if (notify)
        view_->PageChanged(v);
    nextPageIndex_ = pageIndex_;
    changing_ = false;
}

void TQXPageList::Start()
{
    ShowPage(pageIndex_);
}

int TQXPageList::RunPageChangeAction(int target, bool* failed)
{
    const QString targetName = PageName(target);
    SetVariable(kPageChangeName, targetName);
    RunPageScript(QStringLiteral("PAGECHANGEACTION"), PageChangeAction, targetName, afNoPageChange,
                  skPageChange, targetName);
    const QString result = GetVariable(kPageChangeName);
    SetVariable(kPageChangeName, QString());
    if (result.isEmpty())
        return -1;
    const int redirected = FindPage(result);
    if (redirected < 1) {
        ReportError(aeNoSuchPage, result);
        *failed = true;
        return -1;
    }
    return redirected;
}

bool TQXPageList::GotoPageIndex(int target, bool fromAction)
{
    if (fromAction && !PageChangeAction.isEmpty() && !ShuttingDown()) {
        bool failed = false;
        target = RunPageChangeAction(target, &failed);
        if (target < 0)
            return !failed;
    }
    if (!IsValid(target))
        return true;
    const TQXPage* current = Page(pageIndex_);
    if (fromAction && current && !current->ExitAction.isEmpty()) {
        const QString name = current->Name;
        RunPageScript(QStringLiteral("PGEXITACTION"), current->ExitAction, name, afNoPageChange,
                      skPageExit, name);
    }
    ShowPage(target);
    return true;
}

void TQXPageList::AppendHistory()
{
    if (!historyEnabled_)
        return;
    while (history_.size() >= kHistoryLimit)
        history_.removeFirst();
    history_.append(QString::number(pageIndex_));
}

void TQXPageList::ShowPage(int index)
{
    if (!IsValid(index))
        return;
    const int from = pageIndex_;
    // Copies: the page scripts below may load another publication.
    const TQXPage page = pages_[static_cast<size_t>(index)];
    if (index != from && notifyPlugIns_)
        notifyPlugIns_(kPlugInPageChanging, index);
    if (view_)
        view_->BeginPageChange(from, index, !page.TransitionName.isEmpty());
    const int direction = index - from;
    AppendHistory();
    SetPageIndex(index);
    if (view_) {
        view_->ShowPage(index, page.TransitionName, page.TransitionOptions, direction);
        view_->PageShown(index);
        view_->FocusFirst();
        view_->EndPageChange(index);
    }
    Trace(QStringLiteral("PAGE %1 %2").arg(index).arg(QuoteForLine(page.Name)));
    if (!StartupAction.isEmpty() && !startupDone_) {
        startupDone_ = true;
        RunPageScript(QStringLiteral("STARTUPACTION"), StartupAction, QStringLiteral("STARTUPACTION"), 0,
                      skStartup, QString());
    }
    if (pageIndex_ == index && !page.EnterAction.isEmpty())
        RunPageScript(QStringLiteral("PGENTERACTION"), page.EnterAction, page.Name, 0, skPageEnter,
                      page.Name);
    if (services_.Pump)
        services_.Pump->RestartIdleTimer();
}

void TQXPageList::Shutdown()
{
    slideShow_->Stop();
    if (const TQXPage* current = Page(pageIndex_); current && !current->ExitAction.isEmpty()) {
        const QString name = current->Name;
        RunPageScript(QStringLiteral("PGEXITACTION"), current->ExitAction, name, afNoPageChange,
                      skPageExit, name);
    }
    shuttingDown_ = true;
}

bool TQXPageList::ShuttingDown() const
{
    return shuttingDown_ || (services_.Pump && services_.Pump->ShuttingDown());
}

void TQXPageList::RunPageScript(const QString& traceName, const QString& text, const QString& sourceName,
                                uint8_t flags, uint8_t kind, const QString& traceArgument)
{
    if (text.isEmpty() || shuttingDown_)
        return;
    Trace(traceArgument.isNull() ? QStringLiteral("RUN ") + traceName
                                 : QStringLiteral("RUN %1 %2").arg(traceName, QuoteForLine(traceArgument)));
    RunActionText(services_, text, sourceName, flags, kind);
}

// ---- errors and trace ------------------------------------------------------------

TQXPageList::ErrorScope::ErrorScope(TQXPageList& list, ErrorSink sink)
    : list_(list), saved_(std::exchange(list.errorSink_, std::move(sink)))
{
}

TQXPageList::ErrorScope::~ErrorScope()
{
    list_.errorSink_ = std::move(saved_);
}

void TQXPageList::Navigate(const ErrorSink& sink, const std::function<void()>& change)
{
    ErrorScope scope(*this, sink);
    change();
}

void TQXPageList::ReportError(int code, const QString& text)
{
    if (errorSink_)
        errorSink_(code, text);
    else
        SetLastError(ActionErrorMessage(code, text, 0));
}

void TQXPageList::Trace(const QString& line) const
{
    if (trace_)
        trace_(line);
}

void TQXPageList::TraceCall(const QString& command, const QStringList& params) const
{
    if (!trace_)
        return;
    QString line = QStringLiteral("CALL ") + command;
    for (const QString& param : params)
        line += QLatin1Char(' ') + QuoteForLine(param);
    trace_(line);
}

// ---- navigation commands -----------------------------------------------------------

void TQXPageList::GotoIfNavigable(int target)
{
    // Relative and absolute moves never wrap around and never reach the
    // master page; the page already shown is not entered again.
    if (IsNavigable(target) && target != pageIndex_)
        GotoPageIndex(target, true);
}

bool TQXPageList::GotoPage(const QString& name)
{
    TraceCall(QStringLiteral("GotoPage"), {name});
    const int target = FindPage(name);
    if (!IsNavigable(target))
        return false;
    GotoIfNavigable(target);
    return true;
}

bool TQXPageList::GotoPageNum(const QString& number)
{
    TraceCall(QStringLiteral("GotoPageNum"), {number});
    bool ok = false;
    int target = number.trimmed().toInt(&ok);
    if (!ok)
        target = 0;
    if (!IsNavigable(target))
        return false;
    GotoIfNavigable(target);
    return true;
}

void TQXPageList::GotoFirstPage()
{
    TraceCall(QStringLiteral("GotoFirstPage"), {});
    GotoIfNavigable(1);
}

void TQXPageList::GotoLastPage()
{
    TraceCall(QStringLiteral("GotoLastPage"), {});
    GotoIfNavigable(Count() - 1);
}

void TQXPageList::GotoPrevPage()
{
    TraceCall(QStringLiteral("GotoPrevPage"), {});
    GotoIfNavigable(pageIndex_ - 1);
}

void TQXPageList::GotoNextPage()
{
    TraceCall(QStringLiteral("GotoNextPage"), {});
    GotoIfNavigable(pageIndex_ + 1);
}

void TQXPageList::ReturnToPage()
{
    TraceCall(QStringLiteral("ReturnToPage"), {});
    if (history_.isEmpty())
        return;
    HistoryPause pause(historyEnabled_);
    GotoIfNavigable(history_.last().toInt());
    // The entry is used up once its page is shown; a refused or cancelled
    // return leaves it for the next try.
    if (!history_.isEmpty() && history_.last() == QString::number(pageIndex_))
        history_.removeLast();
}

void TQXPageList::StartSlideShow(const QStringList& params)
{
    TraceCall(QStringLiteral("StartSlideShow"), params);
    auto param = [&](int i) { return i < params.size() ? params[i] : QString(); };
    slideShow_->Start(param(0), param(1), param(2), param(3));
}

void TQXPageList::PauseSlideShow()
{
    TraceCall(QStringLiteral("PauseSlideShow"), {});
    slideShow_->Pause();
}

void TQXPageList::StopSlideShow()
{
    TraceCall(QStringLiteral("StopSlideShow"), {});
    slideShow_->Stop();
}

void TQXPageList::SetSlideShowTimer(std::unique_ptr<SlideShowTimer> timer)
{
    if (slideShow_)
        slideShow_->Discard();
    SlideShowPages& pages = *this;
    slideShow_ = std::make_unique<TSlideShow>(pages, std::make_unique<OutsideScriptTimer>(*this, std::move(timer)));
}

// ---- the slide show's pages ---------------------------------------------------------

QStringList TQXPageList::SlidePageNames() const
{
    QStringList names;
    for (int i = 1; i < Count(); ++i)
        names.append(PageName(i));
    return names;
}

bool TQXPageList::ShowSlide(const QString& name)
{
    const int target = FindPage(name);
    if (target < 1) {
        ReportError(aeNoSuchPage, name);
        return false;
    }
    if (target == pageIndex_)
        return true;
    return GotoPageIndex(target, true);
}

void TQXPageList::CallSlideShowSubroutine(const QString& name)
{
    if (shuttingDown_ || Runs().AbortAll)
        return;
    Trace(QStringLiteral("RUN SUBROUTINE ") + QuoteForLine(name));
    const QString text = services_.Publication ? services_.Publication->SubroutineText() : QString();
    TActionEval subroutine(services_, text, 0, skGoSub, dtScript, name);
    const int labelLine = subroutine.FindLabel(name);
    if (labelLine == 0) {
        ReportError(aeNoSuchSubroutine, QString());
        return;
    }
    subroutine.RunFrom(labelLine);
}

} // namespace tomeric
