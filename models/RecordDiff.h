#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/InfoTexts.h" // crcText
#include "models/RecordFields.h"

// What differs between two records, in the editors' words: the fields whose shown texts differ,
// the identity blocks and the CRC words, and every other byte that differs in bits no differing
// field reads (reserved bits, or two stored values that the editor shows alike), so that nothing
// that differs is hidden.
struct FieldDifference {
    EditorBlock block;
    const Field* field;
    QString label;
    std::optional<QString> first; // none: the first record's controller has no such field
    std::optional<QString> second;
};

struct ByteDifference {
    int offset;
    std::uint8_t first;
    std::uint8_t second;
};

template <typename Value>
struct Pair {
    Value first;
    Value second;
};

struct RecordDifferences {
    std::optional<Pair<QString>> identity; // each controller, its Die ID and Chip ID
    std::optional<Pair<std::uint16_t>> crc;
    std::vector<FieldDifference> fields;
    std::vector<ByteDifference> bytes;

    bool empty() const { return !identity && !crc && fields.empty() && bytes.empty(); }
};

RecordDifferences compareRecords(const ConfigRecord& first, const ConfigRecord& second,
                                 const RecordView& view = {});

// A record's identity block as one line: "R-420ZA, Die ID 0001:2345:00AB:0C00, Chip ID 5".
QString identityLine(const ConfigRecord& record);
