#pragma once
// The command table: every command a script may use, grouped by where it
// comes from (the built-in group "_QXK" first, then one group per plug-in).
// A command record names its parameter kinds and counts and points at the
// handler that carries it out; lookup walks the groups and records in
// registration order, so a plug-in can never replace a built-in command.

#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tomeric {

class CommandContext;

// Parameter kinds: how a parameter is evaluated before the command runs.
enum ParamKind : uint8_t {
    pkNone = 0,
    pkText = 1,
    pkDisplayText = 2,
    pkNumber = 3,
    pkValue = 4,
    pkFile = 5,
    pkVariable = 6,
    pkDataFile = 7,
    pkObjectName = 8,
    pkMenuItemName = 9,
    pkPlugInFile = 10,
};

constexpr int kMaxParams = 10;

// Ids of the built-in commands the evaluator recognises by id (blocks it
// counts while skipping, and Call); the table's rows use the same names.
enum BuiltinCommandId : int {
    ciIf = 23,
    ciWhile = 56,
    ciCall = 70,
    ciLoop = 123,
    ciWhileEx = 155,
    ciIfEx = 167,
};

// A handler carries out one command whose line has been split, counted and
// (unless the command evaluates its own parameters) evaluated.
using CommandHandler = void (*)(CommandContext& ctx);

// Properties the dispatcher acts on before the handler runs.
enum CommandFlag : uint8_t {
    cfNone = 0,
    cfSelfEvaluating = 1, // Math, SetVar, Call, DefineVar, IfEx, WhileEx
    cfPageChange = 2,     // refused with afNoPageChange and in single-page preview
    cfBrowserDenied = 4,  // refused when the script came from a browser link
};

struct TCommandRecord {
    QString Name;                          // no spaces
    int Id = 0;                            // what the handler or plug-in receives
    std::array<uint8_t, kMaxParams> Kinds{}; // Kinds[0] is parameter 1
    uint8_t MinParams = 0;
    uint8_t MaxParams = 0;
    bool Hidden = false;
    CommandHandler Handler = nullptr;      // null for plug-in commands
    uint8_t Flags = cfNone;

    uint8_t Kind(int slot) const { return slot >= 1 && slot <= kMaxParams ? Kinds[slot - 1] : uint8_t(pkNone); }
    bool Has(CommandFlag flag) const { return (Flags & flag) != 0; }
};

struct TEffectRecord {
    QString Name;
    int Id = 0;
};

// What a plug-in group keeps of its library. Destroying it unloads the
// library; Execute runs one of the plug-in's commands (its Id is
// ctx.Command().Id) with parameters already evaluated.
class TPlugInLibrary {
public:
    virtual ~TPlugInLibrary() = default;
    virtual void Execute(CommandContext& ctx) = 0;
};

enum GroupKind : int { gkBuiltin = 0, gkPlugIn = 1 };

struct TCommandGroup {
    QString Name;      // "_QXK" for the built-in group
    QString FileName;  // the plug-in's library file; empty for built-ins
    std::unique_ptr<TPlugInLibrary> Library;
    int Kind = gkBuiltin;
    std::vector<TCommandRecord> Commands;
    std::vector<TEffectRecord> Effects;

    int CommandCount() const { return static_cast<int>(Commands.size()); }
};

struct CommandMatch {
    TCommandGroup* Group = nullptr;
    const TCommandRecord* Command = nullptr;
    explicit operator bool() const { return Command != nullptr; }
};

// The process-wide list of command groups.
class TCommandTable {
public:
    TCommandGroup& AddCommandGroup(const QString& name, const QString& fileName,
                                   std::unique_ptr<TPlugInLibrary> library, int kind);
    // Appends a record; only the first maxParams kinds are kept. A record
    // never changes once added: what runs is decided by its handler, which
    // asks the services for what belongs to a program.
    const TCommandRecord& AddCommand(TCommandGroup& group, int id, const QString& name,
                               const std::vector<uint8_t>& kinds, uint8_t minParams,
                               uint8_t maxParams, CommandHandler handler = nullptr,
                               uint8_t flags = cfNone, bool hidden = false);
    // First visible record named `word` (case-insensitive), groups and records
    // in registration order.
    CommandMatch FindCommand(const QString& word) const;
    TCommandGroup* FindGroupByName(const QString& name) const;
    TCommandGroup* FindGroupByFile(const QString& fileName) const;
    // Unlinks the group; a plug-in's library is unloaded with it.
    void RemoveGroup(TCommandGroup* group);

    const std::vector<std::unique_ptr<TCommandGroup>>& Groups() const { return groups_; }
    TCommandGroup* BuiltinGroup() const;

    // Changes whenever a group or record is added or removed, so that
    // lookups remembered by parsed scripts know when to look again.
    std::uint64_t Version() const { return version_; }

    // Every visible command name of every group, in lookup order (the
    // debugger's keyword list).
    std::vector<QString> CommandNames() const;

private:
    void RebuildIndex();

    std::uint64_t version_ = 1;
    std::vector<std::unique_ptr<TCommandGroup>> groups_;
    // Upper-cased name -> its records (group, position) in lookup order, so a
    // line's command is found without walking every record.
    QHash<QString, std::vector<std::pair<TCommandGroup*, size_t>>> index_;
};

// The process-wide command table; the built-in group is registered on first
// use, before any plug-in can add a group.
TCommandTable& CommandTable();

// Registers the 201 built-in commands into `table` (a fresh table for tests).
void RegisterBuiltinCommands(TCommandTable& table);
int BuiltinCommandCount();

} // namespace tomeric
