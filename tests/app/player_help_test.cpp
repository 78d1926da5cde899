// The driver's verbs are documented twice, in qxplay5 --help and in the
// README's table; both must name every verb the driver carries out, and
// neither may name one it does not. And the options that change how the
// publication shows reject what they cannot use.

#include "app/player_options.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace {

QString ReadSource(const char* relativePath)
{
    QFile file(QStringLiteral(TOMERIC_SOURCE_DIR "/") + QString::fromLatin1(relativePath));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relativePath;
    return QString::fromUtf8(file.readAll());
}

// The verbs the driver's dispatch compares a line's verb with.
QSet<QString> DispatchedVerbs()
{
    QSet<QString> verbs;
    static const QRegularExpression compare(QStringLiteral(R"re(verb == QLatin1String\("([a-z]+)"\))re"));
    for (const auto& match : compare.globalMatch(ReadSource("src/app/driver.cpp")))
        verbs.insert(match.captured(1));
    return verbs;
}

// The verbs of the README's driver table: the first word of each `...` in
// the first cell of its rows.
QSet<QString> ReadmeVerbs()
{
    const QString readme = ReadSource("README.md");
    const qsizetype section = readme.indexOf(QStringLiteral("`--drive FILE` runs a driver script"));
    EXPECT_GE(section, 0);
    QSet<QString> verbs;
    static const QRegularExpression row(QStringLiteral(R"(^\| ([^|]*(?:\\\|[^|]*)*) \|)"),
                                        QRegularExpression::MultilineOption);
    static const QRegularExpression code(QStringLiteral("`([a-z]+)(?=[ `])[^`]*`"));
    for (const auto& match : row.globalMatch(readme.mid(section, 6000))) {
        for (const auto& verb : code.globalMatch(match.captured(1)))
            verbs.insert(verb.captured(1));
    }
    return verbs;
}

// The verbs of the "Driver verbs" part of qxplay5 --help: the lower-case
// words that begin a line or follow "|" in the left column.
QSet<QString> HelpVerbs()
{
    QProcess player;
    player.start(QStringLiteral(QXPLAY5_PATH), {QStringLiteral("--help")});
    EXPECT_TRUE(player.waitForFinished(20000));
    EXPECT_EQ(player.exitCode(), 0);
    const QString help = QString::fromUtf8(player.readAllStandardOutput());
    const qsizetype section = help.indexOf(QStringLiteral("Driver verbs"));
    EXPECT_GE(section, 0);
    const QString verbsPart = help.mid(section, help.indexOf(QStringLiteral("\n\n"), section) - section);
    QSet<QString> verbs;
    static const QRegularExpression start(QStringLiteral(R"((?:^  |\| \[?)([a-z]+)\b)"),
                                          QRegularExpression::MultilineOption);
    for (const QString& line : verbsPart.split(QLatin1Char('\n'))) {
        // The left column only: a description starts at column 21.
        const QString synopsis = line.startsWith(QStringLiteral("                     ")) ? QString() : line;
        for (const auto& match : start.globalMatch(synopsis.left(60)))
            verbs.insert(match.captured(1));
    }
    return verbs;
}

std::string Listed(const QSet<QString>& verbs)
{
    QStringList sorted(verbs.begin(), verbs.end());
    sorted.sort();
    return sorted.join(QLatin1Char(' ')).toStdString();
}

} // namespace

TEST(PlayerHelp, EveryDriverVerbIsInTheHelpAndTheReadme)
{
    const QSet<QString> dispatched = DispatchedVerbs();
    // The dispatch is read from the source; finding too few verbs means it
    // changed shape and this test must learn the new one.
    ASSERT_GE(dispatched.size(), 15) << Listed(dispatched);
    const QSet<QString> help = HelpVerbs();
    const QSet<QString> readme = ReadmeVerbs();
    EXPECT_EQ(Listed(QSet<QString>(dispatched).subtract(help)), "") << "missing from --help";
    EXPECT_EQ(Listed(QSet<QString>(dispatched).subtract(readme)), "") << "missing from the README";
    EXPECT_EQ(Listed(QSet<QString>(help).subtract(dispatched)), "") << "in --help, not in the driver";
    EXPECT_EQ(Listed(QSet<QString>(readme).subtract(dispatched)), "") << "in the README, not in the driver";
}

TEST(PlayerOptions, ScaleTakesAReasonableNumberAndPresentationTheLastWord)
{
    using tomeric::ParsePlayerOptions;
    using tomeric::TPresentation;
    const auto options = [](QStringList arguments) {
        arguments.prepend(QStringLiteral("qxplay5"));
        return ParsePlayerOptions(arguments);
    };
    EXPECT_EQ(options({QStringLiteral("--scale"), QStringLiteral("1.5")}).scale, 1.5);
    for (const char* bad : {"0", "-2", "9", "two", ""})
        EXPECT_FALSE(options({QStringLiteral("--scale"), QString::fromLatin1(bad)}).error.isEmpty()) << bad;
    EXPECT_FALSE(options({QStringLiteral("--scale")}).error.isEmpty());
    EXPECT_EQ(options({QStringLiteral("--windowed"), QStringLiteral("--fullscreen")}).presentation,
              TPresentation::prFullScreen);
    EXPECT_EQ(options({QStringLiteral("--fullscreen"), QStringLiteral("--windowed")}).presentation,
              TPresentation::prWindowed);
    EXPECT_EQ(options({}).presentation, TPresentation::prAsPublished);
}
