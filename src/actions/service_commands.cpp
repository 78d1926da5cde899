// Commands carried out by a subsystem outside the core: the evaluated line
// crosses the seam whole, and what comes back (result variables,
// [LastError], an action error) is applied here.

#include "actions/core_commands.h"
#include "actions/services.h"

namespace tomeric {

void ForwardObjects(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Objects); }
void ForwardMedia(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Media); }
void ForwardWindows(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Windows); }
void ForwardPrograms(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Programs); }
void ForwardInternet(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Internet); }
void ForwardPrinting(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().Printing); }
void ForwardSystem(CommandContext& ctx) { ForwardToService(ctx, ctx.Svc().System); }

} // namespace tomeric
