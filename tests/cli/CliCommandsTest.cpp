#include <map>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliFixture.h"
#include "config/BoardBlock.h"
#include "config/ConfigFile.h"
#include "config/Crc.h"
#include "link/FirmwareBlocks.h"
#include "link/Packet.h"

namespace {

const QString NotFound = QStringLiteral("Контроллер не обнаружен на шине USB");

QByteArray patterned(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256 + 3);
    return bytes;
}

std::vector<std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}


class Cli : public CliTest {
protected:
    std::vector<std::uint8_t> memory(int address, int count)
    {
        return controller()->configMemory().read(address, count);
    }
    // The configuration memory's writes: every command 3 to device 0x50 with data.
    int memoryWrites()
    {
        int writes = 0;
        for (const sim::Transfer& sent : sim::sentTransfers(simulator().traffic()))
            if (sent.bytes.size() > 10 && sent.bytes[0] == 3 && sent.bytes[6] == 0x50)
                ++writes;
        return writes;
    }
};

TEST_F(Cli, CommandLinesItCannotRunAreRefusedBeforeAnyTransfer)
{
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "r4xx-cli: не указана команда"},
        {{"frobnicate"}, "r4xx-cli: неизвестная команда: frobnicate"},
        {{"read", "--bogus"}, "r4xx-cli: неизвестный параметр: bogus"},
        {{"write"}, "r4xx-cli: команде write нужно: ФАЙЛ.rcf [--full] [--verify]"},
        {{"write", "a.rcf", "b.rcf"}, "r4xx-cli: команде write нужно: ФАЙЛ.rcf [--full] [--verify]"},
        {{"flash-read", "backup.rom"}, "r4xx-cli: команде flash-read нужно: -o ФАЙЛ.rom [--size N]"},
        {{"list", "extra"}, "r4xx-cli: команде list нужно: "},
        {{"read"}, "14:05:09-> Не указан файл: -o ФАЙЛ.rcf"},
        {{"flash-read"}, "14:05:09-> Не указан файл: -o ФАЙЛ.rom"},
        {{"flash-read", "-o", "b.rom", "--size", "0"},
         "14:05:09-> Неверный размер: 0; допускается от 1 до 131072 байт"},
        {{"flash-read", "-o", "b.rom", "--size", "0x20001"},
         "14:05:09-> Неверный размер: 0x20001; допускается от 1 до 131072 байт"},
        {{"flash-read", "-o", "b.rom", "--size", "128K"},
         "14:05:09-> Неверный размер: 128K; допускается от 1 до 131072 байт"},
        {{"stats", "--count", "x"}, "14:05:09-> Неверное число отчетов: x"},
        {{"trace", "--channels", "usb"},
         "14:05:09-> Неверные каналы: \"usb\"; допускаются bus-rx, bus-tx, link-rx, link-tx"},
        {{"trace", "--channels", "bus-rx", "--duration", "soon"},
         "14:05:09-> Неверное время трассировки: soon"},
        {{"--device", "13", "info"}, "14:05:09-> Неверное место контроллера: 13"},
        {{"--die-id", "13", "info"}, "14:05:09-> Неверный Die ID: 13"},
        {{"set-identity"},
         "14:05:09-> Не указано, что изменить: --serial, --mac, --date или --description"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(logLines(result.err).value(0), QString::fromUtf8(c.message));
        EXPECT_TRUE(result.out.isEmpty()) << c.message;
    }
    EXPECT_EQ(simulator().trafficCount(), 0u);
}

TEST_F(Cli, HelpNamesEveryCommandTheServiceCodeAndTheExitStatuses)
{
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Использование: r4xx-cli [--device BUS/DEV | --die-id ID]"));
    for (const char* command : {"list", "info", "read", "write", "flash", "flash-read", "stats", "trace", "set-identity"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("\n  %1 ").arg(command))) << command;
    EXPECT_TRUE(help.out.contains("R4XX_SERVICE_CODE"));
    EXPECT_TRUE(help.out.contains("    6  неверный сервисный код или код не открывает эту задачу"));
    EXPECT_TRUE(help.out.contains("    8  ПО загружено в режиме загрузчика, проверка (--verify) невозможна"));

    const CliRun flash = run({"flash", "--help"});
    EXPECT_EQ(flash.status, 0);
    EXPECT_TRUE(flash.out.startsWith("Использование: r4xx-cli [ОБЩИЕ ПАРАМЕТРЫ] flash ОБРАЗ [--verify]\n"));
    EXPECT_TRUE(flash.out.contains("\n  --verify "));
    const CliRun backup = run({"flash-read", "--help"});
    EXPECT_TRUE(backup.out.startsWith("Использование: r4xx-cli [ОБЩИЕ ПАРАМЕТРЫ] flash-read -o ФАЙЛ.rom [--size N]\n"));
    EXPECT_TRUE(backup.out.contains("\n  --size <N> ")) << backup.out.toStdString();
    const CliRun stats = run({"stats", "--help"});
    EXPECT_TRUE(stats.out.contains("  --count <N>")) << stats.out.toStdString();
    EXPECT_EQ(simulator().trafficCount(), 0u);
}

