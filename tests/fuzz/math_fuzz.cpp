// libFuzzer entry point for the expression evaluator of Math and If: the
// first byte chooses the decimals and the decimal symbol, the rest is the
// expression (UTF-8). The answer is a number or "Error", never anything
// else. Build and run it with `scripts/fuzz math`.

#include "fuzz_support.h"

#include "math/math_expression.h"
#include "platform/decimal_symbol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    if (size == 0)
        return 0;
    fuzz::EnsureApplication();
    const int decimals = int(data[0] & 0x3f) - 5;
    const QString expression = QString::fromUtf8(fuzz::Bytes(data + 1, size - 1));
    const QString result = EvaluateMath(expression, decimals);
    if (result.isEmpty())
        std::abort();
    return 0;
}
