// A record's JSON form: any 212 bytes that open (their CRC stamped) are exported and imported
// back, through the document's text, to the same bytes, alone and over themselves as the base;
// and the whole input, read as a JSON document, is imported alone and over that record without
// harm, a record it makes exporting and importing back to itself.

#include <algorithm>
#include <cstdint>
#include <optional>

#include <QJsonDocument>

#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "models/RecordJson.h"

namespace {

const TCrc crc;

ConfigRecord recordOf(FuzzInput& input)
{
    ConfigRecord record;
    const std::vector<std::uint8_t> given = input.bytes(record.bytes.size());
    std::copy(given.begin(), given.end(), record.bytes.begin());
    stampCrc(crc, record);
    return record;
}

// The record that the document's text gives back, its CRC stamped.
std::optional<ConfigRecord> imported(const QJsonObject& document,
                                     const std::optional<ConfigRecord>& base)
{
    const QJsonObject read = QJsonDocument::fromJson(QJsonDocument(document).toJson()).object();
    JsonImport result = recordFromJson(read, base);
    if (!result.record)
        return std::nullopt;
    stampCrc(crc, *result.record);
    return result.record;
}

void checkRoundTrip(const ConfigRecord& record)
{
    const QJsonObject document = recordJson(record);
    const std::optional<ConfigRecord> alone = imported(document, std::nullopt);
    require(alone && alone->bytes == record.bytes, "export then import gives back every byte");
    const std::optional<ConfigRecord> over = imported(document, record);
    require(over && over->bytes == record.bytes, "a record's own document changes nothing of it");
}

void checkDocument(const QByteArray& text, const ConfigRecord& base)
{
    const QJsonObject document = QJsonDocument::fromJson(text).object();
    for (const std::optional<ConfigRecord>& start : {std::optional<ConfigRecord>(), std::optional(base)}) {
        JsonImport result = recordFromJson(document, start);
        require(result.record.has_value() == result.refusals.isEmpty(),
                "an import gives a record or says why not");
        if (!result.record)
            continue;
        stampCrc(crc, *result.record);
        checkRoundTrip(*result.record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const ConfigRecord record = recordOf(input);
    checkRoundTrip(record);
    checkDocument(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), record);
    return 0;
}
