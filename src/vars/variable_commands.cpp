#include "vars/variable_commands.h"

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <set>

namespace tomeric {
namespace {

const QString kCarriageReturnCode = QStringLiteral("[#13]");
const QString kLineFeedCode = QStringLiteral("[#10]");

QString EncodeLineBreaks(QString value) {
    value.replace(u'\r', kCarriageReturnCode);
    value.replace(u'\n', kLineFeedCode);
    return value;
}

QString DecodeLineBreaks(QString value) {
    value.replace(kCarriageReturnCode, QStringLiteral("\r"));
    value.replace(kLineFeedCode, QStringLiteral("\n"));
    return value;
}

// Lines split at CR LF, CR or LF, as the text files of the system are read.
QStringList SplitLines(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

QString ArrayPrefix(const QString& arrayName) {
    return arrayName.contains(u'[') ? VarKey(arrayName) : arrayName;
}

// The index of an array element key, when the key is prefix + whole number.
std::optional<int> ElementIndex(const QString& key, const QString& prefix) {
    if (!key.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    const QString rest = key.mid(prefix.size());
    if (rest.trimmed() != rest) // "Item 3" is not an element
        return std::nullopt;
    return ReadInteger(rest);
}

template <class F>
void ForEachElement(const QString& prefix, F&& f) {
    auto scan = [&](const TVarStringList& list) {
        list.ForEach([&](const QString& key, const QString&, const TGenericVarInfo*) {
            if (auto index = ElementIndex(key, prefix))
                f(*index);
        });
    };
    if (const TVarStringList* locals = LocalVars())
        scan(*locals);
    scan(GlobalVars());
}

} // namespace

bool SaveVariables(const QString& fileName) {
    QByteArray bytes;
    GlobalVars().ForEach([&](const QString& key, const QString& value, const TGenericVarInfo*) {
        bytes += EncodeWindows1252(key + u'=' + EncodeLineBreaks(value));
        bytes += "\r\n";
    });
    QSaveFile file(platform::NativePath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        SetLastError(file.errorString());
        return false;
    }
    SetLastError(QString());
    return true;
}

bool LoadVariables(const QString& fileName, const FileNameResolver& resolve) {
    const QString path = resolve ? resolve(fileName) : platform::NativePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetLastError(file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        SetLastError(file.errorString());
        return false;
    }
    for (const QString& line : SplitLines(DecodeWindows1252(bytes))) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue; // no name
        SetVariable(line.left(equals), DecodeLineBreaks(line.mid(equals + 1)));
    }
    SetLastError(QString());
    return true;
}

void ClearVariables(const QString& list) {
    if (list.trimmed().isEmpty()) {
        for (const QString& key : GlobalVars().Keys())
            SetVariable(key, QString());
        return;
    }
    static const QRegularExpression separators(QStringLiteral("[,|]"));
    for (const QString& item : list.split(separators)) {
        const QString name = item.trimmed();
        if (!name.isEmpty())
            SetVariable(name, QString());
    }
}

ArrayInfo ScanArray(const QString& arrayName) {
    ArrayInfo info;
    const QString prefix = ArrayPrefix(arrayName);
    if (prefix.isEmpty())
        return info;
    ForEachElement(prefix, [&](int index) {
        info.lowest = std::min(info.lowest, index);
        info.highest = std::max(info.highest, index);
        ++info.count;
    });
    return info;
}

// Only indices that exist are visited, so "Item1" and "Item2000000000" cost
// two assignments, not two thousand million.
void DeleteArray(const QString& arrayName, const QString& upperIndex) {
    const QString prefix = ArrayPrefix(arrayName);
    if (prefix.isEmpty())
        return;
    std::set<int> indices;
    ForEachElement(prefix, [&](int index) { indices.insert(index); });
    if (indices.empty())
        return;
    const bool all = upperIndex.trimmed().compare(QLatin1String("All"), Qt::CaseInsensitive) == 0;
    const int upper = all ? *indices.rbegin() : ReadInteger(upperIndex).value_or(0);
    for (const int index : indices) {
        if (index > upper)
            break;
        SetVariable(prefix + QString::number(index), QString());
    }
}

void GetArrayInfo(const QString& arrayName, const QString& lowestVar, const QString& highestVar,
                  const QString& countVar) {
    const ArrayInfo info = ScanArray(arrayName);
    if (info.count > 0) {
        SetVariable(lowestVar, QString::number(info.lowest));
        SetVariable(highestVar, QString::number(info.highest));
    }
    SetVariable(countVar, QString::number(info.count));
}

} // namespace tomeric
