// A preview package under the tracing debugger that ships with the player:
// the trace of a two-line button script shows both lines, the variable
// change, the page change, a new window order and a floating window; a DebugBreakPoint answered "stop" on the
// terminal ends its script there; an error is traced with its line; a
// debugger folder without the library ends the player with message 322.

#include "platform/string_table.h"
#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kDebuggerTour =
    "click Go\n"
    "click Check\n"
    "click Wrong\n"
    "run SetVar \"[WindowOrder]\" \"OnTop\"\n"
    "run CustomWindow \"Box\" \"10\" \"10\" \"Main\" \"\"\n"
    "vars vars.txt\n";

QString PackPreview(PlayerSession& session, const QString& debuggerFolder, const QString& name)
{
    TFolderPackOptions options;
    options.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/debugger");
    options.outputPath = session.Path(name);
    options.debuggerFolder = debuggerFolder;
    const TFolderPackReport report = PackFolder(options);
    EXPECT_TRUE(report.ok) << report.error.toStdString();
    return options.outputPath;
}

QStringList TraceLines(const PlayerSession& session)
{
    QFile file(session.TracePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
}

// The index of the first line at or after `from` that contains `text`; -1 when none.
int FindLine(const QStringList& lines, const QString& text, int from = 0)
{
    for (int i = from; i < lines.size(); ++i)
        if (lines[i].contains(text))
            return i;
    return -1;
}

TEST(DebuggerEndToEnd, TracesAButtonScriptAndStopsAtABreakpoint)
{
    PlayerSession session(QStringLiteral("debugger"));
    const QString container = PackPreview(session, QStringLiteral(QXDEBUG_DIR), QStringLiteral("preview.tpk"));
    QFile drive(session.Path(QStringLiteral("drive.txt")));
    ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
    drive.write(kDebuggerTour);
    drive.close();
    const TPlayerRun run = session.Run(
        {QStringLiteral("/R"), container, QStringLiteral("--drive"), drive.fileName(), QStringLiteral("--fast")},
        "stop\n");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QStringList trace = TraceLines(session);
    const QString all = trace.join(QLatin1Char('\n'));
    EXPECT_EQ(FindLine(trace, QStringLiteral("debugger attached (preview mode 2)")), 0) << all.toStdString();
    const int start = FindLine(trace, QStringLiteral("starts: \"Go\" (script, source kind 1)"));
    ASSERT_GE(start, 0) << all.toStdString();
    const int first = FindLine(trace, QStringLiteral(" run   SetVar \"[Score]\" \"5\""), start);
    const int change = FindLine(trace, QStringLiteral("var [SCORE] = \"5\" (created, global, U)"), start);
    const int second = FindLine(trace, QStringLiteral(" run   GotoPage \"Second\""), start);
    const int page = FindLine(trace, QStringLiteral("page 2"), start);
    EXPECT_TRUE(first > start && change > first && second > change && page > second) << all.toStdString();

    const int breakpoint = FindLine(trace, QStringLiteral("breakpoint in \"Check\" line 1: check the score"));
    EXPECT_GT(breakpoint, page) << all.toStdString();
    EXPECT_EQ(FindLine(trace, QStringLiteral("answer: stop"), breakpoint), breakpoint + 1) << all.toStdString();
    EXPECT_GT(FindLine(trace, QStringLiteral("error in \"Wrong\" line 1: ") + Message(msgUnknownCommand)), breakpoint)
        << all.toStdString();
    const int order = FindLine(trace, QStringLiteral("window order changed"), breakpoint);
    EXPECT_GT(order, breakpoint) << all.toStdString();
    const int window = FindLine(trace, QStringLiteral("floating window "), order);
    ASSERT_GT(window, order) << all.toStdString();
    EXPECT_FALSE(trace[window].endsWith(QStringLiteral("window 0"))) << "a shown window is named by its handle";
    EXPECT_GE(FindLine(trace, QStringLiteral("debugger detached")), 0) << all.toStdString();

    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars.count(QStringLiteral("AFTERBREAK")), 0u) << "\"stop\" ends the script at its breakpoint";
    EXPECT_EQ(vars.count(QStringLiteral("AFTERERROR")), 0u) << "an error stops its script";
    EXPECT_EQ(vars.at(QStringLiteral("SCORE")), QStringLiteral("5"));
}

TEST(DebuggerEndToEnd, AFolderWithoutTheDebuggerEndsThePlayer)
{
    PlayerSession session(QStringLiteral("debugger"));
    const QString container = PackPreview(session, session.Path(QString()), QStringLiteral("nodebugger.tpk"));
    const TPlayerRun run = session.Run({QStringLiteral("/R"), container, QStringLiteral("--fast")});
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(Message(msgDebuggerNotStarted))) << run.err.toStdString();
}

} // namespace
} // namespace tomeric::testing
