#pragma once
// The lines a counting loop is made of: SetVar, Math, If and While over
// plain [Name] references and whole numbers. Such a line is read once into
// what it does (which variable it writes, which expression it computes,
// which two whole numbers it compares) and then carried out straight on
// the store's values, without copying its parameters into the evaluator,
// substituting them and reading the results back as numbers.
//
// A pass takes this way only where it gives exactly what the command gives:
// the values read are whole numbers of digits held by script variables,
// the variable written is an untyped one that exists, and Math runs while
// [LastError] is clear. Anything else, and the pass runs the command as
// usual: a quick line that declines has changed nothing.

#include "actions/action_text.h"
#include "actions/command_table.h"

#include <memory>

namespace tomeric {

class TActionEval;

class QuickLine {
public:
    virtual ~QuickLine() = default;
    // The quick form of a line of the built-in `command` with `params` as
    // written (quotes balanced); null when the line always runs as usual.
    static std::shared_ptr<const QuickLine> Compile(const TCommandRecord& command,
                                                    const ActionParams& params);
    // Carries the line out and gives true; gives false, having changed
    // nothing, when this pass must run the command as usual.
    virtual bool Run(TActionEval& eval) const = 0;
};

// Quick lines are on unless turned off, which tests do to compare them with
// the usual way.
void SetQuickLinesEnabled(bool on);
bool QuickLinesEnabled();

} // namespace tomeric
