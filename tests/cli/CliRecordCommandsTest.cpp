// show, diff, export and import: a record by its fields' names, on files and on the simulated
// controller.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "CliFixture.h"
#include "config/BoardBlock.h"
#include "models/InfoTexts.h"

namespace {

// The shown value of each field by its key, as show prints it: "  label (key): value".
std::map<QString, QString> shownByKey(const QString& out)
{
    static const QRegularExpression line(QStringLiteral("^  .* \\((\\w+)\\): +(.*)$"));
    std::map<QString, QString> values;
    for (const QString& text : out.split(u'\n')) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            values[match.captured(1)] = match.captured(2);
    }
    return values;
}

QJsonObject fieldOf(const QJsonObject& document, const QString& block, const QString& key)
{
    for (const QJsonValue& field : document["record"].toObject()["fields"].toArray())
        if (field["block"].toString() == block && field["key"].toString() == key)
            return field.toObject();
    return {};
}

class CliRecords : public CliTest {
protected:
    // The controller's record with a description of two lines.
    ConfigRecord benchRecord()
    {
        ConfigRecord record = controllerRecord();
        BoardBlock board = BoardBlock::fromRecord(record.data(Blocks::Board));
        EXPECT_TRUE(board.setDescription(QStringLiteral("Стойка 4\nпульт 2")));
        board.toRecord(record.data(Blocks::Board));
        stampCrc(TCrc(), record);
        return record;
    }
};

} // namespace

