// r4xx-cli as shipped: the real program on Debian's libusb, run by r4xx-usbfs-bed under
// umockdev-wrapper against simulated controllers. bed_usb_probe reads back what the controllers
// hold.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "config/ConfigFile.h"
#include "config/Crc.h"

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

QStringList words(const QString& line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

class CliBed : public ::testing::Test {
protected:
    // The bed with its options, running a shell script in which CLI, PROBE and DIR stand for
    // r4xx-cli, bed_usb_probe and a folder of the test's own.
    Outcome bed(const QString& options, const QString& script)
    {
        QString line = script;
        line.replace(QStringLiteral("CLI"), QStringLiteral(CLI_PROGRAM))
            .replace(QStringLiteral("PROBE"), QStringLiteral(PROBE_PROGRAM))
            .replace(QStringLiteral("DIR"), folder.path());
        QProcess process;
        process.start(QStringLiteral(BED_WRAPPER),
                      QStringList{QStringLiteral(BED_PROGRAM)} + words(options)
                          + QStringList{QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), line});
        process.waitForFinished(-1);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    // The log lines without their time prefix.
    static QStringList logLines(const QString& err)
    {
        QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        static const QRegularExpression prefix(QStringLiteral("^[^>]*-> "));
        for (QString& line : lines)
            line.remove(prefix);
        return lines;
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    QByteArray fileBytes(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const char* name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // An image of its own for each controller.
    static QByteArray image(int size, int seed)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 31 + seed * 17 + i / 256);
        return bytes;
    }

    QTemporaryDir folder;
};

TEST_F(CliBed, ListShowsEveryControllerOnTheBus)
{
    const Outcome outcome = bed("--controllers 3", "CLI list");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out.toStdString(),
              "001/002  R-420ZA  Версия ПО: 0.0  Версия ПП: A.0  Die ID: 0001:2345:00AB:0C00  Chip ID: 0x05\n"
              "001/003  R-420ZA  Версия ПО: 0.0  Версия ПП: A.0  Die ID: 0001:2345:00AB:0C01  Chip ID: 0x05\n"
              "001/004  R-420ZA  Версия ПО: 0.0  Версия ПП: A.0  Die ID: 0001:2345:00AB:0C02  Chip ID: 0x05\n");

    const Outcome boot = bed("--boot-mode", "CLI --json list");
    EXPECT_EQ(boot.status, 0);
    const QJsonObject listed = QJsonDocument::fromJson(boot.out.toUtf8()).object();
    EXPECT_EQ(listed["controllers"].toArray().at(0).toObject()["answers"].toBool(true), false);
}

TEST_F(CliBed, AWriteOfAChangedFileIsReadBack)
{
    ASSERT_EQ(bed("", "CLI read -o DIR/first.rcf").status, 0);
    OpenedConfig opened = openConfigFile(path("first.rcf"), TCrc());
    ASSERT_EQ(opened.result, OpenFileResult::Opened);
    opened.record.bytes[70] ^= 0x5A; // the network block
    ASSERT_EQ(saveConfigFile(path("changed.rcf"), opened.record, TCrc()), SaveFileResult::Saved);

    const Outcome outcome = bed("", "CLI read -o DIR/before.rcf && CLI write DIR/changed.rcf "
                                    "&& CLI read -o DIR/after.rcf");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(fileBytes("before.rcf"), fileBytes("first.rcf"));
    EXPECT_EQ(fileBytes("after.rcf"), fileBytes("changed.rcf"));
    EXPECT_TRUE(logLines(outcome.err).contains("Передано 110байт."));
}

TEST_F(CliBed, TheControllersRecordIsShownComparedAndExportedByFieldName)
{
    const Outcome outcome = bed("", "CLI read -o DIR/read.rcf && CLI show --controller > DIR/controller.txt "
                                    "&& CLI show DIR/read.rcf > DIR/file.txt "
                                    "&& CLI export --controller -o DIR/controller.json "
                                    "&& CLI import DIR/controller.json -o DIR/back.rcf "
                                    "&& CLI diff DIR/back.rcf --controller");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_TRUE(fileBytes("controller.txt").contains("\n  IP-адрес (ip):")) << fileBytes("controller.txt").toStdString();
    EXPECT_EQ(fileBytes("controller.txt"), fileBytes("file.txt"));
    EXPECT_EQ(fileBytes("back.rcf"), fileBytes("read.rcf"));

    OpenedConfig opened = openConfigFile(path("read.rcf"), TCrc());
    ASSERT_EQ(opened.result, OpenFileResult::Opened);
    opened.record.bytes[83] = 10; // the IP address's first octet
    ASSERT_EQ(saveConfigFile(path("changed.rcf"), opened.record, TCrc()), SaveFileResult::Saved);
    const Outcome differ = bed("", "CLI diff DIR/changed.rcf --controller");
    EXPECT_EQ(differ.status, 1) << differ.err.toStdString();
    EXPECT_TRUE(differ.out.contains("\nСеть: IP-адрес (ip): 10.168.1.10 → 192.168.1.10\n"))
        << differ.out.toStdString();

    const Outcome unplugged = bed("--unplug 1:1", "CLI diff DIR/changed.rcf --controller");
    EXPECT_EQ(unplugged.status, 2) << "any trouble of diff ends with 2";
    EXPECT_TRUE(unplugged.out.isEmpty());
}

