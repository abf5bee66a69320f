#include <gtest/gtest.h>

#include <QJsonDocument>

#include "config/BoardBlock.h"
#include "models/RecordFields.h"
#include "models/RecordJson.h"
#include "support/SampleRecords.h"

namespace {

QJsonObject throughText(const QJsonObject& document)
{
    return QJsonDocument::fromJson(QJsonDocument(document).toJson()).object();
}

QJsonObject handWritten(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

QString shownOf(const ConfigRecord& record, EditorBlock block, const char* key)
{
    for (const FieldReading& reading : describeBlock(record, block, recordJsonView()))
        if (QLatin1StringView(reading.field->key) == QLatin1StringView(key))
            return reading.shown;
    return QStringLiteral("(not shown)");
}

bool onlyZerosOutside(const ConfigRecord& record, const std::vector<BlockSpan>& spans)
{
    for (int offset = Blocks::CrcWord.end(); offset < Blocks::Identity.offset; ++offset) {
        const bool inside = std::any_of(spans.begin(), spans.end(), [&](const BlockSpan& span) {
            return offset >= span.offset && offset < span.end();
        });
        if (!inside && record.bytes[static_cast<std::size_t>(offset)] != 0)
            return false;
    }
    return true;
}

} // namespace

TEST(RecordJson, ExportNamesEveryFieldInTheEditorsWordsWithTheBytesItKeeps)
{
    const QJsonObject document = recordJson(benchRecord());
    EXPECT_EQ(document["format"].toString(), "r4xx-config");
    EXPECT_EQ(document["version"].toInt(), 1);
    EXPECT_EQ(document["crc"].toString(), "0x6823");
    const QJsonObject identity = document["identity"].toObject();
    EXPECT_EQ(identity["controller"].toString(), "R-420ZA");
    EXPECT_EQ(identity["dieId"].toString(), "0001:2345:00AB:0C00");
    EXPECT_EQ(identity["stored"].toString(), "002001004523ab00000c0500");

    const QJsonObject blocks = document["blocks"].toObject();
    EXPECT_EQ(blocks.keys(), (QStringList{"amplifier", "board", "codec", "link", "net", "recorder",
                                          "vocoder"}));
    const QJsonObject link = blocks["link"].toObject();
    EXPECT_EQ(link["caption"].toString(), "Соединение");
    EXPECT_EQ(link["stored"].toString(), "001f000a000a000700200008000400200003");
    const QJsonObject linkFields = link["fields"].toObject();
    EXPECT_EQ(linkFields["packetSize"].toString(), "512");
    EXPECT_EQ(linkFields["retransmissionPeriod"].toString(), "250");
    EXPECT_EQ(linkFields["adaptiveTimers"].toString(), "да");
    const QJsonObject board = blocks["board"].toObject()["fields"].toObject();
    EXPECT_EQ(board["date"].toString(), "12.03.2025");
    EXPECT_EQ(board["description"].toString(), "Стенд сервисного отдела");
    EXPECT_EQ(board["hardwareAddress"].toString(), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(blocks["net"].toObject()["fields"].toObject()["remoteIp"].toString(), "192.168.1.11");
    EXPECT_EQ(blocks["codec"].toObject()["fields"].toObject()["sampleRate"].toString(), "48/48 кГц");
}

TEST(RecordJson, ExportThenImportGivesBackEveryByteOfRecordsOfAnyBytes)
{
    std::vector<ConfigRecord> records = oddRecords(300);
    records.push_back(benchRecord());
    for (const ConfigRecord& record : records) {
        const JsonImport imported = recordFromJson(throughText(recordJson(record)), std::nullopt);
        ASSERT_TRUE(imported.record) << imported.refusals.join(u'\n').toStdString();
        ConfigRecord stamped = *imported.record;
        stampCrc(TCrc(), stamped);
        ASSERT_EQ(stamped.bytes, record.bytes) << QJsonDocument(recordJson(record)).toJson().toStdString();
    }
}

TEST(RecordJson, ADateThatDoesNotReadIsEmptyEveryDay)
{
    ConfigRecord record = benchRecord();
    std::fill_n(record.data(Blocks::Board) + BoardBlock::Date.offset, 4, 'x');
    stampCrc(TCrc(), record);
    const QJsonObject document = recordJson(record);
    EXPECT_EQ(document["blocks"].toObject()["board"].toObject()["fields"].toObject()["date"].toString(), "");
    JsonImport imported = recordFromJson(document, std::nullopt, QDate(2031, 1, 2));
    ASSERT_TRUE(imported.record);
    stampCrc(TCrc(), *imported.record);
    EXPECT_EQ(imported.record->bytes, record.bytes);
}

TEST(RecordJson, AHandWrittenDocumentIsABlankRecordOfItsControllerWithItsValues)
{
    const JsonImport imported = recordFromJson(handWritten(R"({
        "format": "r4xx-config", "version": 1,
        "identity": {"controller": "R-420ZB"},
        "blocks": {"link": {"fields": {"packetSize": "256", "acknowledgement": "да"}},
                   "net": {"fields": {"ip": "10.0.0.7", "port": 40000}}}})"),
                                               std::nullopt);
    ASSERT_TRUE(imported.record) << imported.refusals.join(u'\n').toStdString();
    const ConfigRecord& record = *imported.record;
    EXPECT_EQ(record.typeWord(), 0x2001);
    EXPECT_EQ(shownOf(record, EditorBlock::Link, "packetSize"), "256");
    EXPECT_EQ(shownOf(record, EditorBlock::Link, "acknowledgement"), "да");
    EXPECT_EQ(shownOf(record, EditorBlock::Net, "ip"), "10.0.0.7");
    EXPECT_EQ(shownOf(record, EditorBlock::Net, "port"), "40000");
    // N1 is kept in 16-byte steps less one; the address one octet a word.
    EXPECT_EQ(record.bytes[48], 0x00);
    EXPECT_EQ(record.bytes[49], 0x0F);
    const QByteArray ip(reinterpret_cast<const char*>(record.bytes.data() + 82), 8);
    EXPECT_EQ(ip.toHex(), "000a000000000007");
    EXPECT_TRUE(onlyZerosOutside(record, {Blocks::Link, Blocks::Net}));
}

TEST(RecordJson, WithABaseOnlyTheValuesThatDifferFromItAreApplied)
{
    for (const ConfigRecord& base : oddRecords(40)) {
        QJsonObject document = recordJson(benchRecord());
        QJsonObject blocks = document["blocks"].toObject();
        // Only the link block's values, one of them new; the bench's stored bytes play no part.
        QJsonObject link = blocks["link"].toObject();
        QJsonObject fields = recordJson(base)["blocks"].toObject()["link"].toObject()["fields"].toObject();
        if (!fields.contains("packetSize"))
            continue;
        fields["packetSize"] = fields["packetSize"].toString() == "256" ? "128" : "256";
        link["fields"] = fields;
        document["blocks"] = QJsonObject{{"link", link}};

        const JsonImport imported = recordFromJson(document, base);
        ASSERT_TRUE(imported.record) << imported.refusals.join(u'\n').toStdString();
        const ConfigRecord& record = *imported.record;
        EXPECT_EQ(shownOf(record, EditorBlock::Link, "packetSize"), fields["packetSize"].toString());
        for (const FieldReading& reading : describeBlock(record, EditorBlock::Link, recordJsonView()))
            EXPECT_EQ(reading.shown, fields[QString::fromLatin1(reading.field->key)].toString())
                << reading.field->key;
        for (int offset = 0; offset < CONFIG_RECORD_SIZE; ++offset)
            if (offset < Blocks::Link.offset || offset >= Blocks::Link.end())
                ASSERT_EQ(record.bytes[static_cast<std::size_t>(offset)],
                          base.bytes[static_cast<std::size_t>(offset)])
                    << offset;
    }
}

TEST(RecordJson, AValueAnEditorWouldRefuseOrFitRefusesTheWholeDocument)
{
    const struct {
        const char* name;
        const char* document;
        QStringList refusals;
    } cases[] = {
        {"outside its range",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-420ZA"},
             "blocks": {"link": {"fields": {"packetSize": "600", "windowSize": "3"}}}})",
         {R"(link.packetSize = "600": Недопустимое значение. Укажите значение в диапазоне 64..512)"}},
        {"not one of the list's items",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-420ZA"},
             "blocks": {"amplifier": {"fields": {"modulation": "АМ"}}}})",
         {R"(amplifier.modulation = "АМ": Недопустимое значение "АМ" поля "Модуляция")"}},
        {"a field this controller does not have",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-410ZA"},
             "blocks": {"board": {"fields": {"hardwareAddress": "00-1A-2B-3C-4D-5E"}}}})",
         {R"(board.hardwareAddress = "00-1A-2B-3C-4D-5E": Поле "Физический адрес" нельзя изменить на этом контроллере)"}},
        {"no such field, no such block, a value of no text",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-420ZA"},
             "blocks": {"link": {"fields": {"speed": "9600", "windowSize": true}},
                        "modem": {}}})",
         {R"(Нет блока "modem")", R"(link.speed = "9600": Нет поля "speed" в блоке "Соединение")",
          R"(link.windowSize: значение должно быть текстом или числом)"}},
        {"stored bytes of the wrong length",
         R"({"format": "r4xx-config", "version": 1, "identity": {"stored": "0020"},
             "blocks": {"link": {"stored": "00zz"}}})",
         {R"(Неверное значение "stored" в "identity": нужны 12 байт шестнадцатеричными цифрами)"}},
        {"a block's stored bytes that are no hexadecimal",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-420ZA"},
             "blocks": {"amplifier": {"stored": "2e00d6zz"}}})",
         {R"(Неверное значение "stored" блока "amplifier": нужны 4 байт шестнадцатеричными цифрами)"}},
        {"an unknown controller",
         R"({"format": "r4xx-config", "version": 1, "identity": {"controller": "R-430ZA"}})",
         {R"(Неизвестный контроллер "R-430ZA" в "identity": допустимы R-410ZA, R-410ZB, R-420ZA, R-420ZB, или его байты в "stored")"}},
        {"another format", R"({"format": "other", "version": 1})",
         {R"(Документ не является конфигурацией R-410/R-420: нет "format": "r4xx-config")"}},
        {"a later version", R"({"format": "r4xx-config", "version": 2})",
         {R"(Версия формата 2 не поддерживается: известна версия 1)"}},
    };
    for (const auto& example : cases) {
        const JsonImport imported = recordFromJson(handWritten(example.document), std::nullopt);
        EXPECT_FALSE(imported.record) << example.name;
        EXPECT_EQ(imported.refusals, example.refusals) << example.name;
    }
}
