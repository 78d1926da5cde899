#pragma once
// Publication settings records: one binding table (publication_settings.cpp)
// says which field each settings key sets; the same table describes which
// settings differ from their defaults.

#include "publication/publication_model.h"
#include "publication/record_reader.h"

#include <QList>
#include <QPair>
#include <QString>

namespace tomeric {

// Applies a settings record (SCREENCOLORS= only for real colour counts,
// BIDIMODE= only 0..3, CACHESIZE= at least 1, font style's low four bits,
// EXTRACTOP='s low byte). False when the tag is not a setting.
bool ApplySettingRecord(TPublicationSettings& settings, TRecord& record);

// The settings whose value differs from the default, as (key, value) in
// key-table order: "SCREENWIDTH=" "800", "ALLOWESC=" "No", texts as stored.
QList<QPair<QString, QString>> SettingsDifferingFromDefaults(const TPublicationSettings& settings);

} // namespace tomeric
