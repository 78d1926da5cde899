#pragma once
// The registry as publications know it from Windows, kept in a per-user file.
//
// Publications read and write values under the Windows root keys
// (HKEY_CURRENT_USER\Software\Vendor\Value ...) and the player keeps its own
// window position there. Here every root is a top-level key of one JSON
// document stored under the XDG configuration folder:
//
//     $XDG_CONFIG_HOME/tomeric/registry.json   (usually ~/.config/...)
//
// The environment variable TOMERIC_REGISTRY_FILE names another file (tests,
// portable installations). Key and value names match case-insensitively and
// keep the spelling they were created with; values keep their type (string,
// integer, binary). Every change rewrites the whole file through a temporary
// file that is renamed over the old one, under a lock file, so a crash never
// leaves half a registry and two players never lose each other's changes.
//
// A store object holds nothing but the file name: every operation reads the
// file afresh, so values written by another process are seen at once.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace tomeric::platform {

enum class RegistryRoot : std::uint8_t {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData,
};

// The root a script names: "HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS", "HKEY_CURRENT_CONFIG", "HKEY_PERFORMANCE_DATA",
// "HKEY_DYN_DATA" (case-insensitive, surrounding blanks ignored); anything
// else, the empty text included, is the current user's root.
RegistryRoot RegistryRootFromName(const QString& name);
// The full "HKEY_..." name of a root, as it is stored in the file.
QString RegistryRootName(RegistryRoot root);

enum class RegistryValueType : std::uint8_t {
    String,       // REG_SZ
    ExpandString, // REG_EXPAND_SZ (kept as written; read as text)
    Integer,      // REG_DWORD, a signed 32-bit number
    Binary,       // REG_BINARY
};

struct RegistryValue {
    RegistryValueType type = RegistryValueType::String;
    QString text;            // String, ExpandString
    std::int32_t integer = 0;// Integer
    QByteArray bytes;        // Binary

    static RegistryValue FromString(const QString& text);
    static RegistryValue FromInteger(std::int32_t value);
    static RegistryValue FromBytes(const QByteArray& bytes);
    bool operator==(const RegistryValue&) const = default;
};

// Outcome of an operation: ok, or the key could not be opened (missing when
// reading), or the file could not be read or written (errorText says why).
struct RegistryStatus {
    enum class Code : std::uint8_t { Ok, KeyNotFound, ValueNotFound, IoError };
    Code code = Code::Ok;
    QString errorText;
    bool ok() const { return code == Code::Ok; }
};

class RegistryStore {
public:
    // The store at the default location (TOMERIC_REGISTRY_FILE when set).
    RegistryStore();
    explicit RegistryStore(QString filePath);

    // $TOMERIC_REGISTRY_FILE, else <GenericConfigLocation>/tomeric/registry.json.
    static QString DefaultFilePath();
    const QString& FilePath() const { return filePath_; }

    // Key paths use "\" (or "/") between names; leading and trailing
    // separators are ignored; the empty path is the root itself. The empty
    // value name is the key's default value.
    bool KeyExists(RegistryRoot root, const QString& keyPath) const;
    RegistryStatus ReadValue(RegistryRoot root, const QString& keyPath, const QString& valueName,
                             RegistryValue* value) const;
    // The type of an existing value (nullopt when key or value is missing).
    std::optional<RegistryValueType> ValueType(RegistryRoot root, const QString& keyPath,
                                               const QString& valueName) const;
    // Creates the key and its missing parents, then stores the value
    // (replacing any value of that name, whatever its type).
    RegistryStatus WriteValue(RegistryRoot root, const QString& keyPath, const QString& valueName,
                              const RegistryValue& value);
    RegistryStatus DeleteValue(RegistryRoot root, const QString& keyPath, const QString& valueName);
    // Removes the key with everything below it.
    RegistryStatus DeleteKey(RegistryRoot root, const QString& keyPath);

private:
    QString filePath_;
};

} // namespace tomeric::platform
