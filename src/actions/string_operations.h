#pragma once
// The text operations behind the string and file-name commands, free of the
// evaluator so they can be tested and reused. Positions count from 1, as
// scripts write them; out-of-range positions and counts are clamped, never
// an error.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tomeric {

// ---- numbers as commands receive them ------------------------------------

// A whole number written in a parameter: "12", " -3 ", "4.0" or "4,0" (either
// decimal mark; the fraction is dropped). Nothing for any other text.
std::optional<std::int64_t> ParseWholeNumber(const QString& text);
// The same with 0 for texts that are not numbers (positions and counts of
// the string commands, which cannot fail).
std::int64_t WholeNumberOrZero(const QString& text);

// ---- string commands -------------------------------------------------------

// `target` with `insert` put before `position`; below 1 inserts at the
// start, beyond the end appends.
QString InsertText(const QString& insert, const QString& target, std::int64_t position);
// `text` without `count` characters from `position`; a position outside the
// text or a count below 1 changes nothing.
QString DeleteText(const QString& text, std::int64_t position, std::int64_t count);
// Up to `count` characters from `position` (below 1 counts as 1); empty
// beyond the end or for a count below 1.
QString CopyText(const QString& text, std::int64_t position, std::int64_t count);
// Position of the first occurrence of `find` in `text`, 0 when absent or
// when `find` is empty.
std::int64_t FindText(const QString& find, const QString& text, Qt::CaseSensitivity cs);
// Every occurrence of `find` replaced, left to right, without rescanning
// replaced text; an empty `find` changes nothing.
QString ReplaceText(const QString& text, const QString& find, const QString& replacement,
                    Qt::CaseSensitivity cs);
// StrParse: the pieces before each delimiter (empty ones included), plus
// the rest after the last delimiter when it is not empty. An empty
// delimiter never matches.
QStringList ParsePieces(const QString& text, const QString& delimiter);
// True when `options` holds `word` anywhere, ignoring case.
bool HasOption(const QString& options, const QString& word);

// ---- file names as text ----------------------------------------------------
// "\" and "/" separate folders, a drive is "X:" or "\\server\share".

// The folder with its trailing separator ("C:\a\b.txt" -> "C:\a\").
QString ExtractFilePath(const QString& name);
// What follows the folder ("C:\a\b.txt" -> "b.txt").
QString ExtractFileName(const QString& name);
// The extension with its dot, empty when none ("b.tar.gz" -> ".gz").
QString ExtractFileExt(const QString& name);
// "C:" for "C:\a", "\\srv\share" for "\\srv\share\a", else empty.
QString ExtractFileDrive(const QString& name);
// The name with its extension replaced by (or extended with) `extension`.
QString ChangeFileExt(const QString& name, const QString& extension);

} // namespace tomeric
