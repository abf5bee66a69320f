// r4xx-usbfs-bed as a developer or a script runs it: its start options, and what a program under
// it sees of the controllers through Debian's libusb (the program is bed_usb_probe).

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Probe = QStringLiteral(PROBE_PROGRAM);
// The terminal's link layer reading the configuration.
const QString Reader = QStringLiteral(READER_PROGRAM);

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// The bed, run under umockdev-wrapper with the arguments given.
Outcome bed(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(BED_WRAPPER), QStringList{QStringLiteral(BED_PROGRAM)} + arguments);
    process.waitForFinished(-1);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList words(const QString& line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

// The bed with its options, running a shell line in which PROBE and READER stand for those
// programs.
Outcome bedShell(const QString& options, const QString& script)
{
    QString line = script;
    line.replace(QStringLiteral("PROBE"), Probe).replace(QStringLiteral("READER"), Reader);
    return bed(words(options) + QStringList{QStringLiteral("--"), QStringLiteral("sh"),
                                            QStringLiteral("-c"), line});
}

QString lines(std::initializer_list<const char*> texts)
{
    QString joined;
    for (const char* text : texts)
        joined += QString::fromUtf8(text) + u'\n';
    return joined;
}

} // namespace

TEST(UsbfsBed, RefusesACommandLineItCannotUseWithStatusTwo)
{
    const struct {
        const char* arguments;
        const char* error;
        int status;
    } cases[] = {
        {"", "r4xx-usbfs-bed: не задана программа: параметры, затем --, затем программа\n"
             "Список параметров: r4xx-usbfs-bed --help\n", 2},
        {"--controllers 9 -- true", "r4xx-usbfs-bed: параметр --controllers: недопустимое значение «9», "
                                    "ожидается 0..8\nСписок параметров: r4xx-usbfs-bed --help\n", 2},
        {"--latency -- true", "r4xx-usbfs-bed: параметру --latency нужно значение 0..60000\n"
                              "Список параметров: r4xx-usbfs-bed --help\n", 2},
        {"--model R-420 true", "r4xx-usbfs-bed: неизвестный параметр «true»\n"
                               "Список параметров: r4xx-usbfs-bed --help\n", 2},
        {"--traffic /no/such/folder/t.jsonl -- true",
         "r4xx-usbfs-bed: файл трафика /no/such/folder/t.jsonl: No such file or directory\n"
         "Список параметров: r4xx-usbfs-bed --help\n", 2},
        {"-- /no/such/program", "r4xx-usbfs-bed: cannot start /no/such/program\n", 127},
    };
    for (const auto& c : cases) {
        const Outcome outcome = bed(words(QString::fromUtf8(c.arguments)));
        EXPECT_EQ(outcome.status, c.status) << c.arguments;
        EXPECT_EQ(outcome.err.toStdString(), c.error) << c.arguments;
        EXPECT_EQ(outcome.out.toStdString(), "") << c.arguments;
    }
}

TEST(UsbfsBed, HelpListsTheDemoProgramsOptions)
{
    const Outcome outcome = bed({QStringLiteral("--help")});
    EXPECT_EQ(outcome.status, 0);
    for (const char* option : {"-- ПРОГРАММА", "--model", "--edition", "--software", "--board",
                               "--die-id", "--chip-id", "--capacity", "--controllers 0..8",
                               "--no-controller", "--boot-mode", "--latency", "--trace-rate",
                               "--stats-activity", "--traffic"})
        EXPECT_TRUE(outcome.out.contains(QString::fromUtf8(option))) << option;
}

// What the real libusb finds on the bus and what each controller says of itself.
TEST(UsbfsBed, EveryControllerAnswersWithItsOwnIdentity)
{
    const struct {
        const char* options;
        QString listed;
    } cases[] = {
        {"", lines({"001/002 type 2000 die 0001:2345:00AB:0C00 chip 0005", "controllers: 1"})},
        {"--controllers 4",
         lines({"001/002 type 2000 die 0001:2345:00AB:0C00 chip 0005",
                "001/003 type 2000 die 0001:2345:00AB:0C01 chip 0005",
                "001/004 type 2000 die 0001:2345:00AB:0C02 chip 0005",
                "001/005 type 2000 die 0001:2345:00AB:0C03 chip 0005", "controllers: 4"})},
        {"--controllers 2 --model R-410 --edition ZB --software 1.3 --board 0.2 "
         "--die-id 00FF:1234:ABCD:FFFF --chip-id 0C0A",
         lines({"001/002 type 1721 die 00FF:1234:ABCD:FFFF chip 0C0A",
                "001/003 type 1721 die 00FF:1234:ABCD:0000 chip 0C0A", "controllers: 2"})},
        {"--no-controller", lines({"controllers: 0"})},
    };
    for (const auto& c : cases) {
        const Outcome outcome = bed(words(QString::fromUtf8(c.options))
                                    + QStringList{QStringLiteral("--"), Probe, QStringLiteral("list")});
        EXPECT_EQ(outcome.status, 0) << c.options << outcome.err.toStdString();
        EXPECT_EQ(outcome.out.toStdString(), c.listed.toStdString()) << c.options;
    }
}