TEST_F(Cli, ListShowsEveryControllerAndTheOneThatDoesNotAnswer)
{
    simulator().addBus();
    simulator().addController(1, {.typeWord = 0x2661, .dieId = {0x0002, 0x0003, 0x0004, 0x0005},
                                  .chipId = 0x0A});
    simulator().addController(1, {.firmwareRuns = false});
    const CliRun result = run({"list"});
    EXPECT_EQ(result.status, 0);
    const auto topology = simulator().topology();
    const auto pathOf = [&](int bus, int device) {
        return QStringLiteral("%1/%2").arg(bus + 1, 3, 10, QChar(u'0')).arg(topology[bus][device].id, 3, 10, QChar(u'0'));
    };
    EXPECT_EQ(result.out.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{
                         pathOf(0, 0) + "  "
                         "R-420ZA  Версия ПО: 0.0  Версия ПП: A.0  Die ID: 0001:2345:00AB:0C00  Chip ID: 0x05",
                         pathOf(1, 0) + "  R-420ZB  Версия ПО: 1.2  Версия ПП: B.2  Die ID: 0002:0003:0004:0005  Chip ID: 0x0A",
                         pathOf(1, 1) + "  не отвечает (возможно, ожидает загрузки ПО в режиме загрузчика)",
                     }));
    EXPECT_EQ(simulator().openHandleCount(), 0) << "every controller is closed again";
}

TEST_F(Cli, WithoutControllerEachCommandEndsWithItsStatusAndTheTerminalsLine)
{
    simulator().clear();
    environmentCode = QStringLiteral("Core_Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(300));
    const QString file = saveRecord(ConfigRecord::blank());
    const struct {
        QStringList arguments;
        int lines; // the flash looks in both configurations
    } cases[] = {
        {{"list"}, 1},
        {{"info"}, 1},
        {{"read", "-o", path("out.rcf")}, 1},
        {{"write", file}, 1},
        {{"flash", image}, 2},
        {{"flash-read", "-o", path("backup.rom")}, 1},
        {{"stats"}, 1},
        {{"trace", "--channels", "bus-rx"}, 1},
        {{"set-identity", "--serial", "1"}, 1},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, 3) << c.arguments.front().toStdString();
        EXPECT_EQ(logLines(result.err), QStringList(c.lines, logged(NotFound)))
            << c.arguments.front().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("out.rcf")));
    EXPECT_FALSE(QFile::exists(path("backup.rom")));
}

