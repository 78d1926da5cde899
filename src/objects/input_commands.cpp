// The list box, combo box and track bar commands. Item numbers are the
// texts the script gives ("3", "ALL", "SELECTED"); the list family reads
// them, treating a number outside 1..count as no number at all.

#include "objects/object_command_handlers.h"
#include "objects/list_input.h"
#include "objects/track_bar.h"

namespace tomeric {

namespace {

TTomericListInput* List(TObjectCommandRun& run) { return qobject_cast<TTomericListInput*>(run.found.object); }
TTomericTrackBar* TrackBar(TObjectCommandRun& run) { return qobject_cast<TTomericTrackBar*>(run.found.object); }

} // namespace

void ListBoxGetItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        run.Result(3, list->GetItem(run.Param(2)));
}

void ListBoxAddItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        list->AddItem(run.Param(2), run.Param(3));
}

void ListBoxDeleteItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        list->DeleteItem(run.Param(2));
}

void ListBoxChangeItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        list->ChangeItem(run.Param(2), run.Param(3));
}

void ListBoxSizeCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        run.Result(2, QString::number(list->Size()));
}

void ListBoxFindItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        run.Result(3, QString::number(list->FindItem(run.Param(2))));
}

void ListBoxSortCommand(TObjectCommandRun& run)
{
    auto* list = List(run);
    if (!list)
        return;
    // Without its second parameter the list is sorted once.
    std::optional<QString> keepSorted;
    if (run.call.Params.size() >= 2)
        keepSorted = run.Param(2);
    list->Sort(keepSorted);
}

void ListBoxMoveItemCommand(TObjectCommandRun& run)
{
    if (auto* list = List(run))
        list->MoveItem(run.Param(2), run.Param(3));
}

void TrackBarSetMinCommand(TObjectCommandRun& run)
{
    if (auto* bar = TrackBar(run))
        if (auto value = ParseCommandNumber(run.Param(2)))
            bar->SetMin(*value);
}

void TrackBarSetMaxCommand(TObjectCommandRun& run)
{
    if (auto* bar = TrackBar(run))
        if (auto value = ParseCommandNumber(run.Param(2)))
            bar->SetMax(*value);
}

} // namespace tomeric
