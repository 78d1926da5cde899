// RegistryRead and RegistryWrite over the per-user registry store. The path
// parameter is split at its last backslash into the key and the value name
// ("Software\Vendor\Value"); the root parameter selects the root key.

#include "actions/registry_commands.h"

#include "platform/cp1252.h"
#include "platform/registry_store.h"
#include "platform/string_table.h"

namespace tomeric {
namespace {

using platform::RegistryRoot;
using platform::RegistryStatus;
using platform::RegistryStore;
using platform::RegistryValue;
using platform::RegistryValueType;

struct RegistryPath {
    QString key;
    QString valueName;
};

RegistryPath SplitRegistryPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    if (slash < 0)
        return {QString(), path};
    return {path.left(slash), path.mid(slash + 1)};
}

// The text a script reads: integers in decimal, binary data as characters
// without its zero bytes, everything else as written.
QString ValueAsText(const RegistryValue& value) {
    switch (value.type) {
    case RegistryValueType::Integer:
        return QString::number(value.integer);
    case RegistryValueType::Binary: {
        QByteArray bytes = value.bytes;
        bytes.replace('\0', QByteArray());
        return DecodeWindows1252(bytes);
    }
    case RegistryValueType::String:
    case RegistryValueType::ExpandString:
        break;
    }
    return value.text;
}

// The value a script's text becomes: an existing integer value stays an
// integer when the text is one (empty is 0), an existing binary value takes
// the text's bytes (empty is one zero byte), anything else is a string.
RegistryValue ValueFromText(const QString& text, std::optional<RegistryValueType> existing) {
    if (existing == RegistryValueType::Integer) {
        if (text.isEmpty())
            return RegistryValue::FromInteger(0);
        bool ok = false;
        const int number = text.trimmed().toInt(&ok);
        if (ok)
            return RegistryValue::FromInteger(number);
    }
    if (existing == RegistryValueType::Binary)
        return RegistryValue::FromBytes(text.isEmpty() ? QByteArray(1, '\0') : EncodeWindows1252(text));
    return RegistryValue::FromString(text);
}

} // namespace

// RegistryRead "root" "path" "[var]": the variable changes only on success.
void CmdRegistryRead(CommandContext& ctx) {
    const QString path = ctx.Param(2).trimmed();
    if (path.isEmpty())
        return;
    const RegistryRoot root = platform::RegistryRootFromName(ctx.Param(1));
    const RegistryPath where = SplitRegistryPath(path);
    RegistryValue value;
    const RegistryStatus status = RegistryStore().ReadValue(root, where.key, where.valueName, &value);
    switch (status.code) {
    case RegistryStatus::Code::KeyNotFound:
        ctx.SetLastError(Message(msgInvalidRegistryKey));
        return;
    case RegistryStatus::Code::IoError:
        ctx.SetLastError(status.errorText);
        return;
    case RegistryStatus::Code::ValueNotFound:
        value = RegistryValue::FromString(QString()); // a missing value reads as empty text
        break;
    case RegistryStatus::Code::Ok:
        break;
    }
    ctx.ClearLastError();
    ctx.SetResult(3, ValueAsText(value));
}

// RegistryWrite "root" "path" "value": the key is created when missing.
void CmdRegistryWrite(CommandContext& ctx) {
    const QString path = ctx.Param(2).trimmed();
    if (path.isEmpty())
        return;
    const RegistryRoot root = platform::RegistryRootFromName(ctx.Param(1));
    const RegistryPath where = SplitRegistryPath(path);
    RegistryStore store;
    const RegistryValue value =
        ValueFromText(ctx.Param(3), store.ValueType(root, where.key, where.valueName));
    const RegistryStatus status = store.WriteValue(root, where.key, where.valueName, value);
    ctx.SetLastError(status.ok() ? QString() : status.errorText);
}

} // namespace tomeric