TEST_F(Cli, ReadSavesTheRecordWithItsCrcStampedAndLogsAsTheTerminal)
{
    const QString file = path("read.rcf");
    const CliRun result = run({"read", "-o", file});
    EXPECT_EQ(result.status, 0);
    ConfigRecord expected = controllerRecord();
    stampCrc(TCrc(), expected);
    EXPECT_EQ(bytesOf(fileBytes(file)), std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
    EXPECT_EQ(logLines(result.err), (QStringList{logged("Процесс чтения конфигурации запущен"),
                                                 logged("Процесс чтения конфигурации завершен"),
                                                 logged("Получено 200байт."),
                                                 logged("Файл сохранен " + file)}));
    EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(Cli, ReadIntoAFolderThatCannotTakeTheFileIsRefused)
{
    const QString file = path("no/such/folder/read.rcf");
    const CliRun result = run({"read", "-o", file});
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(logLines(result.err).last(), logged("Файл " + file + " не удается создать"));
}

TEST_F(Cli, WriteSendsTheFileAsRecordAsWriteDoesInTheLevelTheCodeOpens)
{
    const struct {
        const char* name;
        QStringList options;
        std::optional<QString> code;
        int written;
    } cases[] = {
        {"user level", {}, std::nullopt, 110},
        {"board level", {"--full"}, QStringLiteral("Plank_Orchard"), 200},
        {"full level", {"--full"}, QStringLiteral("Core_Orchard"), 200},
    };
    for (const auto& c : cases) {
        simulator().reset();
        ConfigRecord record = controllerRecord();
        const std::vector<std::uint8_t> before = memory(0, CONFIG_IMAGE_SIZE);
        record.bytes[70] ^= 0xFF;  // in the network block
        record.bytes[150] ^= 0xFF; // in the board block
        const QString file = saveRecord(record);
        stampCrc(TCrc(), record);
        environmentCode = c.code;
        const CliRun result = run(QStringList{"write", file} + c.options);
        EXPECT_EQ(result.status, 0) << c.name;
        std::vector<std::uint8_t> expected = before;
        std::copy(record.bytes.begin(), record.bytes.begin() + c.written, expected.begin());
        EXPECT_EQ(memory(0, CONFIG_IMAGE_SIZE), expected) << c.name;
        EXPECT_EQ(logLines(result.err), (QStringList{logged("Процесс загрузки конфигурации запущен"),
                                                     logged("Процесс загрузки конфигурации завершен"),
                                                     logged(QStringLiteral("Передано %1байт.").arg(c.written))}))
            << c.name;
    }
}

TEST_F(Cli, WriteOfAnotherControllerTypeIsRefusedBeforeAnyByteIsWritten)
{
    ConfigRecord record = controllerRecord();
    record.setTypeWord(0x2001);
    const std::vector<std::uint8_t> before = memory(0, CONFIG_IMAGE_SIZE);
    const CliRun result = run({"write", saveRecord(record)});
    EXPECT_EQ(result.status, 7);
    EXPECT_EQ(logLines(result.err),
              (QStringList{logged("Процесс загрузки конфигурации прерван."),
                           logged("Загружаемая конфигурация не соответствует типу контроллера")}));
    EXPECT_EQ(memory(0, CONFIG_IMAGE_SIZE), before);
    EXPECT_EQ(memoryWrites(), 0);
}

TEST_F(Cli, FilesThatDoNotOpenAreRefusedWithoutTouchingTheController)
{
    ConfigRecord record = controllerRecord();
    stampCrc(TCrc(), record);
    QByteArray whole(reinterpret_cast<const char*>(record.bytes.data()), CONFIG_RECORD_SIZE);
    QByteArray wrongCrc = whole;
    wrongCrc[100] = static_cast<char>(wrongCrc[100] ^ 1);
    const struct {
        const char* name;
        std::optional<QByteArray> content;
    } cases[] = {
        {"short.rcf", whole.left(211)},
        {"long.rcf", whole + '\0'},
        {"crc.rcf", wrongCrc},
        {"missing.rcf", std::nullopt},
    };
    for (const auto& c : cases) {
        const QString file = path(c.name);
        if (c.content)
            writeBytes(file, *c.content);
        for (const char* command : {"write", "info"}) {
            const CliRun result = run({command, file});
            EXPECT_EQ(result.status, 5) << c.name << command;
            EXPECT_EQ(logLines(result.err),
                      QStringList{logged("Файл " + file
                                         + " поврежден, либо не соответствует данному устройству ")});
        }
    }
    EXPECT_EQ(simulator().trafficCount(), 0u);
}

TEST_F(Cli, ServiceLevelsNeedACodeThatOpensTheirLevelFromTheEnvironmentOrThePrompt)
{
    const QString image = path("image.rom");
    writeBytes(image, patterned(10));
    const QString file = saveRecord(controllerRecord());
    const struct {
        QStringList arguments;
        std::optional<QString> environment;
        std::optional<QString> prompt;
        const char* refusal;
    } cases[] = {
        {{"flash", image}, std::nullopt, std::nullopt, "Ошибка ввода сервисного кода"},
        {{"flash", image}, QStringLiteral("orchard"), std::nullopt, "Ошибка ввода сервисного кода"},
        {{"flash", image}, std::nullopt, QStringLiteral("Orchard "), "Ошибка ввода сервисного кода"},
        {{"flash", image}, QStringLiteral("Probe_Orchard"), std::nullopt,
         "Сервисный код не открывает эту задачу"},
        {{"trace", "--channels", "bus-rx"}, QStringLiteral("Orchard"), std::nullopt,
         "Сервисный код не открывает эту задачу"},
        {{"set-identity", "--serial", "12"}, std::nullopt, QStringLiteral("Probe_Orchard"),
         "Сервисный код не открывает эту задачу"},
        {{"write", file, "--full"}, QStringLiteral("Orchard"), std::nullopt,
         "Сервисный код не открывает эту задачу"},
        {{"write", file, "--full"}, QString(), QStringLiteral("Plank_Orchard"),
         "Ошибка ввода сервисного кода"},
    };
    for (const auto& c : cases) {
        environmentCode = c.environment;
        promptCode = c.prompt;
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, 6) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(logLines(result.err), QStringList{logged(QString::fromUtf8(c.refusal))})
            << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(simulator().trafficCount(), 0u);

    environmentCode.reset();
    promptCode = QStringLiteral("Orchard");
    EXPECT_EQ(run({"flash", image}).status, 0) << "the code typed at the prompt";
}

TEST_F(Cli, InfoShowsWhatTheInformationWindowShowsForTheControllersRecord)
{
    ConfigRecord record = controllerRecord();
    stampCrc(TCrc(), record);
    const CliRun result = run({"info"});
    EXPECT_EQ(result.status, 0);
    const QStringList lines = result.out.split(u'\n');
    ASSERT_GE(lines.size(), 11);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"Локальный контроллер R-420", "Модель: R-420ZA", "Версия ПП: A.0"}));
    EXPECT_TRUE(lines.contains("Die ID: 0x012345ABC00"));
    EXPECT_TRUE(lines.contains("Chip ID: 0x05"));
    EXPECT_TRUE(lines.contains("Size: 212 bytes"));
    EXPECT_TRUE(lines.contains(
        "Crc: 0x" + QString::number(record.storedCrc(), 16).toUpper().rightJustified(4, u'0')));
    EXPECT_TRUE(lines.contains("Описание:"));
}