TEST_F(CliBed, SetIdentityThenInfoShowsTheNewIdentity)
{
    const Outcome outcome = bed("", "R4XX_SERVICE_CODE=Plank_Orchard CLI set-identity --serial 4242 "
                                    "--mac 00-1a-2b-3c-4d-5e --date 2024-03-05 >/dev/null && CLI info");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.contains("\nСер. номер: 4242\n")) << outcome.out.toStdString();
    EXPECT_TRUE(outcome.out.contains("\nMAC: 00-1A-2B-3C-4D-5E\n"));
    EXPECT_TRUE(logLines(outcome.err).contains("Передано 200байт."));
}

TEST_F(CliBed, FourLoadsSideBySideEachLeaveTheirOwnImage)
{
    for (int i = 0; i < 4; ++i)
        writeFile(QStringLiteral("image%1.rom").arg(i).toLatin1().constData(), image(600, i));
    QString reads;
    for (int address : {0, 256, 512})
        reads += QStringLiteral(" && PROBE read-flash %1 %2").arg(address).arg(address == 512 ? 88 : 256);
    const Outcome outcome = bed("--controllers 4",
                                "export R4XX_SERVICE_CODE=Orchard; "
                                "CLI --device 001/002 flash DIR/image0.rom 2>DIR/0.log & "
                                "CLI --device 001/003 flash DIR/image1.rom 2>DIR/1.log & "
                                "CLI --device 001/004 flash DIR/image2.rom 2>DIR/2.log & "
                                "CLI --device 1/5 flash DIR/image3.rom 2>DIR/3.log & "
                                "fail=0; for job in 1 2 3 4; do wait %$job || fail=1; done; "
                                "test $fail = 0"
                                    + reads);
    EXPECT_EQ(outcome.status, 0) << outcome.out.toStdString() << outcome.err.toStdString();
    QMap<QString, QByteArray> flashes;
    for (const QString& line : outcome.out.split(u'\n', Qt::SkipEmptyParts))
        flashes[line.section(u' ', 0, 0)] += QByteArray::fromHex(line.section(u' ', 1).toLatin1());
    const QStringList paths{"001/002", "001/003", "001/004", "001/005"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(flashes.value(paths[i]), image(600, i)) << paths[i].toStdString();
        const QString log =
            QString::fromUtf8(fileBytes(QStringLiteral("%1.log").arg(i).toLatin1().constData()));
        EXPECT_TRUE(logLines(log).contains("Загрузка программного обеспечения завершена"))
            << log.toStdString();
    }
}

// A load verified, then the memory read back to files: as much as the image, and the whole
// 128 KiB, which holds the image and the erased rest.
TEST_F(CliBed, AVerifiedLoadIsBackedUpByteForByte)
{
    writeFile("image.rom", image(1000, 5));
    const Outcome outcome = bed("", "export R4XX_SERVICE_CODE=Orchard; CLI flash --verify DIR/image.rom "
                                    "&& CLI flash-read -o DIR/backup.rom --size 1000 "
                                    "&& CLI flash-read -o DIR/whole.rom");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    const QStringList log = logLines(outcome.err);
    EXPECT_TRUE(log.contains("Программное обеспечение совпадает с файлом")) << outcome.err.toStdString();
    EXPECT_TRUE(log.contains("Получено 131072байт."));
    EXPECT_EQ(fileBytes("backup.rom"), image(1000, 5));
    EXPECT_EQ(fileBytes("whole.rom"), image(1000, 5) + QByteArray(131072 - 1000, '\xFF'));
}

