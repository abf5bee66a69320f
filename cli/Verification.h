#pragma once

#include <cstdint>
#include <optional>

#include <QJsonObject>
#include <QString>

#include "link/FirmwareBlocks.h"

// What r4xx-cli tells of a read-back compared with what was written: the log line of a
// configuration's comparison (a firmware comparison logs its own), and the "verification" object
// of --json.

// The line for a configuration written, read back and compared (its address is the offset in the
// image, which starts at address 0 of the configuration memory).
QString configVerdictText(const std::optional<FlashMismatch>& mismatch);

// {"outcome": "match" or "mismatch", "bytesEqual": N, "firstMismatch": {"address", "expected",
// "actual"}}; the bytes equal are those before the first difference, or all that were compared.
QJsonObject comparisonJson(std::int64_t bytesEqual, const std::optional<FlashMismatch>& mismatch);
// A load that nothing could read back: {"outcome": "impossible"}.
QJsonObject impossibleComparisonJson();
