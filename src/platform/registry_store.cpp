#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace tomeric::platform {
namespace {

constexpr std::array<std::pair<RegistryRoot, const char*>, 7> kRootNames{{
    {RegistryRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {RegistryRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegistryRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
    {RegistryRoot::Users, "HKEY_USERS"},
    {RegistryRoot::PerformanceData, "HKEY_PERFORMANCE_DATA"},
    {RegistryRoot::CurrentConfig, "HKEY_CURRENT_CONFIG"},
    {RegistryRoot::DynData, "HKEY_DYN_DATA"},
}};

constexpr std::array<std::pair<RegistryValueType, const char*>, 4> kTypeNames{{
    {RegistryValueType::String, "string"},
    {RegistryValueType::ExpandString, "expand"},
    {RegistryValueType::Integer, "integer"},
    {RegistryValueType::Binary, "binary"},
}};

// One key of the tree: its spelling, its subkeys and its named values, each
// in creation order.
struct Key {
    QString name;
    std::vector<Key> keys;
    std::vector<std::pair<QString, RegistryValue>> values;

    Key* FindKey(const QString& wanted) {
        for (Key& key : keys)
            if (key.name.compare(wanted, Qt::CaseInsensitive) == 0)
                return &key;
        return nullptr;
    }
    RegistryValue* FindValue(const QString& wanted) {
        for (auto& [valueName, value] : values)
            if (valueName.compare(wanted, Qt::CaseInsensitive) == 0)
                return &value;
        return nullptr;
    }
};

QStringList SplitKeyPath(const QString& keyPath) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    return keyPath.split(separators, Qt::SkipEmptyParts);
}

// ---- JSON form ---------------------------------------------------------

QJsonObject ValueToJson(const QString& name, const RegistryValue& value) {
    QJsonObject object;
    object[QStringLiteral("name")] = name;
    for (const auto& [type, typeName] : kTypeNames)
        if (type == value.type)
            object[QStringLiteral("type")] = QString::fromLatin1(typeName);
    switch (value.type) {
    case RegistryValueType::String:
    case RegistryValueType::ExpandString:
        object[QStringLiteral("data")] = value.text;
        break;
    case RegistryValueType::Integer:
        object[QStringLiteral("data")] = static_cast<qint64>(value.integer);
        break;
    case RegistryValueType::Binary:
        object[QStringLiteral("data")] = QString::fromLatin1(value.bytes.toHex());
        break;
    }
    return object;
}

RegistryValue ValueFromJson(const QJsonObject& object) {
    const QString typeName = object.value(QStringLiteral("type")).toString();
    const QJsonValue data = object.value(QStringLiteral("data"));
    RegistryValue value;
    for (const auto& [type, name] : kTypeNames)
        if (typeName == QLatin1String(name))
            value.type = type;
    switch (value.type) {
    case RegistryValueType::String:
    case RegistryValueType::ExpandString:
        value.text = data.toString();
        break;
    case RegistryValueType::Integer:
        value.integer = static_cast<std::int32_t>(data.toInteger());
        break;
    case RegistryValueType::Binary:
        value.bytes = QByteArray::fromHex(data.toString().toLatin1());
        break;
    }
    return value;
}

QJsonObject KeyToJson(const Key& key) {
    QJsonObject object;
    object[QStringLiteral("name")] = key.name;
    QJsonArray values;
    for (const auto& [name, value] : key.values)
        values.append(ValueToJson(name, value));
    QJsonArray keys;
    for (const Key& child : key.keys)
        keys.append(KeyToJson(child));
    object[QStringLiteral("values")] = values;
    object[QStringLiteral("keys")] = keys;
    return object;
}

Key KeyFromJson(const QJsonObject& object) {
    Key key;
    key.name = object.value(QStringLiteral("name")).toString();
    for (const QJsonValue& value : object.value(QStringLiteral("values")).toArray()) {
        const QJsonObject valueObject = value.toObject();
        key.values.emplace_back(valueObject.value(QStringLiteral("name")).toString(),
                                ValueFromJson(valueObject));
    }
    for (const QJsonValue& child : object.value(QStringLiteral("keys")).toArray())
        key.keys.push_back(KeyFromJson(child.toObject()));
    return key;
}

// ---- the file ------------------------------------------------------------

// The whole tree: one top-level key per root. A missing file is an empty
// registry; `damaged` tells a file that exists but cannot be understood.
struct Tree {
    Key top;
    bool damaged = false;
};

// Every root exists, as on Windows, even before anything was written to it.
void AddMissingRoots(Tree& tree) {
    for (const auto& [root, rootName] : kRootNames)
        if (tree.top.FindKey(QString::fromLatin1(rootName)) == nullptr)
            tree.top.keys.push_back(Key{QString::fromLatin1(rootName), {}, {}});
}

Tree ReadTreeFile(const QString& filePath) {
    Tree tree;
    QFile file(filePath);
    if (!file.exists())
        return tree;
    if (!file.open(QIODevice::ReadOnly)) {
        tree.damaged = true;
        return tree;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        tree.damaged = true;
        return tree;
    }
    for (const QJsonValue& root : document.object().value(QStringLiteral("roots")).toArray())
        tree.top.keys.push_back(KeyFromJson(root.toObject()));
    return tree;
}

Tree LoadTree(const QString& filePath) {
    Tree tree = ReadTreeFile(filePath);
    AddMissingRoots(tree);
    return tree;
}

RegistryStatus SaveTree(const QString& filePath, const Tree& tree) {
    QJsonArray roots;
    for (const Key& root : tree.top.keys)
        roots.append(KeyToJson(root));
    QJsonObject document;
    document[QStringLiteral("format")] = 1;
    document[QStringLiteral("roots")] = roots;

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(document).toJson(QJsonDocument::Indented)) < 0 || !file.commit())
        return {RegistryStatus::Code::IoError, file.errorString()};
    return {};
}