TEST_F(Cli, InfoOfAFileNeedsNoController)
{
    simulator().clear();
    ConfigRecord record = ConfigRecord::blank();
    record.setTypeWord(0x2661);
    BoardBlock board = BoardBlock::fromRecord(record.data(Blocks::Board));
    ASSERT_TRUE(board.setSerialNumber("12"));
    ASSERT_TRUE(board.setDescription("Стойка 4\nпульт 2"));
    board.setAddressByte(1, 0x1A);
    board.toRecord(record.data(Blocks::Board));
    const CliRun result = run({"info", saveRecord(record)});
    EXPECT_EQ(result.status, 0);
    stampCrc(TCrc(), record);
    EXPECT_EQ(result.out.split(u'\n'),
              (QStringList{"Удаленный контроллер R-420", "Модель: R-420ZB", "Версия ПП: B.2",
                           "Версия ПО: 1.2", "Сер. номер: 12", "Дата: ", "Chip ID: 0x00",
                           "Die ID: 0x00000000", "MAC: 00-1A-00-00-00-00", "Size: 212 bytes",
                           QStringLiteral("Crc: 0x%1").arg(QString::number(record.storedCrc(), 16).toUpper().rightJustified(4, u'0')),
                           "Описание:", "Стойка 4", "пульт 2", ""}));
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(Cli, SetIdentityChangesTheBoardBlockAsTheEditorAndWritesTheWholeImage)
{
    environmentCode = QStringLiteral("Plank_Orchard");
    const CliRun result = run({"set-identity", "--serial", "7788", "--mac", "0a-1b-2c-3d-4e-5f",
                               "--date", "2024-03-01", "--description", "Стойка 4"});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const std::vector<std::uint8_t> image = memory(0, CONFIG_IMAGE_SIZE);
    ConfigRecord written;
    std::copy(image.begin(), image.end(), written.bytes.begin());
    const BoardBlock board = BoardBlock::fromRecord(written.data(Blocks::Board));
    EXPECT_EQ(board.serialNumber(), "7788");
    EXPECT_EQ(hardwareAddressText(board.hardwareAddress()), "0A-1B-2C-3D-4E-5F");
    EXPECT_EQ(board.text(BoardBlock::Date), "01.03.2024");
    EXPECT_EQ(board.description(), "Стойка 4");
    EXPECT_EQ(written.storedCrc(), ConfigCrc(TCrc(), written)) << "the CRC stamped";
    EXPECT_TRUE(logLines(result.err).contains(logged("Передано 200байт.")));
    EXPECT_TRUE(result.out.contains("\nСер. номер: 7788\n"));

    const CliRun info = run({"info"});
    EXPECT_TRUE(info.out.contains("\nMAC: 0A-1B-2C-3D-4E-5F\n"));
    EXPECT_TRUE(info.out.contains("\nДата: 01.03.2024\n"));
    EXPECT_TRUE(info.out.contains("\nОписание:\nСтойка 4\n"));
}

TEST_F(Cli, SetIdentityLeavesWhatItIsNotGivenAsTheRecordHasIt)
{
    environmentCode = QStringLiteral("Core_Orchard");
    ASSERT_EQ(run({"set-identity", "--serial", "4321", "--date", "05.03.2024"}).status, 0);
    const std::vector<std::uint8_t> before = memory(0, CONFIG_IMAGE_SIZE);
    ASSERT_EQ(run({"set-identity", "--serial", "99"}).status, 0);
    std::vector<std::uint8_t> expected = before;
    ConfigRecord changed;
    std::copy(before.begin(), before.end(), changed.bytes.begin());
    BoardBlock board = BoardBlock::fromRecord(changed.data(Blocks::Board));
    ASSERT_TRUE(board.setSerialNumber("99"));
    board.toRecord(changed.data(Blocks::Board));
    stampCrc(TCrc(), changed);
    EXPECT_EQ(memory(0, CONFIG_IMAGE_SIZE),
              std::vector<std::uint8_t>(changed.bytes.begin(), changed.bytes.begin() + CONFIG_IMAGE_SIZE));
}

TEST_F(Cli, SetIdentityRefusesWhatTheEditorWouldNotStoreAndWritesNothing)
{
    environmentCode = QStringLiteral("Plank_Orchard");
    const std::vector<std::uint8_t> before = memory(0, CONFIG_IMAGE_SIZE);
    const struct {
        QStringList arguments;
        const char* refusal;
    } cases[] = {
        {{"--serial", "12345"},
         "Недопустимый текст в поле \"Сер. номер:\". Допускаются только символы кодировки "
         "Windows-1251, не более 4 байт."},
        {{"--mac", "0A-1B"}, "Недопустимый физический адрес: \"0A-1B\"; нужен вид AA-BB-CC-DD-EE-FF"},
        {{"--date", "32.01.2024"}, "Недопустимая дата: \"32.01.2024\"; нужен вид ГГГГ-ММ-ДД или ДД.ММ.ГГГГ"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(QStringList{"set-identity"} + c.arguments);
        EXPECT_EQ(result.status, 5) << c.refusal;
        EXPECT_EQ(logLines(result.err), QStringList{logged(QString::fromUtf8(c.refusal))});
    }
    EXPECT_EQ(simulator().trafficCount(), 0u);

    controller()->settings.typeWord = 0x1000;
    const CliRun r410 = run({"set-identity", "--mac", "00-11-22-33-44-55"});
    EXPECT_EQ(r410.status, 5);
    EXPECT_EQ(logLines(r410.err).last(), logged("Физический адрес есть только у контроллера R-420"));
    EXPECT_EQ(memoryWrites(), 0);
    EXPECT_EQ(memory(0, CONFIG_IMAGE_SIZE), before);
}

TEST_F(Cli, FlashLoadsTheImageInNormalModeAndInBootMode)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    const CliRun normal = run({"flash", image});
    EXPECT_EQ(normal.status, 0);
    EXPECT_EQ(controller()->devices().flash.read(0, 1000), bytesOf(patterned(1000)));
    EXPECT_EQ(logLines(normal.err), (QStringList{logged("Удаление программного обеспечения"),
                                                 logged("Загрузка программного обеспечения"),
                                                 logged("Загрузка программного обеспечения завершена"),
                                                 logged("Передано 1000байт.")}));

    controller()->settings.firmwareRuns = false;
    const CliRun boot = run({"flash", image});
    EXPECT_EQ(boot.status, 0);
    EXPECT_EQ(controller()->devices().bootLoader.received(), bytesOf(patterned(1000)));
    EXPECT_EQ(logLines(boot.err).mid(1), (QStringList{logged("Процесс загрузки ПО (boot_mode) запущен"),
                                                      logged("Процесс загрузки ПО (boot_mode) завершен"),
                                                      logged("Передано 1000байт.")}));
}

TEST_F(Cli, ProgressIsABarOnATerminalAndNothingOtherwise)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    const CliRun plain = run({"flash", image});
    EXPECT_FALSE(plain.err.contains(u'\r'));
    errIsTerminal = true;
    const CliRun shown = run({"flash", image});
    EXPECT_TRUE(shown.err.contains("\r\x1b[KУдаление программного обеспечения [##############################] 100% 11/11"));
    EXPECT_TRUE(shown.err.contains("\r\x1b[KЗагрузка программного обеспечения [##############################] 100% 1000/1000\n"));
}

