#include "math/math_expression.h"

#include <QString>
#include <chrono>
#include <random>

namespace tomeric {
namespace {

std::uint64_t ClockSeed() {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

// The Random command's one generator, shared by every script of the process.
std::mt19937_64& Generator() {
    static std::mt19937_64 generator(ClockSeed());
    return generator;
}

} // namespace

long long RandomNumber(long long maximum) {
    const long long low = std::min(0LL, maximum);
    const long long high = std::max(0LL, maximum);
    return std::uniform_int_distribution<long long>(low, high)(Generator());
}

QString RandomText(QStringView maximumText) {
    bool ok = false;
    const long long maximum = maximumText.trimmed().toLongLong(&ok);
    return QString::number(RandomNumber(ok ? maximum : 0));
}

void SeedRandomFromClock() { Generator().seed(ClockSeed()); }
void SeedRandom(std::uint64_t seed) { Generator().seed(seed); }

} // namespace tomeric
