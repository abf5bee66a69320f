#include <set>

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/IdentityEntries.h"
#include "cli/ProgressBar.h"
#include "cli/ServiceCode.h"
#include "cli/TaskOutcome.h"
#include "cli/TraceChannels.h"
#include "link/ConfigTasks.h"
#include "link/UsbConnection.h"
#include "models/DieId.h"

namespace {

TEST(ExitStatuses, AreDistinctAndEachHasItsKeyAndMeaning)
{
    std::set<int> codes;
    std::set<std::string> keys;
    for (const ExitStatusEntry& entry : exitStatuses()) {
        codes.insert(exitCode(entry.status));
        keys.insert(entry.key);
        EXPECT_FALSE(entry.meaning.isEmpty()) << entry.key;
    }
    EXPECT_EQ(codes, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 130}));
    EXPECT_EQ(keys.size(), exitStatuses().size());
}

TEST(TaskOutcome, AnEndWithoutResultIsToldByWhatTheLogSays)
{
    using namespace ConnectionTexts;
    const struct {
        const char* name;
        QStringList log;
        std::vector<int> failures;
        bool interrupted;
        ExitStatus status;
    } cases[] = {
        {"no controller", {NotFoundText}, {}, false, ExitStatus::NoController},
        {"no controller in either configuration", {NotFoundText, NotFoundText}, {}, false,
         ExitStatus::NoController},
        {"busy", {InterfaceText}, {}, false, ExitStatus::UsbFailure},
        {"refused configuration", {ConfigurationText}, {}, false, ExitStatus::UsbFailure},
        {"time-out", {"Error: -110"}, {-110}, false, ExitStatus::UsbFailure},
        {"other type", {"Процесс загрузки конфигурации прерван.", WrongTypeText}, {}, false,
         ExitStatus::Mismatch},
        {"Ctrl+C", {}, {}, true, ExitStatus::Interrupted},
        {"a failure before Ctrl+C", {"Error: -19"}, {-19}, true, ExitStatus::UsbFailure},
    };
    for (const auto& c : cases) {
        TaskOutcome outcome;
        outcome.log = c.log;
        outcome.usbFailures = c.failures;
        EXPECT_EQ(failureStatus(outcome, c.interrupted), c.status) << c.name;
    }
}

TEST(ProgressBar, ShowsThePhaseTheBarAndTheCounts)
{
    EXPECT_EQ(progressLine("Загрузка", 64, 128, 10), "Загрузка [#####     ]  50% 64/128");
    EXPECT_EQ(progressLine("", 0, 11, 4), "[    ]   0% 0/11");
    EXPECT_EQ(progressLine("", 11, 11, 4), "[####] 100% 11/11");
    EXPECT_EQ(progressLine("", 5, 0, 4), "[####] 100% 5/0") << "an empty image is done at once";
}