Key* FindPath(Key& top, RegistryRoot root, const QString& keyPath) {
    Key* key = top.FindKey(RegistryRootName(root));
    for (const QString& name : SplitKeyPath(keyPath)) {
        if (key == nullptr)
            return nullptr;
        key = key->FindKey(name);
    }
    return key;
}

Key& CreatePath(Key& top, RegistryRoot root, const QString& keyPath) {
    QStringList names = SplitKeyPath(keyPath);
    names.prepend(RegistryRootName(root));
    Key* key = &top;
    for (const QString& name : names) {
        Key* child = key->FindKey(name);
        if (child == nullptr) {
            key->keys.push_back(Key{name, {}, {}});
            child = &key->keys.back();
        }
        key = child;
    }
    return *key;
}

// Read-modify-write of the file under its lock file. A file that cannot be
// understood is kept aside as "<file>.damaged" instead of being overwritten.
RegistryStatus ModifyTree(const QString& filePath, const std::function<RegistryStatus(Key&)>& change) {
    const QFileInfo info(filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return {RegistryStatus::Code::IoError,
                QStringLiteral("Cannot create the folder %1").arg(info.absolutePath())};
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return {RegistryStatus::Code::IoError,
                QStringLiteral("The registry file %1 is locked by another program").arg(filePath)};
    Tree tree = LoadTree(filePath);
    if (tree.damaged) {
        const QString aside = filePath + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(filePath, aside);
        tree = Tree{};
        AddMissingRoots(tree);
    }
    const RegistryStatus status = change(tree.top);
    if (!status.ok())
        return status;
    return SaveTree(filePath, tree);
}

} // namespace

RegistryRoot RegistryRootFromName(const QString& name) {
    const QString trimmed = name.trimmed();
    for (const auto& [root, rootName] : kRootNames)
        if (trimmed.compare(QLatin1String(rootName), Qt::CaseInsensitive) == 0)
            return root;
    return RegistryRoot::CurrentUser;
}

QString RegistryRootName(RegistryRoot root) {
    for (const auto& [candidate, rootName] : kRootNames)
        if (candidate == root)
            return QString::fromLatin1(rootName);
    return QStringLiteral("HKEY_CURRENT_USER");
}

