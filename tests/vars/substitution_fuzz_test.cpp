// Random texts through the substitution: no crash, no hang, bounded output.

#include "vars_test_support.h"

#include <QElapsedTimer>

#include <random>

namespace tomeric::testing {
namespace {

QString RandomText(std::mt19937& random, int length) {
    static const char16_t alphabet[] = u"[[[]]]##0123456789AaBbiI tT\r\n=-,.\"é€";
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(alphabet)) - 2);
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(alphabet[pick(random)]);
    return text;
}

TEST_F(VarsTest, RandomTextsNeverCrashOrHang) {
    SetVariable(QStringLiteral("[a]"), QStringLiteral("[b]"));
    SetVariable(QStringLiteral("[b]"), QStringLiteral("]"));
    SetVariable(QStringLiteral("[i]"), QStringLiteral("1"));
    SetVariable(QStringLiteral("[A1]"), QStringLiteral("x[#13]"));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> length(0, 400);
    QElapsedTimer slowest;
    qint64 worst = 0;
    for (int round = 0; round < 3000; ++round) {
        const QString text = RandomText(random, length(random));
        slowest.start();
        for (bool numeric : {false, true})
            for (bool nameMode : {false, true}) {
                const QString out = SubstituteVars(text, numeric, nameMode);
                // each character yields at most one value, and values here are short
                EXPECT_LE(out.size(), text.size() * 16 + 16);
            }
        VarKey(text);
        worst = std::max(worst, slowest.elapsed());
    }
    EXPECT_LT(worst, 1000) << "one input took " << worst << " ms";
}

TEST_F(VarsTest, RandomNamesThroughTheWritePathKeepTheStoreConsistent) {
    std::mt19937 random(777);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> action(0, 3);
    const char* types[] = {"Integer", "Boolean", "Date", "Currency", "String", "Undefined", "Nope"};
    for (int round = 0; round < 5000; ++round) {
        const QString name = RandomText(random, length(random));
        const QString value = RandomText(random, length(random));
        switch (action(random)) {
        case 0: SetVariable(name, value); break;
        case 1: SetVariable(name, QString()); break;
        case 2: DefineVariable(name, QString::fromLatin1(types[round % 7]), QStringLiteral("d/m/y"), round % 2); break;
        default: GetVariable(name); break;
        }
    }
    // untyped globals never hold an empty value
    GlobalVars().ForEach([](const QString& key, const QString& value, const TGenericVarInfo* info) {
        EXPECT_FALSE(key.isEmpty());
        if (!info)
            EXPECT_FALSE(value.isEmpty()) << key.toStdString();
    });
}

TEST_F(VarsTest, DeepNestingNeedsNoRecursion) {
    const QString deep = QString(200000, u'[') + QStringLiteral("i") + QString(200000, u']');
    EXPECT_EQ(SubstituteVars(deep), QString());
    EXPECT_EQ(SubstituteVars(QString(300000, u'[')), QString());
}

} // namespace
} // namespace tomeric::testing
