#pragma once
// TQXPageList: the pages of the running publication as state (page 0 is the
// master page, 1..Count-1 the publication's pages in file order), the
// current page, the page history behind ReturnToPage, the slide show, and
// the exact order of events when the page changes:
//
//   GotoPageIndex(target, fromAction)
//     PAGECHANGEACTION with [PageChangeName] (may cancel or redirect)
//     the current page's PGEXITACTION
//     ShowPage(target)
//       plug-in event 6, history, view: 1227 leaving, 1228 entering, the
//       switch, the transition, 1229 shown, focus (page_view.h)
//       STARTUPACTION (once, at the first entry), then PGENTERACTION
//
// It is the PageService the navigation commands call, so the headless
// runner navigates for real; a window shows the pages through PageView.

#include "actions/page_view.h"
#include "actions/services.h"
#include "actions/slide_show.h"
#include "vars/builtin_vars.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tomeric {

struct TPublication;

// Raised by AddPage and SetPageIndex for an index outside the list.
class EInvalidPageIndex : public std::out_of_range {
public:
    EInvalidPageIndex() : std::out_of_range("Invalid page index.") {}
};

// One page as navigation sees it.
struct TQXPage {
    QString Name;              // the caption; empty for the master page
    QString EnterAction;       // PGENTERACTION=
    QString ExitAction;        // PGEXITACTION=
    QString TransitionName;    // PAGEEFFECT=
    QString TransitionOptions; // EFFECTSPEED=
    bool ShowMasterPage = true;
};

// Plug-in event raised before a page change.
inline constexpr int kPlugInPageChanging = 6;

// The most previous pages ReturnToPage can walk back through.
inline constexpr int kHistoryLimit = 25;

class TQXPageList final : public PageService, private SlideShowPages {
public:
    // `services` runs the page scripts (its Pages should point at this list
    // so that the scripts navigate through it); `view` may be null.
    explicit TQXPageList(Services& services, PageView* view = nullptr);
    ~TQXPageList() override;
    TQXPageList(const TQXPageList&) = delete;
    TQXPageList& operator=(const TQXPageList&) = delete;

    // ---- the pages -------------------------------------------------------

    // Replaces every page with the publication's (page 0 kept as the master
    // page) and takes its PAGECHANGEACTION and STARTUPACTION. The current
    // index becomes 1 when there is a page 1, else 0; history and start-up
    // mark are reset, and a slide show is dropped without its subroutine.
    void Load(const TPublication& publication);
    // Inserts a hidden page at `index` (0..Count); the current index moves
    // up when it is at or after it. Raises EInvalidPageIndex.
    void AddPage(const TQXPage& page, int index);
    // Only the master page remains (empty name).
    void Clear();

    int Count() const { return static_cast<int>(pages_.size()); }
    const TQXPage* Page(int index) const;
    bool IsValid(int index) const { return index >= 0 && index < Count(); }
    // The first page whose name equals `name` ignoring case, -1 when none.
    // The master page's empty name takes part: FindPage("") is 0.
    int FindPage(const QString& name) const;
    QString PageName(int index) const;

    int PageIndex() const { return pageIndex_; }
    // The index being changed to while a change is in progress, else PageIndex.
    int NextPageIndex() const { return nextPageIndex_; }

    QString PageChangeAction;
    QString StartupAction;

    // ---- the main window's operations -------------------------------------

    // While loading, SetPageIndex only stores the index and the view hears
    // nothing but the switch.
    void SetLoading(bool loading) { loading_ = loading; }
    bool Loading() const { return loading_; }
    // Moves to page v without transition or scripts (the start page before
    // the first paint). Raises EInvalidPageIndex for an invalid v; ignored
    // while another change is in progress.
    void SetPageIndex(int v);
    // The first paint: the current page entered with its transition,
    // STARTUPACTION and its enter action.
    void Start();
    // A page change with PAGECHANGEACTION and the exit action when
    // `fromAction`. False when the change was refused by an error (the
    // PAGECHANGEACTION named a missing page); a cancel is not an error.
    bool GotoPageIndex(int target, bool fromAction);
    // The page change itself: history, view, STARTUPACTION, enter action.
    void ShowPage(int index);
    // Closing: the slide show stops, the current page's exit action runs
    // (page changes refused), and no page script runs afterwards.
    void Shutdown();
    bool ShuttingDown() const;
    // STARTUPACTION has run (or is not to run, e.g. a script runner that
    // does not start the publication).
    void SetStartupDone(bool done) { startupDone_ = done; }
    bool StartupDone() const { return startupDone_; }

    // ---- history -----------------------------------------------------------

    // Previous page indexes as decimal texts, oldest first (at most 25).
    const QStringList& History() const { return history_; }
    bool HistoryEnabled() const { return historyEnabled_; }

    // ---- slide show ---------------------------------------------------------

    TSlideShow& SlideShow() { return *slideShow_; }
    // Replaces the slide-show timer (a show in progress is dropped).
    void SetSlideShowTimer(std::unique_ptr<SlideShowTimer> timer);

    // ---- outside parties ----------------------------------------------------