TEST_F(CliBed, BootModeStreamsTheImageToTheBootLoader)
{
    writeFile("image.rom", image(300, 7));
    const Outcome outcome = bed(QStringLiteral("--boot-mode --traffic %1").arg(path("traffic.jsonl")),
                                "R4XX_SERVICE_CODE=Core_Orchard CLI flash DIR/image.rom");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    const QStringList log = logLines(outcome.err);
    EXPECT_EQ(log.mid(log.size() - 3), (QStringList{"Процесс загрузки ПО (boot_mode) запущен",
                                                    "Процесс загрузки ПО (boot_mode) завершен",
                                                    "Передано 300байт."}));
    QByteArray streamed;
    for (const QByteArray& line : fileBytes("traffic.jsonl").split('\n')) {
        const QJsonObject transfer = QJsonDocument::fromJson(line).object();
        if (transfer["endpoint"].toInt() == 6 && transfer["direction"].toString() == "out")
            streamed += QByteArray::fromHex(transfer["bytes"].toString().toLatin1());
    }
    EXPECT_EQ(streamed, image(300, 7));
}

TEST_F(CliBed, FailuresGiveTheirMessageAndStatusAndWriteNothing)
{
    writeFile("image.rom", image(300, 1));
    writeFile("short.rcf", QByteArray(211, '\0'));
    const struct {
        const char* name;
        const char* options;
        const char* script;
        int status;
        const char* message;
    } cases[] = {
        {"no controller", "--no-controller", "CLI read -o DIR/out.rcf", 3,
         "Контроллер не обнаружен на шине USB"},
        {"a wrong service code", "", "R4XX_SERVICE_CODE=orchard CLI flash DIR/image.rom", 6,
         "Ошибка ввода сервисного кода"},
        {"a file that does not open", "", "CLI write DIR/short.rcf", 5, nullptr},
        {"a busy controller", "", "PROBE hold 001/002 CLI read -o DIR/out.rcf", 4,
         "Конфигурация контроллера не доступна"},
    };
    for (const auto& c : cases) {
        const QString traffic = path("traffic.jsonl");
        QFile::remove(traffic);
        const Outcome outcome = bed(QStringLiteral("%1 --traffic %2").arg(c.options, traffic), c.script);
        EXPECT_EQ(outcome.status, c.status) << c.name << outcome.err.toStdString();
        const QString expected = c.message ? QString::fromUtf8(c.message)
                                           : "Файл " + path("short.rcf")
                                               + " поврежден, либо не соответствует данному устройству ";
        EXPECT_EQ(logLines(outcome.err).value(0), expected) << c.name;
        EXPECT_FALSE(QFile::exists(path("out.rcf"))) << c.name;
        if (std::string(c.name) != "a busy controller")
            EXPECT_TRUE(fileBytes("traffic.jsonl").isEmpty()) << c.name << ": nothing reached the controller";
    }
}

// The first of two controllers pulled out in the middle of a read (its second block of four) and
// of a load (its second page): the task fails with the USB failure, the file saved before stays
// as it was, and the other controller is neither chosen instead nor written.
TEST_F(CliBed, AControllerUnpluggedMidTaskFailsAndWritesNothing)
{
    writeFile("image.rom", image(600, 3));
    const QByteArray saved = QByteArray("an older file, kept");
    const struct {
        const char* name;
        const char* options;
        const char* command;
        QStringList log;
    } cases[] = {
        {"read", "--capacity 64 --unplug 1:6", "CLI read -o DIR/out.rcf",
         {"Процесс чтения конфигурации запущен", "Error: -19"}},
        {"flash", "--unplug 1:38", "R4XX_SERVICE_CODE=Orchard CLI flash DIR/image.rom",
         {"Удаление программного обеспечения", "Загрузка программного обеспечения", "Error: -19"}},
    };
    for (const auto& c : cases) {
        writeFile("out.rcf", saved);
        const Outcome outcome = bed(QStringLiteral("--controllers 2 %1").arg(c.options),
                                    QStringLiteral("%1; echo status=$?; CLI list; PROBE read-flash 0 16").arg(c.command));
        EXPECT_EQ(outcome.out.toStdString(),
                  "status=4\n"
                  "001/003  R-420ZA  Версия ПО: 0.0  Версия ПП: A.0  Die ID: 0001:2345:00AB:0C01  Chip ID: 0x05\n"
                  "001/003 FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n")
            << c.name << outcome.err.toStdString();
        EXPECT_EQ(logLines(outcome.err), c.log) << c.name;
        EXPECT_EQ(fileBytes("out.rcf"), saved) << c.name;
    }
}

} // namespace
