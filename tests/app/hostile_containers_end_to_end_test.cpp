// A damaged container never crashes the player: qxplay5 drawing the pages
// of a publication with pictures, metafiles and rich text, cut at many
// lengths or with bytes overwritten across the file, ends on its own with
// exit code 0 (what could be read was drawn) or 1 with its message.

#include "player_test_support.h"

#include <QProcess>

#include <list>

namespace tomeric::testing {
namespace {

struct TDamage {
    QString label;
    QByteArray bytes;
};

std::vector<TDamage> DamagedCopies(const QByteArray& good)
{
    std::vector<TDamage> copies;
    const qsizetype size = good.size();
    constexpr int kSpread = 40;
    for (int i = 0; i < kSpread; ++i) {
        const qsizetype length = size * i / kSpread;
        copies.push_back({QStringLiteral("cut at %1").arg(length), good.left(length)});
    }
    for (qsizetype length = size - 8; length < size; ++length)
        copies.push_back({QStringLiteral("cut at %1").arg(length), good.left(length)});
    for (int i = 0; i < kSpread; ++i) {
        const qsizetype offset = std::max<qsizetype>(0, size * i / kSpread - 2 + i % 4);
        QByteArray bytes = good;
        bytes.replace(offset, std::min<qsizetype>(4, size - offset), QByteArray(4, '\xff'));
        copies.push_back({QStringLiteral("0xFFFFFFFF at %1").arg(offset), bytes});
    }
    return copies;
}

TEST(HostileContainers, DamagedCopiesEndWithTheirErrorNeverACrash)
{
    PlayerSession session(QStringLiteral("metafiles"));
    QFile packed(session.Container());
    ASSERT_TRUE(packed.open(QIODevice::ReadOnly));
    const std::vector<TDamage> copies = DamagedCopies(packed.readAll());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), session.RegistryFile());
    constexpr size_t kAtOnce = 4;
    int failedCleanly = 0;
    for (size_t first = 0; first < copies.size(); first += kAtOnce) {
        std::list<QProcess> players;
        for (size_t i = first; i < std::min(copies.size(), first + kAtOnce); ++i) {
            const QString path = session.Path(QStringLiteral("damaged%1.tpk").arg(i));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(copies[i].bytes);
            out.close();
            QProcess& player = players.emplace_back();
            player.setProcessEnvironment(environment);
            player.setWorkingDirectory(session.Path(QString()));
            player.start(QStringLiteral(QXPLAY5_PATH),
                         {QStringLiteral("/R"), path, QStringLiteral("--render-pages"),
                          session.Path(QStringLiteral("pages%1").arg(i))});
        }
        size_t i = first;
        for (QProcess& player : players) {
            const std::string label = copies[i++].label.toStdString();
            ASSERT_TRUE(player.waitForFinished(60000)) << label << ": the player hangs";
            const QString err = QString::fromUtf8(player.readAllStandardError());
            ASSERT_EQ(player.exitStatus(), QProcess::NormalExit) << label << ": " << err.toStdString();
            EXPECT_TRUE(player.exitCode() == 0 || player.exitCode() == 1) << label << ": exit " << player.exitCode();
            if (player.exitCode() == 1) {
                ++failedCleanly;
                EXPECT_FALSE(err.isEmpty()) << label << ": failed without saying why";
            }
        }
    }
    EXPECT_GT(failedCleanly, 40) << "most damaged copies cannot be opened and say so";
}

} // namespace
} // namespace tomeric::testing