// The bed as the tests have long called it: the program first, no options, no "--".
TEST(UsbfsBed, TheProgramMayComeFirstWithoutOptions)
{
    const Outcome outcome = bed({Probe, QStringLiteral("list")});
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out.toStdString(),
              lines({"001/002 type 2000 die 0001:2345:00AB:0C00 chip 0005", "controllers: 1"}).toStdString());
}

// A write to one controller's memory shows on that controller only: the others read what they
// read before.
TEST(UsbfsBed, WritingOneControllerLeavesTheOthersUntouched)
{
    const struct {
        const char* memory;
        const char* script;
    } cases[] = {
        {"configuration memory",
         "PROBE read-memory 0x0100 4 && echo -- && PROBE write-memory 001/004 0x0100 A1B2C3D4 "
         "&& echo -- && PROBE read-memory 0x0100 4"},
        {"firmware memory",
         "PROBE read-flash 0x020000 4 && echo -- && PROBE write-flash 001/004 0x020000 A1B2C3D4 "
         "&& echo -- && PROBE read-flash 0x020000 4"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = bedShell(QStringLiteral("--controllers 4"), QString::fromUtf8(c.script));
        ASSERT_EQ(outcome.status, 0) << c.memory << outcome.out.toStdString() << outcome.err.toStdString();
        const QStringList parts = outcome.out.split(QStringLiteral("--\n"));
        ASSERT_EQ(parts.size(), 3) << outcome.out.toStdString();
        EXPECT_EQ(parts[1].toStdString(), "001/004 written 4\n") << c.memory;
        QStringList before = parts[0].split(u'\n', Qt::SkipEmptyParts);
        const QStringList after = parts[2].split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(before.size(), 4) << c.memory << parts[0].toStdString();
        EXPECT_NE(before[2].toStdString(), "001/004 A1B2C3D4") << c.memory;
        before[2] = QStringLiteral("001/004 A1B2C3D4");
        EXPECT_EQ(after.join(u'\n').toStdString(), before.join(u'\n').toStdString()) << c.memory;
    }
}

// One controller held by one handle: another open of it, in the same program or in another one,
// is refused its claim at once, and the controller serves again when the holder lets it go.
TEST(UsbfsBed, ASecondOpenOfAHeldControllerIsRefused)
{
    const struct {
        const char* what;
        const char* script;
        QString printed;
        int status;
    } cases[] = {
        {"two handles in one program", "PROBE claim-twice 001/003",
         lines({"001/003 first: configuration 0 claim 0", "001/003 second: configuration 0 claim -16"}), 0},
        // As the kernel does, the configuration is refused too while another file holds the
        // interface.
        {"a second program", "PROBE hold 001/003 PROBE list",
         lines({"001/003 held", "001/002 type 2000 die 0001:2345:00AB:0C00 chip 0005",
                "001/003 configuration -16 claim -16", "controllers: 2"}),
         1},
        {"the terminal while another program holds the controller", "PROBE hold 001/002 READER",
         lines({"001/002 held", "Конфигурация контроллера не доступна", "identity word 0: 0x0000"}), 1},
        {"a program after the holder ended", "PROBE hold 001/003 true && PROBE list",
         lines({"001/003 held", "001/002 type 2000 die 0001:2345:00AB:0C00 chip 0005",
                "001/003 type 2000 die 0001:2345:00AB:0C01 chip 0005", "controllers: 2"}),
         0},
    };
    for (const auto& c : cases) {
        const Outcome outcome = bedShell(QStringLiteral("--controllers 2"), QString::fromUtf8(c.script));
        EXPECT_EQ(outcome.status, c.status) << c.what << outcome.err.toStdString();
        EXPECT_EQ(outcome.out.toStdString(), c.printed.toStdString()) << c.what;
    }
}

// Every transfer of the program on the bus goes to the traffic file, one JSON line each.
TEST(UsbfsBed, TrafficFileHoldsTheProgramsTransfers)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("traffic.jsonl"));
    const Outcome outcome = bed({QStringLiteral("--traffic"), path, QStringLiteral("--"), Probe,
                                 QStringLiteral("list")});
    ASSERT_EQ(outcome.status, 0) << outcome.err.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::string written;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        // The time stamp differs from run to run.
        written += QString::fromUtf8(line)
                       .remove(QRegularExpression(QStringLiteral(",\"time_us\":[0-9]+")))
                       .toStdString()
            + '\n';
    }
    EXPECT_EQ(written, lines({
        R"({"bytes":"00000040","direction":"out","endpoint":1,"length":4,"result":4,"timeout":0})",
        R"({"bytes":"00000001","direction":"in","endpoint":129,"length":4,"result":4,"timeout":0})",
        R"({"bytes":"0100000000000000","direction":"out","endpoint":1,"length":8,"result":8,"timeout":0})",
        R"({"bytes":"010000000000000020000001234500ab0c000005","direction":"in","endpoint":129,"length":264,"result":20,"timeout":0})",
    }).toStdString());
}
