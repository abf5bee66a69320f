#pragma once

#include <QJsonObject>
#include <QStringList>

#include "config/ConfigRecord.h"
#include "models/RecordDiff.h"
#include "models/RecordFields.h"

// What show and diff print of records, as lines and as JSON.

// The identity and CRC lines, then each block's caption and its fields, a label and its value on
// each line, the values lined up; a value of several lines goes on under the first.
QStringList recordLines(const ConfigRecord& record, const RecordView& view);
QJsonObject recordFieldsJson(const ConfigRecord& record, const RecordView& view);

// One line for each difference: "Соединение: N1: 3 → 5"; a field one controller lacks has "—"
// there.
QStringList differenceLines(const RecordDifferences& differences);
QJsonObject differencesJson(const RecordDifferences& differences);
