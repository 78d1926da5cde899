#include "app/publication_chain.h"

#include "actions/action_eval.h"
#include "actions/command_table.h"
#include "package/command_line.h"
#include "platform/string_table.h"

#include <QFileInfo>
#include <QTimer>

#include <vector>

namespace tomeric {

namespace {

constexpr int kChainRetryMs = 10;

bool HasOption(const QString& options, const char* word)
{
    return options.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// Plug-in command groups belong to the publication that loaded them; the
// new one starts from the built-in commands alone.
void DropPlugInGroups()
{
    TCommandTable& table = CommandTable();
    std::vector<TCommandGroup*> added;
    for (const auto& group : table.Groups())
        if (group.get() != table.BuiltinGroup())
            added.push_back(group.get());
    for (TCommandGroup* group : added)
        table.RemoveGroup(group);
}

} // namespace

TChainOptions ParseChainOptions(const QString& options, int windowStyle)
{
    TChainOptions chain;
    chain.fullScreen = windowStyle == 1 || windowStyle == 3;
    chain.clearVariables = HasOption(options, "CLEARVARS");
    chain.closeWindows = HasOption(options, "CLOSEWINDOWS");
    return chain;
}

ServiceReply TPublicationChain::RunTomeric(const QString& file, const QString& options,
                                           const QString& currentContainer, int windowStyle)
{
    ServiceReply reply;
    reply.LastError = QString();
    const QString found = LocatePublicationFile(file, QFileInfo(currentContainer).absolutePath());
    if (found.isEmpty()) {
        reply.LastError = Message(msgNotFound);
        return reply;
    }
    const TChainOptions chain = ParseChainOptions(options, windowStyle);
    QTimer::singleShot(0, &owner_, [this, found, chain] { ChainWhenIdle(found, chain); });
    return reply;
}

void TPublicationChain::ChainWhenIdle(const QString& container, TChainOptions options)
{
    // A script that waits pumps the event loop: the switch waits for it.
    if (Runs().Depth > 0) {
        QTimer::singleShot(kChainRetryMs, &owner_, [this, container, options] { ChainWhenIdle(container, options); });
        return;
    }
    ChainTo(container, options);
}

void TPublicationChain::ChainTo(const QString& container, TChainOptions options)
{
    inProgress_ = true;
    if (host_.CloseForChain(options)) {
        DropPlugInGroups();
        host_.OpenFromChain(container);
    }
    inProgress_ = false;
}

} // namespace tomeric