TEST_F(Cli, CtrlCDuringALoadEndsItAtItsNextReport)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    // Pressed during the first pause of the erase.
    clock.onSleep = [this](std::size_t) { interrupted = true; };
    const CliRun result = run({"flash", image});
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(controller()->devices().flash.read(0, 4), (std::vector<std::uint8_t>(4, 0xFF)));
    EXPECT_EQ(logLines(result.err), QStringList{logged("Удаление программного обеспечения")});
}

// A 1000-byte image (its byte at 700 is 0x29) loaded with --verify: the memory read back after
// the load, as the firmware window does with its box ticked.
TEST_F(Cli, FlashVerifyConfirmsAnIntactMemoryAndNamesTheFirstDifference)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    const QStringList loaded{logged("Удаление программного обеспечения"),
                             logged("Загрузка программного обеспечения"),
                             logged("Загрузка программного обеспечения завершена"),
                             logged("Передано 1000байт."),
                             logged("Проверка программного обеспечения")};
    const struct {
        const char* name;
        std::map<int, std::uint8_t> worn;
        int status;
        QString verdict;
    } cases[] = {
        {"intact", {}, 0, "Программное обеспечение совпадает с файлом"},
        {"a worn cell", {{700, 0x00}, {900, 0x00}}, 7,
         "Расхождение по адресу 0x0002BC: в файле 29, в контроллере 00"},
    };
    for (const auto& c : cases) {
        simulator().reset();
        controller()->devices().flash.wornCells = c.worn;
        const CliRun result = run({"flash", "--verify", image});
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(logLines(result.err), loaded + QStringList{logged(c.verdict)}) << c.name;
        EXPECT_TRUE(result.out.isEmpty()) << c.name;
    }
}

TEST_F(Cli, FlashVerifyInBootModeSaysItCannotVerifyAndLoadsAsWritten)
{
    environmentCode = QStringLiteral("Orchard");
    controller()->settings.firmwareRuns = false;
    const QString image = path("image.rom");
    writeBytes(image, patterned(300));
    const CliRun result = run({"flash", image, "--verify"});
    EXPECT_EQ(result.status, 8);
    EXPECT_EQ(controller()->devices().bootLoader.received(), bytesOf(patterned(300)));
    EXPECT_EQ(logLines(result.err).mid(1), (QStringList{logged("Процесс загрузки ПО (boot_mode) запущен"),
                                                        logged("Процесс загрузки ПО (boot_mode) завершен"),
                                                        logged("Передано 300байт."),
                                                        logged("Проверка невозможна в режиме загрузчика")}));
}

// A reply of the read-back answered with the wrong command code: the second block of the read.
void failSecondReadBlock(sim::SimController& controller)
{
    controller.faults.replyFilter = [](const sim::Request& request, std::vector<std::uint8_t>& reply) {
        if (request.command == 2 && request.payload.size() == 4 && request.payload[0] == 0x03
            && request.payload[3] != 0)
            reply[0] = 9;
    };
}

TEST_F(Cli, FlashVerifyThatFailsInTheReadBackIsAUsbFailure)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    failSecondReadBlock(*controller());
    const CliRun result = run({"flash", "--verify", image});
    EXPECT_EQ(result.status, 4);
    EXPECT_EQ(logLines(result.err).mid(4),
              (QStringList{logged("Проверка программного обеспечения"), logged("Error: -2")}));
}

TEST_F(Cli, FlashReadSavesTheMemoryFromAddressZero)
{
    environmentCode = QStringLiteral("Core_Orchard");
    const std::vector<std::uint8_t> held = bytesOf(patterned(FlashProgramLimit + 16));
    controller()->devices().flash.preload(0, held);
    const struct {
        QStringList size;
        int bytes;
    } cases[] = {
        {{}, 131072},
        {{"--size", "1000"}, 1000},
        {{"--size", "0x400"}, 1024},
    };
    for (const auto& c : cases) {
        const QString file = path("backup.rom");
        const CliRun result = run(QStringList{"flash-read", "-o", file} + c.size);
        EXPECT_EQ(result.status, 0) << c.bytes;
        EXPECT_EQ(bytesOf(fileBytes(file)), std::vector<std::uint8_t>(held.begin(), held.begin() + c.bytes));
        EXPECT_EQ(logLines(result.err), (QStringList{logged("Чтение программного обеспечения"),
                                                     logged("Чтение программного обеспечения завершено"),
                                                     logged(QStringLiteral("Получено %1байт.").arg(c.bytes)),
                                                     logged("Файл сохранен " + file)}));
    }
}

