// libFuzzer entry point for variable substitution: the first byte chooses
// the numeric and name modes, the rest is the text (UTF-8), substituted
// against a few variables whose values hold brackets themselves. Build and
// run it with `scripts/fuzz substitution`.

#include "fuzz_support.h"

#include "vars/variables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    if (size == 0)
        return 0;
    fuzz::EnsureApplication();
    static const bool seeded = [] {
        SetVariable(QStringLiteral("[a]"), QStringLiteral("[b]"));
        SetVariable(QStringLiteral("[b]"), QStringLiteral("]"));
        SetVariable(QStringLiteral("[i]"), QStringLiteral("1"));
        SetVariable(QStringLiteral("[A1]"), QStringLiteral("x[#13]"));
        return true;
    }();
    (void)seeded;
    const QString text = QString::fromUtf8(fuzz::Bytes(data + 1, size - 1));
    (void)SubstituteVars(text, data[0] & 1, data[0] & 2);
    (void)VarKey(text);
    return 0;
}