TEST_F(CliRecords, ShowPrintsEveryBlocksFieldsAsTheEditorsShowThemWithoutTheController)
{
    const QString file = saveRecord(benchRecord());
    const CliRun result = run({"show", file});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_TRUE(simulator().traffic().empty());

    const QStringList lines = result.out.split(u'\n');
    EXPECT_EQ(lines.mid(0, 2), (QStringList{"R-420ZA, Die ID 0001:2345:00AB:0C00, Chip ID 0x05",
                                           "CRC " + crcText(benchRecord().storedCrc())}));
    QStringList captions;
    for (const QString& line : lines.mid(2))
        if (!line.isEmpty() && !line.startsWith(u' '))
            captions << line;
    EXPECT_EQ(captions, (QStringList{"Аудио кодек", "Вокодер", "Регистратор", "Усилитель НЧ",
                                     "Соединение", "Сеть", "Контроллер ID"}));

    const auto values = shownByKey(result.out);
    const std::map<QString, QString> expected{
        {"sampleRate", "48/48 кГц"}, {"bitRate", "18.2 кбит/с"},   {"jitterSize", "40 мсек."},
        {"level", "+0,5"},           {"packetSize", "512"},        {"retransmissionPeriod", "250"},
        {"ip", "192.168.1.10"},      {"remoteIp", "192.168.1.11"}, {"description", "Стойка 4"},
        {"hardwareAddress", "00-1A-2B-3C-4D-5E"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(values.count(key) ? values.at(key) : QStringLiteral("(none)"), value) << key.toStdString();
    // The values line up; a value's next line goes on under its first.
    const qsizetype first = lines.indexOf(QRegularExpression(QStringLiteral("^  Описание .*Стойка 4$")));
    ASSERT_GE(first, 0) << result.out.toStdString();
    EXPECT_EQ(lines[first + 1].indexOf(QStringLiteral("пульт 2")), lines[first].indexOf(QStringLiteral("Стойка 4")));
    EXPECT_EQ(lines[first + 1].trimmed(), "пульт 2");
}

TEST_F(CliRecords, ShowOfTheControllerReadsItsConfigurationAsReadDoes)
{
    ASSERT_EQ(run({"read", "-o", path("read.rcf")}).status, 0);
    const CliRun fromFile = run({"show", path("read.rcf")});
    simulator().clearTraffic();
    const CliRun fromController = run({"show", "--controller"});
    EXPECT_EQ(fromController.status, 0) << fromController.err.toStdString();
    EXPECT_EQ(fromController.out, fromFile.out);
    EXPECT_EQ(logLines(fromController.err),
              (QStringList{logged("Процесс чтения конфигурации запущен"),
                           logged("Процесс чтения конфигурации завершен"),
                           logged("Получено 200байт.")}));
}

TEST_F(CliRecords, ShowInJsonGivesEachFieldsBlockKeyLabelStoredBytesAndShownText)
{
    ConfigRecord record = benchRecord();
    const QJsonObject document = json(run({"--json", "show", saveRecord(record)}));
    EXPECT_EQ(document["exitStatus"].toInt(), 0);
    const QJsonObject packetSize = fieldOf(document, "link", "packetSize");
    EXPECT_EQ(packetSize["stored"].toString(), "001f");
    EXPECT_EQ(packetSize["offset"].toInt(), 48);
    EXPECT_EQ(packetSize["shown"].toString(), "512");
    EXPECT_TRUE(packetSize["label"].toString().endsWith("N1 [64..512]"));
    EXPECT_EQ(fieldOf(document, "net", "ip")["stored"].toString(), "00c000a80001000a");
    EXPECT_EQ(fieldOf(document, "board", "hardwareAddress")["shown"].toString(), "00-1A-2B-3C-4D-5E");

    // An R-410 has no hardware address: its editor leaves it out, and so does show.
    record.setTypeWord(0x1000);
    const QJsonObject r410 = json(run({"--json", "show", saveRecord(record, "r410.rcf")}));
    EXPECT_TRUE(fieldOf(r410, "board", "hardwareAddress").isEmpty());
    EXPECT_FALSE(fieldOf(r410, "board", "serialNumber").isEmpty());
}

TEST_F(CliRecords, EachCommandTakesItsRecordsFromFilesOrTheController)
{
    const QString file = saveRecord(benchRecord());
    const QString missing = path("missing.rcf");
    const struct {
        QStringList arguments;
        int status;
        QString logged;
    } cases[] = {
        {{"show"}, 2, "Укажите файл конфигурации или --controller"},
        {{"show", file, "--controller"}, 2, "Укажите файл конфигурации или --controller"},
        {{"export", "-o", path("x.json")}, 2, "Укажите файл конфигурации или --controller"},
        {{"diff", file}, 2, "Укажите два файла конфигурации, или файл и --controller"},
        {{"diff", file, file, "--controller"}, 2, "Укажите два файла конфигурации, или файл и --controller"},
        {{"show", missing}, 5, "Файл " + missing + " поврежден, либо не соответствует данному устройству "},
        {{"diff", missing, file}, 2, "Файл " + missing + " поврежден, либо не соответствует данному устройству "},
        {{"import", path("none.json"), "-o", path("x.rcf")}, 5, "Файл " + path("none.json") + " не удается открыть"},
        {{"import", file}, 2, "Не указан файл: -o ФАЙЛ.rcf"},
    };
    for (const auto& example : cases) {
        const CliRun result = run(example.arguments);
        EXPECT_EQ(result.status, example.status) << example.arguments.join(' ').toStdString();
        EXPECT_EQ(logLines(result.err), QStringList{logged(example.logged)})
            << example.arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("x.json")));
    EXPECT_FALSE(QFile::exists(path("x.rcf")));
    EXPECT_TRUE(simulator().traffic().empty());

    simulator().clear();
    const CliRun noController = run({"diff", file, "--controller"});
    EXPECT_EQ(noController.status, 2) << "any trouble of diff ends with 2";
    EXPECT_EQ(logLines(noController.err).last(), logged("Контроллер не обнаружен на шине USB"));
}

TEST_F(CliRecords, DiffSaysWhatDiffersByBlockAndNameAndEndsAsDiffDoes)
{
    const ConfigRecord first = benchRecord();
    ConfigRecord second = first;
    second.bytes[49] = 0x0F;   // N1: 512 -> 256
    second.bytes[45] = 0x01;   // a bit of the amplifier block that no field reads
    second.bytes[83] = 10;     // the IP address's first octet
    const QString a = saveRecord(first, "a.rcf");
    const QString b = saveRecord(second, "b.rcf");
    stampCrc(TCrc(), second);

    const CliRun same = run({"diff", a, a});
    EXPECT_EQ(same.status, 0);
    EXPECT_TRUE(same.out.isEmpty());

    const CliRun differ = run({"diff", a, b});
    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.out.split(u'\n'),
              (QStringList{"CRC: " + crcText(first.storedCrc()) + " → " + crcText(second.storedCrc()),
                           "Соединение: Максимальный размер пакета в байтах, с шагом в 16 байт, N1 "
                           "[64..512] (packetSize): 512 → 256",
                           "Сеть: IP-адрес (ip): 192.168.1.10 → 10.168.1.10",
                           "Усилитель НЧ: байт 45: 0x00 → 0x01", ""}));

    const QJsonObject document = json(run({"--json", "diff", a, b}));
    EXPECT_EQ(document["exitStatus"].toInt(), 1);
    EXPECT_EQ(document["status"].toString(), "differ");
    const QJsonObject differences = document["differences"].toObject();
    EXPECT_FALSE(differences["equal"].toBool(true));
    EXPECT_EQ(differences["fields"].toArray().at(0)["key"].toString(), "packetSize");
    EXPECT_EQ(differences["fields"].toArray().at(0)["second"].toString(), "256");
    EXPECT_EQ(differences["bytes"].toArray(),
              (QJsonArray{QJsonObject{{"offset", 45}, {"first", 0}, {"second", 1}}}));

    // The controller is the second record.
    controller()->configMemory().fill(0, {second.bytes.begin(), second.bytes.begin() + CONFIG_IMAGE_SIZE});
    const CliRun withController = run({"diff", b, "--controller"});
    EXPECT_EQ(withController.status, 0) << withController.out.toStdString();
    const CliRun changedController = run({"diff", a, "--controller"});
    EXPECT_EQ(changedController.status, 1);
    EXPECT_EQ(changedController.out, differ.out);
}

