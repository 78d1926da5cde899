#include "math/math_grammar.h"

#include "math/math_functions.h"

#include <QtGlobal>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace tomeric::math {
namespace {

MathValue Finite(long double x) {
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

long double Left(const StackEntry* phrase) { return phrase[0].value; }
long double Right(const StackEntry* phrase) { return phrase[2].value; }

MathValue First(const StackEntry* phrase) { return phrase[0].value; }
MathValue Second(const StackEntry* phrase) { return phrase[1].value; }
MathValue Add(const StackEntry* phrase) { return Finite(Left(phrase) + Right(phrase)); }
MathValue Subtract(const StackEntry* phrase) { return Finite(Left(phrase) - Right(phrase)); }
MathValue Multiply(const StackEntry* phrase) { return Finite(Left(phrase) * Right(phrase)); }
MathValue Negate(const StackEntry* phrase) { return -phrase[1].value; }

MathValue Divide(const StackEntry* phrase) {
    if (Right(phrase) == 0)
        return std::nullopt;
    return Finite(Left(phrase) / Right(phrase));
}

// Truncated toward zero; values outside the 64-bit range have no integer.
std::optional<std::int64_t> TruncateToInt64(long double x) {
    constexpr long double kLimit = 9223372036854775808.0L; // 2^63
    if (!(x > -kLimit - 1 && x < kLimit))
        return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(x));
}

// Integer remainder with the sign of the dividend.
MathValue Remainder(const StackEntry* phrase) {
    const auto a = TruncateToInt64(Left(phrase));
    const auto b = TruncateToInt64(Right(phrase));
    if (!a || !b || *b == 0)
        return std::nullopt;
    if (*b == -1) // also keeps INT64_MIN % -1 from trapping
        return 0.0L;
    return static_cast<long double>(*a % *b);
}

// a^b = e^(b ln a): defined for a positive base only, so (-2)^2 has no value.
MathValue Power(const StackEntry* phrase) {
    if (Left(phrase) <= 0)
        return std::nullopt;
    return Finite(std::pow(Left(phrase), Right(phrase)));
}

MathValue Call(const StackEntry* phrase) {
    return ApplyFunction(phrase[0].function, phrase[2].value);
}

// Production 0 is the augmented start; the rest is the grammar of the header.
constexpr Production kProductions[] = {
    {kAccept, 2, {kExpression, kEnd}, First},
    {kExpression, 3, {kExpression, kPlus, kTerm}, Add},
    {kExpression, 3, {kExpression, kMinus, kTerm}, Subtract},
    {kExpression, 1, {kTerm}, First},
    {kTerm, 3, {kTerm, kTimes, kFactor}, Multiply},
    {kTerm, 3, {kTerm, kDivide, kFactor}, Divide},
    {kTerm, 3, {kTerm, kRemainder, kFactor}, Remainder},
    {kTerm, 1, {kFactor}, First},
    {kFactor, 3, {kSigned, kPower, kFactor}, Power},
    {kFactor, 1, {kSigned}, First},
    {kSigned, 2, {kMinus, kOperand}, Negate},
    {kSigned, 1, {kOperand}, First},
    {kOperand, 1, {kNumber}, First},
    {kOperand, 4, {kFunction, kOpenParen, kExpression, kCloseParen}, Call},
    {kOperand, 3, {kOpenParen, kExpression, kCloseParen}, Second},
};
constexpr int kProductionCount = static_cast<int>(std::size(kProductions));

bool IsNonterminal(Symbol s) { return s >= kTerminalCount; }
int NonterminalIndex(Symbol s) { return s - kTerminalCount; }

using SymbolSet = std::bitset<kSymbolCount>;

// FIRST of every symbol (the grammar has no empty productions).
std::array<SymbolSet, kSymbolCount> FirstSets() {
    std::array<SymbolSet, kSymbolCount> first{};
    for (int s = 0; s < kTerminalCount; ++s)
        first[s].set(s);
    for (bool changed = true; changed;) {
        changed = false;
        for (const Production& p : kProductions) {
            const SymbolSet before = first[p.left];
            first[p.left] |= first[p.right[0]];
            changed = changed || before != first[p.left];
        }
    }
    return first;
}

std::array<SymbolSet, kSymbolCount> FollowSets() {
    const auto first = FirstSets();
    std::array<SymbolSet, kSymbolCount> follow{};
    for (bool changed = true; changed;) {
        changed = false;
        for (const Production& p : kProductions) {
            for (int i = 0; i < p.length; ++i) {
                const Symbol s = p.right[i];
                if (!IsNonterminal(s))
                    continue;
                const SymbolSet before = follow[s];
                follow[s] |= i + 1 < p.length ? first[p.right[i + 1]] : follow[p.left];
                changed = changed || before != follow[s];
            }
        }
    }
    return follow;
}

// An LR(0) item: a production with a position inside its right side.
using Item = std::pair<int, int>;
using ItemSet = std::vector<Item>;

ItemSet Closure(ItemSet items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto [production, dot] = items[i];
        if (dot >= kProductions[production].length)
            continue;
        const Symbol next = kProductions[production].right[dot];
        for (int q = 0; q < kProductionCount; ++q) {
            const Item added{q, 0};
            if (kProductions[q].left == next
                && std::find(items.begin(), items.end(), added) == items.end())
                items.push_back(added);
        }
    }
    std::sort(items.begin(), items.end());
    return items;
}