// A read-back that fails in its second block, and a controller whose firmware does not answer
// (one waiting in boot mode), with and without an earlier backup in the file's place.
TEST_F(Cli, FlashReadThatFailsWritesNothingAndKeepsAnEarlierBackup)
{
    environmentCode = QStringLiteral("Orchard");
    const QByteArray earlier("an earlier backup, kept");
    const auto silent = [](sim::SimController& controller) { controller.settings.firmwareRuns = false; };
    const struct {
        const char* name;
        std::function<void(sim::SimController&)> fault;
        QStringList log;
        std::optional<QByteArray> before;
    } cases[] = {
        {"failed read, no file before", failSecondReadBlock,
         {logged("Чтение программного обеспечения"), logged("Error: -2")}, std::nullopt},
        {"failed read, an earlier backup", failSecondReadBlock,
         {logged("Чтение программного обеспечения"), logged("Error: -2")}, earlier},
        {"boot mode, an earlier backup", silent, {logged("Error: -110")}, earlier},
    };
    for (const auto& c : cases) {
        simulator().reset();
        const QString file = path("backup.rom");
        QFile::remove(file);
        if (c.before)
            writeBytes(file, *c.before);
        c.fault(*controller());
        const CliRun result = run({"flash-read", "-o", file, "--size", "1000"});
        EXPECT_EQ(result.status, 4) << c.name;
        EXPECT_EQ(logLines(result.err), c.log) << c.name;
        EXPECT_EQ(QFile::exists(file), c.before.has_value()) << c.name;
        EXPECT_EQ(fileBytes(file), c.before.value_or(QByteArray())) << c.name;
    }
    simulator().reset();
    const CliRun refused = run({"flash-read", "-o", path("no/such/folder/backup.rom")});
    EXPECT_EQ(refused.status, 5);
    EXPECT_EQ(logLines(refused.err).last(), logged("Файл " + path("no/such/folder/backup.rom") + " не удается создать"));
}

// A controller whose configuration memory does not keep byte 70 (in the network block, which
// every write sends) or byte 150 (in the board block, which only --full sends).
TEST_F(Cli, WriteVerifyReadsTheConfigurationBackAndComparesTheBytesWritten)
{
    const struct {
        const char* name;
        std::map<int, std::uint8_t> stuck;
        QStringList options;
        std::optional<QString> code;
        int written;
        int status;
        QString verdict;
    } cases[] = {
        {"kept", {}, {}, std::nullopt, 110, 0, "Конфигурация в контроллере совпадает с записанной"},
        {"byte 70 lost", {{70, 0x00}}, {}, std::nullopt, 110, 7,
         "Расхождение конфигурации по смещению 0x0046: записано %1, в контроллере 00"},
        {"byte 150 lost, not written", {{150, 0x00}}, {}, std::nullopt, 110, 0,
         "Конфигурация в контроллере совпадает с записанной"},
        {"byte 150 lost, written", {{150, 0x00}}, {"--full"}, QStringLiteral("Plank_Orchard"), 200, 7,
         "Расхождение конфигурации по смещению 0x0096: записано %2, в контроллере 00"},
    };
    for (const auto& c : cases) {
        simulator().reset();
        ConfigRecord record = controllerRecord();
        record.bytes[70] = 0x5A;
        record.bytes[150] = 0xC3;
        const QString file = saveRecord(record);
        controller()->configMemory().stuckCells = c.stuck;
        environmentCode = c.code;
        const CliRun result = run(QStringList{"write", "--verify", file} + c.options);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(logLines(result.err),
                  (QStringList{logged("Процесс загрузки конфигурации запущен"),
                               logged("Процесс загрузки конфигурации завершен"),
                               logged(QStringLiteral("Передано %1байт.").arg(c.written)),
                               logged("Процесс чтения конфигурации запущен"),
                               logged("Процесс чтения конфигурации завершен"),
                               logged("Получено 200байт."),
                               logged(QString(c.verdict).replace("%1", "5A").replace("%2", "C3"))}))
            << c.name;
    }
}

TEST_F(Cli, VerificationAndBackupInJson)
{
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    controller()->devices().flash.wornCells = {{700, 0x00}};
    const CliRun worn = run({"--json", "flash", "--verify", image});
    EXPECT_EQ(worn.status, 7);
    const QJsonObject flashed = json(worn);
    EXPECT_EQ(flashed["status"].toString(), "mismatch");
    EXPECT_EQ(flashed["bytesSent"].toInt(), 1000);
    EXPECT_EQ(flashed["verification"].toObject(),
              (QJsonObject{{"outcome", "mismatch"},
                           {"bytesEqual", 700},
                           {"firstMismatch", QJsonObject{{"address", 700}, {"expected", 0x29}, {"actual", 0}}}}));

    const QJsonObject backup = json(run({"--json", "flash-read", "-o", path("backup.rom"), "--size", "1000"}));
    EXPECT_EQ(backup["status"].toString(), "success");
    EXPECT_EQ(backup["bytesReceived"].toInt(), 1000);
    EXPECT_EQ(backup["file"].toString(), path("backup.rom"));

    const QString file = saveRecord(controllerRecord());
    const QJsonObject written = json(run({"--json", "write", "--verify", file}));
    EXPECT_EQ(written["status"].toString(), "success");
    EXPECT_EQ(written["bytesSent"].toInt(), 110);
    EXPECT_EQ(written["verification"].toObject(), (QJsonObject{{"outcome", "match"}, {"bytesEqual", 110}}));

    controller()->settings.firmwareRuns = false;
    const QJsonObject boot = json(run({"--json", "flash", "--verify", image}));
    EXPECT_EQ(boot["status"].toString(), "unverified");
    EXPECT_EQ(boot["exitStatus"].toInt(), 8);
    EXPECT_EQ(boot["verification"].toObject(), (QJsonObject{{"outcome", "impossible"}}));
}