    void SetView(PageView* view) { view_ = view; }
    // Plug-ins are told (event, parameter) before a page changes.
    void SetPlugInNotifier(std::function<void(int event, int param)> notify) { notifyPlugIns_ = std::move(notify); }
    // One line per navigation call and per page script run, in the headless
    // runner's format (see TraceLine below); none when unset.
    void SetTrace(std::function<void(const QString& line)> trace) { trace_ = std::move(trace); }

    // How action errors of navigation reach the script that asked for the
    // change. A scope installs the running command's reporter; outside any
    // scope (a slide-show tick) the error goes to [LastError], which shows
    // the error box while ShowErrors is on.
    class ErrorScope {
    public:
        ErrorScope(TQXPageList& list, ErrorSink sink);
        ~ErrorScope();
        ErrorScope(const ErrorScope&) = delete;
        ErrorScope& operator=(const ErrorScope&) = delete;

    private:
        TQXPageList& list_;
        ErrorSink saved_;
    };

    // ---- PageService (the navigation commands) -------------------------------

    void Navigate(const ErrorSink& sink, const std::function<void()>& change) override;

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

private:
    // SlideShowPages
    QStringList SlidePageNames() const override;
    bool ShowSlide(const QString& name) override;
    void CallSlideShowSubroutine(const QString& name) override;

    // Relative and absolute targets: ignored when out of 1..Count-1 or the
    // current page.
    void GotoIfNavigable(int target);
    bool IsNavigable(int target) const { return target >= 1 && target < Count(); }
    // PAGECHANGEACTION: the target after the action, -1 when cancelled.
    int RunPageChangeAction(int target, bool* failed);
    void AppendHistory();
    // Runs a page script unless it is empty or the publication closes;
    // traced as "RUN traceName" with the quoted argument when it is not null.
    void RunPageScript(const QString& traceName, const QString& text, const QString& sourceName,
                       uint8_t flags, uint8_t kind, const QString& traceArgument);
    void ReportError(int code, const QString& text);
    void Trace(const QString& line) const;
    void TraceCall(const QString& command, const QStringList& params) const;

    Services& services_;
    PageView* view_ = nullptr;
    std::vector<TQXPage> pages_;
    int pageIndex_ = 0;
    int nextPageIndex_ = 0;
    bool changing_ = false;
    bool loading_ = false;
    bool startupDone_ = false;
    bool shuttingDown_ = false;
    QStringList history_;
    bool historyEnabled_ = true;
    std::unique_ptr<TSlideShow> slideShow_;
    std::function<void(int, int)> notifyPlugIns_;
    std::function<void(const QString&)> trace_;
    ErrorSink errorSink_;
};

// The page built-ins ([PageTitle], [PageNumber], [P], [PageCount],
// [PageNumberLeft], [PageNumberRight]) answered from a page list; every
// other question goes to `base` (the headless host by default). Install it
// with SetBuiltinHost.
class TPageListBuiltinHost final : public BuiltinHost {
public:
    TPageListBuiltinHost(const TQXPageList& pages, BuiltinHost& base) : pages_(pages), base_(base) {}

    int NextPageIndex() const override { return pages_.NextPageIndex(); }
    QString PageTitle(int pageIndex) const override { return pages_.PageName(pageIndex); }
    int PageCount() const override { return pages_.Count() > 0 ? pages_.Count() - 1 : 0; }

    int WindowMetric(Metric metric) const override { return base_.WindowMetric(metric); }
    void SetWindowMetric(Metric metric, int value) override { base_.SetWindowMetric(metric, value); }
    QString WindowState() const override { return base_.WindowState(); }
    void SetWindowState(const QString& value) override { base_.SetWindowState(value); }
    int WindowOrder() const override { return base_.WindowOrder(); }
    void SetWindowOrder(int order) override { base_.SetWindowOrder(order); }
    QString PubTitle() const override { return base_.PubTitle(); }
    void SetPubTitle(const QString& title) override { base_.SetPubTitle(title); }
    QString AppTitle() const override { return base_.AppTitle(); }
    void SetAppTitle(const QString& title) override { base_.SetAppTitle(title); }
    QString FocusedObject() const override { return base_.FocusedObject(); }
    int ScreenWidth() const override { return base_.ScreenWidth(); }
    int ScreenHeight() const override { return base_.ScreenHeight(); }
    qint64 ScreenColors() const override { return base_.ScreenColors(); }
    quint64 WindowHandle() const override { return base_.WindowHandle(); }

private:
    const TQXPageList& pages_;
    BuiltinHost& base_;
};

// Trace lines (the headless runner prints them):
//   CALL GotoPage "name"                  a navigation command reached the list
//   RUN PAGECHANGEACTION "target"         a page script starts (PGEXITACTION,
//   RUN PGEXITACTION "page"               STARTUPACTION, PGENTERACTION and a
//   RUN STARTUPACTION                     slide show's subroutine likewise)
//   RUN PGENTERACTION "page"
//   RUN SUBROUTINE "name"
//   PAGE 2 "name"                         the page now shown

} // namespace tomeric