ItemSet Advance(const ItemSet& items, Symbol over) {
    ItemSet moved;
    for (const auto& [production, dot] : items)
        if (dot < kProductions[production].length && kProductions[production].right[dot] == over)
            moved.push_back({production, dot + 1});
    return moved.empty() ? moved : Closure(std::move(moved));
}

} // namespace

bool PassesValueUp(const Production& production) {
    return production.length == 1 && production.reduce == First;
}

WholeStep WholeStepOf(const Production& production) {
    static const std::pair<MathValue (*)(const StackEntry*), WholeStep> kSteps[] = {
        {First, WholeStep::First},       {Second, WholeStep::Second},
        {Add, WholeStep::Add},           {Subtract, WholeStep::Subtract},
        {Multiply, WholeStep::Multiply}, {Negate, WholeStep::Negate},
    };
    for (const auto& [reduce, step] : kSteps)
        if (production.reduce == reduce)
            return step;
    return WholeStep::None;
}

std::optional<Symbol> TerminalOf(TokenType type) {
    // Indexed by token number; -1 where a number has no terminal (8, and the
    // bad character 11, which has no place in the grammar).
    static constexpr int kTerminals[] = {
        kPlus, kMinus, kTimes, kDivide, kPower, kOpenParen, kCloseParen,
        kNumber, -1, kFunction, kEnd, -1, kRemainder,
    };
    const auto index = static_cast<std::size_t>(type);
    if (index >= std::size(kTerminals) || kTerminals[index] < 0)
        return std::nullopt;
    return static_cast<Symbol>(kTerminals[index]);
}

const ParseTables& ParseTables::Instance() {
    static const ParseTables tables;
    return tables;
}

ParseTables::ParseTables() { Build(); }

ParseAction ParseTables::Action(int state, Symbol terminal) const {
    return actions_[state][terminal];
}

int ParseTables::Goto(int state, Symbol nonterminal) const {
    return gotos_[state][NonterminalIndex(nonterminal)];
}

const Production& ParseTables::ProductionAt(int index) const { return kProductions[index]; }

// The canonical LR(0) collection with SLR(1) reduce look-aheads. The grammar
// is SLR(1), so no entry is ever claimed twice.
void ParseTables::Build() {
    const auto follow = FollowSets();
    std::vector<ItemSet> states{Closure({{0, 0}})};
    for (std::size_t state = 0; state < states.size(); ++state) {
        actions_.emplace_back();
        gotos_.emplace_back();
        gotos_.back().fill(-1);
        for (int s = 0; s < kSymbolCount; ++s) {
            const Symbol symbol = static_cast<Symbol>(s);
            ItemSet next = Advance(states[state], symbol);
            if (next.empty())
                continue;
            auto found = std::find(states.begin(), states.end(), next);
            const int target = static_cast<int>(found - states.begin());
            if (found == states.end())
                states.push_back(std::move(next));
            if (IsNonterminal(symbol))
                gotos_[state][NonterminalIndex(symbol)] = target;
            else if (symbol == kEnd)
                actions_[state][symbol] = {ParseAction::Kind::Accept, 0};
            else
                actions_[state][symbol] = {ParseAction::Kind::Shift, target};
        }
        for (const auto& [production, dot] : states[state]) {
            if (production == 0 || dot < kProductions[production].length)
                continue;
            for (int t = 0; t < kTerminalCount; ++t) {
                if (!follow[kProductions[production].left].test(t))
                    continue;
                Q_ASSERT_X(actions_[state][t].kind == ParseAction::Kind::Error,
                           "ParseTables", "the expression grammar must stay SLR(1)");
                actions_[state][t] = {ParseAction::Kind::Reduce, production};
            }
        }
    }
}

} // namespace tomeric::math