TEST_F(CliRecords, ExportThenImportMakesTheFileReadWouldMake)
{
    ASSERT_EQ(run({"read", "-o", path("read.rcf")}).status, 0);
    const CliRun exported = run({"export", "--controller", "-o", path("bench.json")});
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(logLines(exported.err).last(), logged("Файл сохранен " + path("bench.json")));

    const CliRun imported = run({"import", path("bench.json"), "-o", path("back.rcf")});
    EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(logLines(imported.err), QStringList{logged("Файл сохранен " + path("back.rcf"))});
    EXPECT_EQ(fileBytes(path("back.rcf")), fileBytes(path("read.rcf")));

    // Without -o the document goes to standard output.
    const CliRun printed = run({"export", path("read.rcf")});
    EXPECT_EQ(printed.out.toUtf8(), fileBytes(path("bench.json")));
}

TEST_F(CliRecords, ImportAppliesTheValuesThroughTheEditorsRulesAndWritesNothingItRefuses)
{
    const QString base = saveRecord(benchRecord(), "base.rcf");
    writeBytes(path("link.json"), R"({"format": "r4xx-config", "version": 1,
        "identity": {"controller": "R-420ZA"},
        "blocks": {"link": {"fields": {"packetSize": "256"}}}})");
    const CliRun applied = run({"import", path("link.json"), "--base", base, "-o", path("new.rcf")});
    EXPECT_EQ(applied.status, 0) << applied.err.toStdString();
    const CliRun differences = run({"diff", base, path("new.rcf")});
    EXPECT_EQ(differences.out.split(u'\n').mid(1),
              (QStringList{"Соединение: Максимальный размер пакета в байтах, с шагом в 16 байт, N1 "
                           "[64..512] (packetSize): 512 → 256",
                           ""}));

    const QByteArray kept = fileBytes(path("new.rcf"));
    writeBytes(path("wide.json"), R"({"format": "r4xx-config", "version": 1,
        "identity": {"controller": "R-420ZA"},
        "blocks": {"link": {"fields": {"packetSize": "600", "windowSize": "16"}}}})");
    const CliRun refused = run({"--json", "import", path("wide.json"), "-o", path("new.rcf")});
    EXPECT_EQ(refused.status, 5);
    const QStringList reasons{
        "link.packetSize = \"600\": Недопустимое значение. Укажите значение в диапазоне 64..512",
        "link.windowSize = \"16\": Недопустимое значение. Укажите значение в диапазоне 1..15"};
    EXPECT_EQ(json(refused)["refusals"].toArray(), QJsonArray::fromStringList(reasons));
    EXPECT_EQ(logLines(refused.err), (QStringList{logged(reasons[0]), logged(reasons[1])}));
    EXPECT_EQ(fileBytes(path("new.rcf")), kept);

    writeBytes(path("broken.json"), "{\"format\": ");
    const CliRun broken = run({"import", path("broken.json"), "-o", path("new.rcf")});
    EXPECT_EQ(broken.status, 5);
    EXPECT_EQ(logLines(broken.err),
              QStringList{logged("Файл " + path("broken.json")
                                 + " не является документом JSON: unterminated object (символ 11)")});
    EXPECT_EQ(fileBytes(path("new.rcf")), kept);

    // A file far larger than any record's document is refused before it is read whole.
    writeBytes(path("large.json"), "{\"format\": \"r4xx-config\", \"x\": \"" + QByteArray(1024 * 1024, 'a') + "\"}");
    const CliRun large = run({"import", path("large.json"), "-o", path("new.rcf")});
    EXPECT_EQ(large.status, 5);
    EXPECT_EQ(logLines(large.err),
              QStringList{logged("Файл " + path("large.json") + " больше 1 МБ: это не конфигурация R-410/R-420")});
    EXPECT_EQ(fileBytes(path("new.rcf")), kept);
}
