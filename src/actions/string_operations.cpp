#include "actions/string_operations.h"

#include "platform/decimal_symbol.h"
#include "platform/paths.h"

#include <algorithm>
#include <cmath>

namespace tomeric {
namespace {

bool IsSeparator(QChar c) { return c == u'\\' || c == u'/'; }

// Clamp to the range a QString index can take.
qsizetype ToIndex(std::int64_t value) {
    return static_cast<qsizetype>(std::clamp<std::int64_t>(value, -1, INT32_MAX));
}

} // namespace

std::optional<std::int64_t> ParseWholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong whole = trimmed.toLongLong(&ok);
    if (ok)
        return whole;
    QString normalised = trimmed;
    normalised.replace(DecimalSymbol(), u'.');
    normalised.replace(u',', u'.');
    const double number = normalised.toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 9.0e18)
        return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(number));
}

std::int64_t WholeNumberOrZero(const QString& text) { return ParseWholeNumber(text).value_or(0); }

QString InsertText(const QString& insert, const QString& target, std::int64_t position) {
    const qsizetype at = std::clamp<qsizetype>(ToIndex(position) - 1, 0, target.size());
    QString result = target;
    result.insert(at, insert);
    return result;
}

QString DeleteText(const QString& text, std::int64_t position, std::int64_t count) {
    if (position < 1 || position > text.size() || count < 1)
        return text;
    QString result = text;
    result.remove(ToIndex(position) - 1, ToIndex(count));
    return result;
}

QString CopyText(const QString& text, std::int64_t position, std::int64_t count) {
    const std::int64_t start = std::max<std::int64_t>(position, 1);
    if (start > text.size() || count < 1)
        return {};
    return text.mid(ToIndex(start) - 1, ToIndex(count));
}

std::int64_t FindText(const QString& find, const QString& text, Qt::CaseSensitivity cs) {
    if (find.isEmpty())
        return 0;
    return text.indexOf(find, 0, cs) + 1;
}

QString ReplaceText(const QString& text, const QString& find, const QString& replacement,
                    Qt::CaseSensitivity cs) {
    if (find.isEmpty())
        return text;
    QString result = text;
    return result.replace(find, replacement, cs);
}

QStringList ParsePieces(const QString& text, const QString& delimiter) {
    QStringList pieces;
    qsizetype start = 0;
    if (!delimiter.isEmpty()) {
        for (qsizetype at = text.indexOf(delimiter); at >= 0; at = text.indexOf(delimiter, start)) {
            pieces.append(text.mid(start, at - start));
            start = at + delimiter.size();
        }
    }
    if (start < text.size())
        pieces.append(text.mid(start));
    return pieces;
}

bool HasOption(const QString& options, const QString& word) {
    return options.contains(word, Qt::CaseInsensitive);
}

QString ExtractFilePath(const QString& name) { return platform::FolderPart(name); }

QString ExtractFileName(const QString& name) { return platform::FilePart(name); }

QString ExtractFileExt(const QString& name) { return platform::ExtensionPart(name); }

QString ExtractFileDrive(const QString& name) {
    if (name.size() >= 2 && name[1] == u':')
        return name.left(2);
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
        // "\\server\share": up to the separator that follows the share.
        int separators = 0;
        for (qsizetype i = 2; i < name.size(); ++i) {
            if (IsSeparator(name[i]) && ++separators == 2)
                return name.left(i);
        }
        return name;
    }
    return {};
}

QString ChangeFileExt(const QString& name, const QString& extension) {
    const QString current = ExtractFileExt(name);
    return name.left(name.size() - current.size()) + extension;
}

} // namespace tomeric
