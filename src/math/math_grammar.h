#pragma once
// The expression grammar as data, and the shift-reduce tables built from it.
//
//   E -> E + T | E - T | T
//   T -> T * F | T / F | T & F | F
//   F -> S ^ F | S
//   S -> - U | U
//   U -> number | function ( E ) | ( E )
//
// The tables are built once (SLR(1)) from the production list in
// math_grammar.cpp, which is the one and only statement of what an
// expression is.

#include "math/math_functions.h"
#include "math/math_tokenizer.h"

#include <array>
#include <optional>
#include <vector>

namespace tomeric::math {

// Grammar symbols: terminals first (in the order of TerminalOf), then the
// nonterminals.
enum Symbol : int {
    kPlus, kMinus, kTimes, kDivide, kRemainder, kPower, kOpenParen, kCloseParen,
    kNumber, kFunction, kEnd,
    kTerminalCount,
    kExpression = kTerminalCount, kTerm, kFactor, kSigned, kOperand, kAccept,
    kSymbolCount,
};

// The grammar terminal of a token; nothing for a bad character.
std::optional<Symbol> TerminalOf(TokenType type);

// One parser stack entry: what the grammar symbol stands for.
struct StackEntry {
    int state = 0;
    long double value = 0;
    int function = 0;
};

struct Production {
    Symbol left;
    int length;
    Symbol right[4];
    // The value of the reduced phrase from its `length` entries; nothing is a
    // math error.
    MathValue (*reduce)(const StackEntry* phrase);
};

// True for a one-symbol production that passes its value up unchanged
// (E -> T, T -> F, F -> S, S -> U, U -> number).
bool PassesValueUp(const Production& production);

// What a production computes when every value is a whole number: the
// steps that stay exact in 64-bit integers (as long as no step leaves their
// range), or None for division, remainder, power and functions.
enum class WholeStep { None, First, Second, Add, Subtract, Multiply, Negate };
WholeStep WholeStepOf(const Production& production);

struct ParseAction {
    enum class Kind { Error, Shift, Reduce, Accept } kind = Kind::Error;
    int target = 0; // Shift: next state; Reduce: production index
};

class ParseTables {
public:
    static const ParseTables& Instance();

    ParseAction Action(int state, Symbol terminal) const;
    int Goto(int state, Symbol nonterminal) const;
    const Production& ProductionAt(int index) const;

private:
    ParseTables();
    void Build();

    std::vector<std::array<ParseAction, kTerminalCount>> actions_;
    std::vector<std::array<int, kSymbolCount - kTerminalCount>> gotos_;
};

} // namespace tomeric::math
