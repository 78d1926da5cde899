#include "actions/command_table.h"

#include <algorithm>

namespace tomeric {

TCommandGroup& TCommandTable::AddCommandGroup(const QString& name, const QString& fileName,
                                              std::unique_ptr<TPlugInLibrary> library, int kind)
{
    auto group = std::make_unique<TCommandGroup>();
    group->Name = name;
    group->FileName = fileName;
    group->Library = std::move(library);
    group->Kind = kind;
    groups_.push_back(std::move(group));
    return *groups_.back();
}

const TCommandRecord& TCommandTable::AddCommand(TCommandGroup& group, int id, const QString& name,
                                          const std::vector<uint8_t>& kinds, uint8_t minParams,
                                          uint8_t maxParams, CommandHandler handler, uint8_t flags, bool hidden)
{
    TCommandRecord record;
    record.Name = name;
    record.Name.remove(u' ');
    record.Id = id;
    const size_t copied = std::min<size_t>({kinds.size(), size_t(maxParams), size_t(kMaxParams)});
    std::copy_n(kinds.begin(), copied, record.Kinds.begin());
    record.MinParams = minParams;
    record.MaxParams = maxParams;
    record.Handler = handler;
    record.Flags = flags;
    record.Hidden = hidden;
    group.Commands.push_back(std::move(record));
    ++version_;
    if (groups_.empty() || groups_.back().get() != &group)
        RebuildIndex(); // a record added to an earlier group changes the lookup order
    else
        index_[group.Commands.back().Name.toUpper()].emplace_back(&group, group.Commands.size() - 1);
    return group.Commands.back();
}

CommandMatch TCommandTable::FindCommand(const QString& word) const
{
    const auto it = index_.constFind(word.toUpper());
    if (it == index_.constEnd())
        return {};
    for (const auto& [group, position] : *it) {
        const TCommandRecord& record = group->Commands[position];
        if (!record.Hidden)
            return {group, &record};
    }
    return {};
}

void TCommandTable::RebuildIndex()
{
    index_.clear();
    for (const auto& group : groups_)
        for (size_t i = 0; i < group->Commands.size(); ++i)
            index_[group->Commands[i].Name.toUpper()].emplace_back(group.get(), i);
}

TCommandGroup* TCommandTable::FindGroupByName(const QString& name) const
{
    for (const auto& group : groups_)
        if (group->Name.compare(name, Qt::CaseInsensitive) == 0)
            return group.get();
    return nullptr;
}

TCommandGroup* TCommandTable::FindGroupByFile(const QString& fileName) const
{
    for (const auto& group : groups_)
        if (!group->FileName.isEmpty() && group->FileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return group.get();
    return nullptr;
}

void TCommandTable::RemoveGroup(TCommandGroup* group)
{
    auto it = std::find_if(groups_.begin(), groups_.end(),
                           [group](const auto& g) { return g.get() == group; });
    if (it != groups_.end()) {
        groups_.erase(it); // the library (if any) is unloaded by its destructor
        ++version_;
        RebuildIndex();
    }
}

TCommandGroup* TCommandTable::BuiltinGroup() const
{
    for (const auto& group : groups_)
        if (group->Kind == gkBuiltin)
            return group.get();
    return nullptr;
}

std::vector<QString> TCommandTable::CommandNames() const
{
    std::vector<QString> names;
    for (const auto& group : groups_)
        for (const TCommandRecord& record : group->Commands)
            if (!record.Hidden)
                names.push_back(record.Name);
    return names;
}

TCommandTable& CommandTable()
{
    static TCommandTable* table = [] {
        auto* t = new TCommandTable; // lives until exit, like the original's table
        RegisterBuiltinCommands(*t);
        return t;
    }();
    return *table;
}

} // namespace tomeric
