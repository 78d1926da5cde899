// Page changes, asked of the page service once the page-change rule has let
// them through.

#include "actions/action_eval.h"
#include "actions/core_commands.h"
#include "actions/services.h"

namespace tomeric {

namespace {

PageService* Pages(CommandContext& ctx)
{
    return ctx.Svc().Pages;
}

// The page service carries the change out; errors it meets on the way (a
// PAGECHANGEACTION naming a missing page, a missing first slide) stop this
// script like any other action error.
template <class F>
void WithPages(CommandContext& ctx, F&& action)
{
    PageService* pages = Pages(ctx);
    if (!pages)
        return;
    const auto reportOnScript = [&ctx](int code, const QString& text) {
        if (!ctx.Failed())
            ctx.ReportActionError(code, text);
    };
    pages->Navigate(reportOnScript, [&] { action(*pages); });
}

} // namespace

void CmdGotoPage(CommandContext& ctx)
{
    WithPages(ctx, [&](PageService& pages) {
        if (!pages.GotoPage(ctx.Param(1)))
            ctx.ReportActionError(aeNoSuchPage, ctx.Param(1));
    });
}

void CmdGotoPageNum(CommandContext& ctx)
{
    WithPages(ctx, [&](PageService& pages) {
        if (!pages.GotoPageNum(ctx.Param(1)))
            ctx.ReportActionError(aeNoSuchPage, ctx.Param(1));
    });
}

void CmdGotoPrevPage(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.GotoPrevPage(); }); }
void CmdGotoNextPage(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.GotoNextPage(); }); }
void CmdGotoFirstPage(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.GotoFirstPage(); }); }
void CmdGotoLastPage(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.GotoLastPage(); }); }
void CmdReturnToPage(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.ReturnToPage(); }); }
void CmdPauseSlideShow(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.PauseSlideShow(); }); }
void CmdStopSlideShow(CommandContext& ctx) { WithPages(ctx, [](PageService& p) { p.StopSlideShow(); }); }

void CmdStartSlideShow(CommandContext& ctx)
{
    QStringList params;
    for (int i = 1; i <= ctx.Count(); ++i)
        params.append(ctx.Param(i));
    WithPages(ctx, [&](PageService& pages) { pages.StartSlideShow(params); });
}

} // namespace tomeric
