#pragma once

#include <optional>

#include <QDate>
#include <QJsonObject>
#include <QStringList>

#include "config/ConfigRecord.h"
#include "models/RecordFields.h"

// A record as a JSON document that people read, compare and keep under version control:
//
//   {"format": "r4xx-config", "version": 1,
//    "identity": {"controller": "R-420ZA", "dieId": ..., "chipId": ..., "stored": "<24 hex digits>"},
//    "crc": "0x1A2B",
//    "blocks": {"link": {"caption": "Соединение", "stored": "<hex>",
//                        "fields": {"packetSize": "512", ...}}, ...}}
//
// A field's value is its text as its editor shows it. "stored" keeps the block's bytes as the
// record holds them, so that what no field shows (reserved bits, odd stored values) is kept too.
// "caption", "controller", "dieId", "chipId" and "crc" are for the reader: import does not need
// them ("controller" names the model of a record given without its stored identity).
inline constexpr int RecordJsonVersion = 1;

// Texts are written and read in one locale and without a day of their own, so the same record
// gives the same document on every machine and every day: a date that does not read is "".
RecordView recordJsonView();

QJsonObject recordJson(const ConfigRecord& record);

// A record made from the document: the base (when none is given: the document's own stored bytes,
// over a blank record of its controller), then every field the document names whose value differs
// from what the base shows, applied through its editor's rules, each block in its editor's order.
// Any value that an editor would refuse or fit to its range refuses the whole document: the
// refusals say the field, the value and why, and there is no record. The CRC is not stamped.
struct JsonImport {
    std::optional<ConfigRecord> record;
    QStringList refusals;
};
JsonImport recordFromJson(const QJsonObject& document, const std::optional<ConfigRecord>& base,
                          const QDate& today = QDate::currentDate());
