// The Math command: which syntax errors stop a script, and what the result
// variable receives.

#include "math/math_command.h"

#include "decimal_symbol_scope.h"

#include <gtest/gtest.h>

using namespace tomeric;

namespace {

struct CommandCase {
    const char* written;
    const char* substituted;
    const char* decimals;
    bool stopsScript;
    const char* text;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << "Math \"" << c.written << "\" \"" << c.decimals << '"';
}

class MathCommand : public ::testing::TestWithParam<CommandCase> {
protected:
    test_support::DecimalSymbolScope point_{u'.'};
};

TEST_P(MathCommand, StoresTheResultOrStopsTheScript) {
    const CommandCase& c = GetParam();
    const MathCommandOutcome outcome = RunMathCommand(QString::fromLatin1(c.written),
                                                      QString::fromLatin1(c.substituted),
                                                      QString::fromLatin1(c.decimals));
    EXPECT_EQ(outcome.stopsScript, c.stopsScript);
    EXPECT_EQ(outcome.text, QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Outcomes, MathCommand, ::testing::Values(
    CommandCase{"2+3*4", "2+3*4", "-1", false, "14"},
    CommandCase{"(2+3)*4", "(2+3)*4", "2", false, "20.00"},
    CommandCase{"7&3", "7&3", "0", false, "1"},
    CommandCase{"1/0", "1/0", "0", false, "Error"},      // math errors never stop
    CommandCase{"1+*2", "1+*2", "0", true, "Error"},     // written wrong: stops
    CommandCase{"[a]+*2", "0+*2", "0", false, "Error"},  // wrong through a variable
    CommandCase{"[a]*2", "0*2", "1", false, "0.0"},
    CommandCase{"2/3", "2/3", "abc", false, "1"},        // decimals not a number: 0
    CommandCase{"2/3", "2/3", " 3 ", false, "0.667"},
    CommandCase{"2/3", "2/3", "2.5", false, "1"},        // not an integer: 0
    CommandCase{"2/3", "2/3", "Error", false, "1"}));

} // namespace