// Counters 0 = 300 s, 2 = 0x18000, 3 = 16 777 217 packets, 17 = 32768 (50 %), from a controller
// whose capacity takes the whole counters record.
void fixCounters(sim::SimController& controller)
{
    controller.settings.capacity = 256;
    controller.faults.replyFilter = [](const sim::Request& request, std::vector<std::uint8_t>& reply) {
        if (request.command != 8)
            return;
        reply.assign(8 + 76, 0);
        reply[0] = 8;
        const auto put = [&](int counter, std::uint32_t value) {
            qToBigEndian<std::uint32_t>(value, reply.data() + 8 + 4 * counter);
        };
        put(0, 300);
        put(2, 0x18000);
        put(3, 16777217);
        put(17, 32768);
    };
}

TEST_F(Cli, StatsPrintsTheWindowsPagesWithItsConversions)
{
    fixCounters(*controller());
    const CliRun result = run({"stats"});
    EXPECT_EQ(result.status, 0);
    const QStringList lines = result.out.split(u'\n');
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"Общая", "  Время сбора данных (сек): 300",
                                            "  Количество отправленных пакетов: 16\u00A0777\u00A0216"}))
        << "grouped with the locale's separator";
    EXPECT_TRUE(lines.contains("  Cреднее время задержки: 1,5000 сек"));
    EXPECT_TRUE(lines.contains("  Загрузка процессора (%): 50,00"));
    EXPECT_TRUE(lines.contains("  Количество ошибочных пакетов за 1 сек: 0,0000 %"));
    EXPECT_TRUE(lines.contains("  Среднее время задержки кадров: 0,00 мсек"));
    EXPECT_TRUE(lines.contains("Канал аудио"));

    controller()->settings.typeWord = 0x1000;
    const CliRun r410 = run({"stats", "--period", "995"});
    EXPECT_TRUE(r410.out.contains("\n  Частота синхронизации: 98\u00A0304 Гц\n"));
    EXPECT_FALSE(r410.out.contains("Среднее время задержки кадров"));
    EXPECT_TRUE(r410.out.contains("\n  Количество потерянных кадров за 999 сек: 0,0000 %\n"));
}

TEST_F(Cli, StatsPollsEveryPeriodResetsFirstAndWritesTheGraphPagesCsv)
{
    fixCounters(*controller());
    const QString csv = path("stats.csv");
    const CliRun result = run({"stats", "--reset", "--count", "3", "--period", "5", "--csv", csv});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(clock.pauses, (std::vector<int>{5000, 5000}));
    std::vector<int> modes;
    for (const sim::Transfer& sent : sim::sentTransfers(simulator().traffic()))
        if (sent.bytes.size() == 8 && sent.bytes[0] == 8)
            modes.push_back(sent.bytes[2]);
    EXPECT_EQ(modes, (std::vector<int>{0, 1, 1, 1}));
    const QList<QByteArray> rows = fileBytes(csv).split('\n');
    ASSERT_EQ(rows.size(), 5) << "a header, three reports and the end of the last line";
    EXPECT_TRUE(rows[0].startsWith("Время"));
    EXPECT_TRUE(rows[1].startsWith("2024-03-05T14:05:09"));
}

TEST_F(Cli, StatsStopsAtAUsbFailureAsTheWindowStops)
{
    fixCounters(*controller());
    // Pulled out as the second report's reply is read.
    controller()->faults.disconnectAtTransfer = 11;
    const CliRun result = run({"stats", "--count", "3"});
    EXPECT_EQ(result.status, 4);
    EXPECT_EQ(result.out.count("Общая"), 1);
    EXPECT_EQ(logLines(result.err).size(), 1);
    EXPECT_TRUE(logLines(result.err).value(0).startsWith(logged("Error: -"))) << result.err.toStdString();
}

