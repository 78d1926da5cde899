#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>

#include <gtest/gtest.h>

namespace tomeric::platform {
namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString FilePath() const { return dir.filePath(QStringLiteral("sub/registry.json")); }
    RegistryStore Store() const { return RegistryStore(FilePath()); }
};

TEST(RegistryRootNames, LongNamesSelectTheirRootAnythingElseIsTheCurrentUser) {
    struct Case {
        const char* name;
        RegistryRoot root;
    };
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {"  hkey_local_machine ", RegistryRoot::LocalMachine},
        {"HKEY_USERS", RegistryRoot::Users},
        {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
        {"HKEY_PERFORMANCE_DATA", RegistryRoot::PerformanceData},
        {"HKEY_DYN_DATA", RegistryRoot::DynData},
        {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {"HKLM", RegistryRoot::CurrentUser},
        {"", RegistryRoot::CurrentUser},
        {"whatever", RegistryRoot::CurrentUser},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegistryRootFromName(QString::fromLatin1(c.name)), c.root) << c.name;
}

TEST_F(RegistryStoreTest, ValuesKeepTheirTypeAcrossReopening) {
    {
        RegistryStore store = Store();
        ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Vendor"),
                                     QStringLiteral("Name"), RegistryValue::FromString(QStringLiteral("Zoé")))
                        .ok());
        ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Vendor"),
                                     QStringLiteral("Count"), RegistryValue::FromInteger(-42))
                        .ok());
        ASSERT_TRUE(store.WriteValue(RegistryRoot::LocalMachine, QStringLiteral("Software\\Vendor"),
                                     QStringLiteral("Blob"),
                                     RegistryValue::FromBytes(QByteArray("a\0b\xff", 4)))
                        .ok());
    }
    RegistryStore reopened = Store();
    RegistryValue value;
    ASSERT_TRUE(reopened.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Vendor"),
                                   QStringLiteral("Name"), &value).ok());
    EXPECT_EQ(value, RegistryValue::FromString(QStringLiteral("Zoé")));
    ASSERT_TRUE(reopened.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Vendor"),
                                   QStringLiteral("Count"), &value).ok());
    EXPECT_EQ(value, RegistryValue::FromInteger(-42));
    ASSERT_TRUE(reopened.ReadValue(RegistryRoot::LocalMachine, QStringLiteral("Software\\Vendor"),
                                   QStringLiteral("Blob"), &value).ok());
    EXPECT_EQ(value, RegistryValue::FromBytes(QByteArray("a\0b\xff", 4)));
}

TEST_F(RegistryStoreTest, KeyAndValueNamesMatchWhateverTheirCase) {
    RegistryStore store = Store();
    ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Vendor\\App"),
                                 QStringLiteral("Left"), RegistryValue::FromInteger(10)).ok());
    ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("SOFTWARE/vendor/APP/"),
                                 QStringLiteral("LEFT"), RegistryValue::FromInteger(20)).ok());
    RegistryValue value;
    ASSERT_TRUE(store.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("software\\VENDOR\\app"),
                                QStringLiteral("left"), &value).ok());
    EXPECT_EQ(value.integer, 20);
    EXPECT_TRUE(store.KeyExists(RegistryRoot::CurrentUser, QStringLiteral("SoftWare\\Vendor")));
}

TEST_F(RegistryStoreTest, RootsAreSeparate) {
    RegistryStore store = Store();
    ASSERT_TRUE(store.WriteValue(RegistryRoot::LocalMachine, QStringLiteral("K"), QStringLiteral("V"),
                                 RegistryValue::FromString(QStringLiteral("x"))).ok());
    EXPECT_EQ(store.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("V"), nullptr).code,
              RegistryStatus::Code::KeyNotFound);
}