TEST(DieId, ListedFormReadsBackAndNamesOneController)
{
    EXPECT_EQ(dieIdKey({0x0001, 0x2345, 0x00AB, 0x0C00}), "0001:2345:00AB:0C00");
    const struct {
        const char* text;
        std::optional<DieId> die;
    } cases[] = {
        {"0001:2345:00AB:0C00", DieId{0x0001, 0x2345, 0x00AB, 0x0C00}},
        {"1:2345:ab:c00", DieId{0x0001, 0x2345, 0x00AB, 0x0C00}},
        {"0001:2345:00AB", std::nullopt},
        {"0001:2345:00AB:0C00:1", std::nullopt},
        {"0001:2345:00AB:10C00", std::nullopt},
        {"0001:2345::0C00", std::nullopt},
        {"0x01:2345:00AB:0C00", std::nullopt},
        {"0001:23G5:00AB:0C00", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDieId(c.text), c.die) << c.text;
}

TEST(TraceChannels, NamesGiveTheTraceWindowsMask)
{
    const struct {
        const char* text;
        std::optional<std::uint16_t> mask;
    } cases[] = {
        {"bus-rx", 0x1},          {"bus-tx", 0x2},   {"link-rx", 0x4},
        {"link-tx", 0x8},         {"bus-rx,link-tx", 0x9},
        {"bus-rx,bus-tx,link-rx,link-tx", 0xF}, {" link-rx , bus-rx", 0x5},
        {"", std::nullopt},       {"bus", std::nullopt}, {"bus-rx,usb", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(traceMask(c.text), c.mask) << c.text;
}

TEST(ServiceCode, EachCommandOpensOnlyWithTheLevelsOfItsNode)
{
    const struct {
        const char* code;
        const std::vector<AccessLevel>& levels;
        AccessVerdict verdict;
    } cases[] = {
        {"Orchard", firmwareLevels(), AccessVerdict::Granted},
        {"Core_Orchard", firmwareLevels(), AccessVerdict::Granted},
        {"Probe_Orchard", firmwareLevels(), AccessVerdict::OtherLevel},
        {"Probe_Orchard", traceLevels(), AccessVerdict::Granted},
        {"Orchard", traceLevels(), AccessVerdict::OtherLevel},
        {"Plank_Orchard", boardLevels(), AccessVerdict::Granted},
        {"Core_Orchard", boardLevels(), AccessVerdict::Granted},
        {"Orchard", boardLevels(), AccessVerdict::OtherLevel},
        {"orchard", firmwareLevels(), AccessVerdict::WrongCode},
        {"", traceLevels(), AccessVerdict::WrongCode},
        {"Core_Orchard ", boardLevels(), AccessVerdict::WrongCode},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accessFor(c.code, c.levels).verdict, c.verdict) << c.code;
    EXPECT_EQ(accessFor("Plank_Orchard", boardLevels()).level, LevelBoard);
}

TEST(IdentityEntries, EachValueIsTakenAsTheBoardEditorTakesIt)
{
    const struct {
        const char* name;
        IdentityInput input;
        bool taken;
        const char* refusal;
    } cases[] = {
        {"serial", {"A12", {}, {}, {}}, true, ""},
        {"serial of four", {"1234", {}, {}, {}}, true, ""},
        {"serial too long", {"12345", {}, {}, {}}, false,
         "Недопустимый текст в поле \"Сер. номер:\". Допускаются только символы кодировки "
         "Windows-1251, не более 4 байт."},
        {"serial outside Windows-1251", {"日本", {}, {}, {}}, false,
         "Недопустимый текст в поле \"Сер. номер:\". Допускаются только символы кодировки "
         "Windows-1251, не более 4 байт."},
        {"address", {{}, "0a-1b-2c-3d-4e-5f", {}, {}}, true, ""},
        {"address of five groups", {{}, "0A-1B-2C-3D-4E", {}, {}}, false,
         "Недопустимый физический адрес: \"0A-1B-2C-3D-4E\"; нужен вид AA-BB-CC-DD-EE-FF"},
        {"address with a G", {{}, "0A-1B-2C-3D-4E-5G", {}, {}}, false,
         "Недопустимый физический адрес: \"0A-1B-2C-3D-4E-5G\"; нужен вид AA-BB-CC-DD-EE-FF"},
        {"ISO date", {{}, {}, "2024-03-05", {}}, true, ""},
        {"Russian date", {{}, {}, "05.03.2024", {}}, true, ""},
        {"no such date", {{}, {}, "2024-02-30", {}}, false,
         "Недопустимая дата: \"2024-02-30\"; нужен вид ГГГГ-ММ-ДД или ДД.ММ.ГГГГ"},
        {"description", {{}, {}, {}, "Пульт 2\nстойка 4"}, true, ""},
        {"description of 65", {{}, {}, {}, QString(65, u'x')}, false,
         "Недопустимый текст в поле \"Описание:\". Допускаются только символы кодировки "
         "Windows-1251, не более 64 байт."},
    };
    for (const auto& c : cases) {
        const CheckedEntries checked = checkIdentityInput(c.input);
        EXPECT_EQ(checked.entries.has_value(), c.taken) << c.name;
        EXPECT_EQ(checked.refusal, QString::fromUtf8(c.refusal)) << c.name;
    }
    const CheckedEntries checked = checkIdentityInput({{}, "0a-1b-2c-3d-4e-5f", "05.03.2024", {}});
    ASSERT_TRUE(checked.entries);
    EXPECT_EQ(checked.entries->address, "0A-1B-2C-3D-4E-5F");
    EXPECT_EQ(checked.entries->date, QDate(2024, 3, 5));
}

} // namespace

// The manual page and the bash completion, as the package installs them, know every command and
// every option of the command table.
TEST(CommandTable, EveryCommandAndOptionIsInTheManualPageAndTheCompletion)
{
    const auto text = [](const char* name) {
        QFile file(QStringLiteral(PACKAGING_DIR "/") + QLatin1StringView(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return QString::fromUtf8(file.readAll());
    };
    // The page's words without their font changes and escaped hyphens.
    const QString manual = text("r4xx-cli.1.in")
                               .remove(QRegularExpression(QStringLiteral("\\\\f[BIR]")))
                               .replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString completion = text("r4xx-cli.bash-completion");
    const QRegularExpression commandsLine(QStringLiteral("local commands=\"([^\"]*)\""));
    const QStringList completed = commandsLine.match(completion).captured(1).split(u' ');
    const auto has = [](const QString& in, const QString& pattern) {
        return in.contains(QRegularExpression(pattern, QRegularExpression::MultilineOption));
    };
    for (const CommandEntry& entry : commandEntries()) {
        const std::string name = entry.name.toStdString();
        EXPECT_TRUE(completed.contains(entry.name)) << name;
        EXPECT_TRUE(has(manual, "^\\.B[RI]? \"?" + QRegularExpression::escape(entry.name) + "([\" ]|$)"))
            << name;
        for (const QCommandLineOption& option : entry.options) {
            bool inManual = false;
            for (const QString& optionName : option.names()) {
                const QString flag = QRegularExpression::escape(
                    QString(optionName.size() == 1 ? "-" : "--") + optionName);
                EXPECT_TRUE(has(completion, "[\\s\"]" + flag + "[\\s\"]")) << name << " " << flag.toStdString();
                inManual = inManual || has(manual, "[\\s\"([]" + flag + "[\\s\")\\],]");
            }
            EXPECT_TRUE(inManual) << name << " " << option.names().join(u'/').toStdString();
        }
    }
}