TEST_F(Cli, TraceSelectsTheChannelsAndPrintsTheLinesUntilTheDurationEnds)
{
    environmentCode = QStringLiteral("Probe_Orchard");
    controller()->devices().trace.setLiveRate(0);
    controller()->devices().trace.queueRecord({0x00, 0x02, 0x01, 0xA5});
    controller()->devices().trace.queueRecord({0x00, 0x01, 0x77, 0x10});
    const QString file = path("trace.txt");
    const CliRun result = run({"trace", "--channels", "link-rx,bus-tx", "--duration", "0.3", "-o", file});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(controller()->devices().trace.selections(), std::vector<std::uint16_t>{0x6});
    EXPECT_EQ(fileBytes(file), "14:05:09 Link(RxD): 0x01; 0xA5; \n14:05:09 Bus+(TxD): 0x10; \n");
    EXPECT_EQ(clock.pauses, (std::vector<int>{100, 100, 100}));
    EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(Cli, TraceEndsWithCtrlCAsItsNormalEnd)
{
    environmentCode = QStringLiteral("Core_Orchard");
    controller()->devices().trace.setLiveRate(0);
    controller()->devices().trace.queueRecord({0x00, 0x00, 0x42});
    clock.onSleep = [this](std::size_t count) { interrupted = count >= 2; };
    const CliRun result = run({"trace", "--channels", "bus-rx"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "14:05:09 Bus+(RxD): 0x42; \n");
}

TEST_F(Cli, AnotherProgramHoldingTheControllerAndAControllerPulledOutAreUsbFailures)
{
    controller()->faults.interfaceBusy = true;
    const CliRun busy = run({"read", "-o", path("busy.rcf")});
    EXPECT_EQ(busy.status, 4);
    EXPECT_EQ(logLines(busy.err), QStringList{logged("Интерфейс контроллера не доступен")});

    simulator().reset();
    controller()->faults.disconnectAfterExchanges = 3;
    environmentCode = QStringLiteral("Orchard");
    const QString image = path("image.rom");
    writeBytes(image, patterned(1000));
    const CliRun pulled = run({"flash", image});
    EXPECT_EQ(pulled.status, 4);
    EXPECT_TRUE(logLines(pulled.err).last().startsWith(logged("Error: -")));
    EXPECT_FALSE(QFile::exists(path("busy.rcf")));
}

TEST_F(Cli, DeviceAndDieIdChooseOneControllerAmongSeveral)
{
    simulator().addBus();
    auto second = simulator().addController(1, {.typeWord = 0x2001, .dieId = {0x0002, 0x0003, 0x0004, 0x0005}});
    const auto topology = simulator().topology();
    const QString secondPath = QStringLiteral("%1/%2").arg(2, 3, 10, QChar(u'0')).arg(topology[1][0].id, 3, 10, QChar(u'0'));
    const QString firstPath = QStringLiteral("1/%1").arg(topology[0][0].id);

    EXPECT_TRUE(run({"--device", secondPath, "info"}).out.contains("\nМодель: R-420ZB\n"));
    EXPECT_TRUE(run({"--device", firstPath, "info"}).out.contains("\nМодель: R-420ZA\n"));
    EXPECT_TRUE(run({"--die-id", "2:3:4:5", "info"}).out.contains("\nМодель: R-420ZB\n"));
    EXPECT_TRUE(run({"--die-id", "0001:2345:00ab:0c00", "info"}).out.contains("\nМодель: R-420ZA\n"));

    const CliRun unknown = run({"--die-id", "0009:0009:0009:0009", "info"});
    EXPECT_EQ(unknown.status, 3);
    EXPECT_EQ(logLines(unknown.err).last(), logged("Контроллер с Die ID 0009:0009:0009:0009 не обнаружен на шине USB"));
    const CliRun nowhere = run({"--device", "9/9", "info"});
    EXPECT_EQ(nowhere.status, 3);
    EXPECT_EQ(logLines(nowhere.err), QStringList{logged(NotFound)});

    controller()->faults.interfaceBusy = true;
    EXPECT_EQ(run({"--device", secondPath, "info"}).status, 0) << "a busy neighbour is no matter";
}

TEST_F(Cli, JsonIsOneDocumentWithTheResultTheStatusAndTheLog)
{
    const CliRun list = run({"--json", "list"});
    EXPECT_EQ(list.status, 0);
    const QJsonObject listed = json(list);
    EXPECT_EQ(listed["command"].toString(), "list");
    EXPECT_EQ(listed["exitStatus"].toInt(), 0);
    EXPECT_EQ(listed["status"].toString(), "success");
    const QJsonObject first = listed["controllers"].toArray().at(0).toObject();
    EXPECT_EQ(first["model"].toString(), "R-420ZA");
    EXPECT_EQ(first["dieId"].toString(), "0001:2345:00AB:0C00");
    EXPECT_EQ(first["answers"].toBool(), true);

    const QJsonObject read = json(run({"read", "-o", path("j.rcf"), "--json"}));
    EXPECT_EQ(read["bytesReceived"].toInt(), 200);
    EXPECT_EQ(read["file"].toString(), path("j.rcf"));
    EXPECT_EQ(read["log"].toArray().at(2).toString(), "Получено 200байт.");

    const QJsonObject written = json(run({"--json", "write", path("j.rcf")}));
    EXPECT_EQ(written["bytesSent"].toInt(), 110);

    const QJsonObject info = json(run({"--json", "info"}));
    EXPECT_EQ(info["info"].toObject()["fields"].toObject()["model"].toString(), "R-420ZA");
    EXPECT_EQ(info["info"].toObject()["fields"].toObject()["chipId"].toString(), "0x05");

    fixCounters(*controller());
    const QJsonObject stats = json(run({"--json", "stats"}));
    const QJsonObject report = stats["reports"].toArray().at(0).toObject();
    EXPECT_EQ(report["counters"].toArray().at(0).toInt(), 300);
    EXPECT_EQ(report["fields"].toArray().at(0).toObject()["text"].toString(), "300");

    simulator().clear();
    const CliRun none = run({"--json", "read", "-o", path("k.rcf")});
    EXPECT_EQ(none.status, 3);
    const QJsonObject failed = json(none);
    EXPECT_EQ(failed["status"].toString(), "no-controller");
    EXPECT_EQ(failed["exitStatus"].toInt(), 3);
    EXPECT_EQ(failed["log"].toArray(), QJsonArray{NotFound});
}

} // namespace