TEST_F(RegistryStoreTest, MissingKeysAndValuesAreToldApart) {
    RegistryStore store = Store();
    EXPECT_EQ(store.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("Nope"), QStringLiteral("V"), nullptr).code,
              RegistryStatus::Code::KeyNotFound);
    ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("Yes"), QStringLiteral("V"),
                                 RegistryValue::FromString(QStringLiteral("x"))).ok());
    EXPECT_EQ(store.ReadValue(RegistryRoot::CurrentUser, QStringLiteral("Yes"), QStringLiteral("W"), nullptr).code,
              RegistryStatus::Code::ValueNotFound);
    EXPECT_TRUE(store.KeyExists(RegistryRoot::CurrentUser, QString())) << "roots always exist";
}

TEST_F(RegistryStoreTest, DeletingValuesAndKeys) {
    RegistryStore store = Store();
    ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("V"),
                                 RegistryValue::FromString(QStringLiteral("x"))).ok());
    EXPECT_TRUE(store.DeleteValue(RegistryRoot::CurrentUser, QStringLiteral("a\\b"), QStringLiteral("v")).ok());
    EXPECT_FALSE(store.ValueType(RegistryRoot::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("V")));
    EXPECT_TRUE(store.DeleteKey(RegistryRoot::CurrentUser, QStringLiteral("A")).ok());
    EXPECT_FALSE(store.KeyExists(RegistryRoot::CurrentUser, QStringLiteral("A\\B")));
}

TEST_F(RegistryStoreTest, WritesLeaveNoTemporaryFilesBehind) {
    RegistryStore store = Store();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("V"),
                                     RegistryValue::FromInteger(i)).ok());
    const QStringList files = QDir(QFileInfo(FilePath()).absolutePath()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{QStringLiteral("registry.json")});
}

TEST_F(RegistryStoreTest, TwoWritersAtOnceLoseNothing) {
    constexpr int kWrites = 10;
    auto writer = [this](const QString& name) {
        RegistryStore store = Store();
        for (int i = 0; i < kWrites; ++i)
            store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("K"), name + QString::number(i),
                             RegistryValue::FromInteger(i));
    };
    std::thread first(writer, QStringLiteral("a"));
    std::thread second(writer, QStringLiteral("b"));
    first.join();
    second.join();
    RegistryStore store = Store();
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_TRUE(store.ValueType(RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("a%1").arg(i)));
        EXPECT_TRUE(store.ValueType(RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("b%1").arg(i)));
    }
}

TEST_F(RegistryStoreTest, ADamagedFileIsKeptAsideNotOverwritten) {
    QDir().mkpath(QFileInfo(FilePath()).absolutePath());
    QFile damaged(FilePath());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ not json");
    damaged.close();

    RegistryStore store = Store();
    EXPECT_FALSE(store.KeyExists(RegistryRoot::CurrentUser, QStringLiteral("K")));
    ASSERT_TRUE(store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("V"),
                                 RegistryValue::FromInteger(1)).ok());
    QFile aside(FilePath() + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("{ not json"));
    EXPECT_TRUE(store.KeyExists(RegistryRoot::CurrentUser, QStringLiteral("K")));
}

TEST_F(RegistryStoreTest, AnUnwritableLocationReportsAnError) {
    RegistryStore store(QStringLiteral("/proc/tomeric-no-such-place/registry.json"));
    const RegistryStatus status = store.WriteValue(RegistryRoot::CurrentUser, QStringLiteral("K"),
                                                   QStringLiteral("V"), RegistryValue::FromInteger(1));
    EXPECT_EQ(status.code, RegistryStatus::Code::IoError);
    EXPECT_FALSE(status.errorText.isEmpty());
}

TEST(RegistryStoreLocation, TheEnvironmentVariableOverridesTheDefault) {
    qputenv("TOMERIC_REGISTRY_FILE", "/tmp/elsewhere/reg.json");
    EXPECT_EQ(RegistryStore().FilePath(), QStringLiteral("/tmp/elsewhere/reg.json"));
    qunsetenv("TOMERIC_REGISTRY_FILE");
    EXPECT_TRUE(RegistryStore::DefaultFilePath().endsWith(QStringLiteral("/tomeric/registry.json")));
}

} // namespace
} // namespace tomeric::platform