RegistryValue RegistryValue::FromString(const QString& text) {
    RegistryValue value;
    value.type = RegistryValueType::String;
    value.text = text;
    return value;
}

RegistryValue RegistryValue::FromInteger(std::int32_t number) {
    RegistryValue value;
    value.type = RegistryValueType::Integer;
    value.integer = number;
    return value;
}

RegistryValue RegistryValue::FromBytes(const QByteArray& bytes) {
    RegistryValue value;
    value.type = RegistryValueType::Binary;
    value.bytes = bytes;
    return value;
}

RegistryStore::RegistryStore() : filePath_(DefaultFilePath()) {}

RegistryStore::RegistryStore(QString filePath) : filePath_(std::move(filePath)) {}

QString RegistryStore::DefaultFilePath() {
    const QString overridden = qEnvironmentVariable("TOMERIC_REGISTRY_FILE");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tomeric/registry.json");
}

bool RegistryStore::KeyExists(RegistryRoot root, const QString& keyPath) const {
    Tree tree = LoadTree(filePath_);
    return FindPath(tree.top, root, keyPath) != nullptr;
}

RegistryStatus RegistryStore::ReadValue(RegistryRoot root, const QString& keyPath,
                                        const QString& valueName, RegistryValue* value) const {
    Tree tree = LoadTree(filePath_);
    Key* key = FindPath(tree.top, root, keyPath);
    if (key == nullptr)
        return {RegistryStatus::Code::KeyNotFound, {}};
    const RegistryValue* found = key->FindValue(valueName);
    if (found == nullptr)
        return {RegistryStatus::Code::ValueNotFound, {}};
    if (value != nullptr)
        *value = *found;
    return {};
}

std::optional<RegistryValueType> RegistryStore::ValueType(RegistryRoot root, const QString& keyPath,
                                                          const QString& valueName) const {
    RegistryValue value;
    if (!ReadValue(root, keyPath, valueName, &value).ok())
        return std::nullopt;
    return value.type;
}

RegistryStatus RegistryStore::WriteValue(RegistryRoot root, const QString& keyPath,
                                         const QString& valueName, const RegistryValue& value) {
    return ModifyTree(filePath_, [&](Key& top) {
        Key& key = CreatePath(top, root, keyPath);
        if (RegistryValue* existing = key.FindValue(valueName))
            *existing = value;
        else
            key.values.emplace_back(valueName, value);
        return RegistryStatus{};
    });
}

RegistryStatus RegistryStore::DeleteValue(RegistryRoot root, const QString& keyPath,
                                          const QString& valueName) {
    return ModifyTree(filePath_, [&](Key& top) {
        Key* key = FindPath(top, root, keyPath);
        if (key == nullptr)
            return RegistryStatus{RegistryStatus::Code::KeyNotFound, {}};
        const auto before = key->values.size();
        std::erase_if(key->values, [&](const auto& entry) {
            return entry.first.compare(valueName, Qt::CaseInsensitive) == 0;
        });
        if (key->values.size() == before)
            return RegistryStatus{RegistryStatus::Code::ValueNotFound, {}};
        return RegistryStatus{};
    });
}

RegistryStatus RegistryStore::DeleteKey(RegistryRoot root, const QString& keyPath) {
    QStringList names = SplitKeyPath(keyPath);
    if (names.isEmpty())
        return {RegistryStatus::Code::KeyNotFound, {}}; // a root cannot be deleted
    const QString last = names.takeLast();
    return ModifyTree(filePath_, [&](Key& top) {
        Key* parent = FindPath(top, root, names.join(u'\\'));
        if (parent == nullptr || parent->FindKey(last) == nullptr)
            return RegistryStatus{RegistryStatus::Code::KeyNotFound, {}};
        std::erase_if(parent->keys, [&](const Key& key) {
            return key.name.compare(last, Qt::CaseInsensitive) == 0;
        });
        return RegistryStatus{};
    });
}

} // namespace tomeric::platform
