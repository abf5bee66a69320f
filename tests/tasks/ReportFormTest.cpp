#include <memory>

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "link/Clock.h"
#include "link/DeviceTask.h"
#include "sim/Simulator.h"
#include "support/LogWindow.h"
#include "support/ScriptedDialogs.h"
#include "tasks/ReportForm.h"
#include "ui/NotificationBridge.h"

namespace {

using namespace std::chrono_literals;

class InstantClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override {}
};

// An identity block in host order: TypeWord first, least significant byte first.
std::array<std::uint8_t, 12> identity(std::uint16_t typeWord)
{
    std::array<std::uint8_t, 12> block{};
    block[0] = static_cast<std::uint8_t>(typeWord & 0xFF);
    block[1] = static_cast<std::uint8_t>(typeWord >> 8);
    return block;
}

std::array<std::uint8_t, 76> record(const ReportCounters& counters)
{
    std::array<std::uint8_t, 76> bytes{};
    for (int i = 0; i < ReportCounterCount; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = static_cast<std::uint8_t>(counters[i] >> (24 - 8 * b));
    return bytes;
}

constexpr std::uint16_t R420 = 0x2000;
constexpr std::uint16_t R410 = 0x1000;

// The statistics window as the main window opens it, with the worker run pass by pass on this
// thread against the simulated controller, and report times the test sets.
class ReportWindow : public ::testing::Test {
protected:
    ReportWindow()
    {
        sim::Simulator::instance().reset();
        controller().settings.capacity = 128;
        controller().devices().statistics.setClock([this] { return controllerTime; });
        registry.enrol(Target::Device, log, log);
        window = new TFReport(registry, device.events(), dialogs, [this] { return reportTime; });
        const auto block = identity(R420);
        window->LoadIdentity(block.data());
        window->show();
    }
    ~ReportWindow() override
    {
        delete window.data();
        sim::Simulator::instance().reset();
    }

    sim::SimController& controller() { return *sim::Simulator::instance().controller(); }
    QString text(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QLabel* label(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QPushButton* button(const char* name) const
    {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QLineEdit* period() const { return window->findChild<QLineEdit*>("mTime"); }
    QTimer* timer() const { return window->findChild<QTimer*>("Timer"); }
    QTabWidget* pages() const { return window->findChild<QTabWidget*>("Pages"); }
    bool reportAsked() { return events().isSet(TaskEvent::StatisticsReport); }
    TaskEvents& events() { return device.events(); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void show(const ReportCounters& counters)
    {
        window->OnDeviceMessage(Report::Counters{record(counters)});
    }
    // What the simulated controller was asked since the last look.
    std::vector<std::string> statisticsRequests()
    {
        std::vector<std::string> requests;
        for (const sim::Transfer& t : sim::Simulator::instance().traffic())
            if (t.direction == sim::Transfer::Direction::Out && t.bytes.size() == 8 && t.bytes[0] == 8)
                requests.push_back(hex(t.bytes));
        sim::Simulator::instance().clearTraffic();
        return requests;
    }
    static std::string hex(const std::vector<std::uint8_t>& bytes)
    {
        std::string text;
        for (std::uint8_t byte : bytes) {
            char digits[4];
            std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", byte);
            text += digits;
        }
        return text;
    }
    // Each page's rows as "label | field".
    QStringList rows(int page) const
    {
        QStringList result;
        auto* form = qobject_cast<QFormLayout*>(pages()->widget(page)->layout());
        for (int row = 0; row < form->rowCount(); ++row) {
            const auto* rowLabel = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
            const QWidget* field = form->itemAt(row, QFormLayout::FieldRole)->widget();
            result << rowLabel->text() + " | " + field->objectName();
        }
        return result;
    }

    WindowRegistry registry;
    NotificationBridge bridge{registry};
    InstantClock clock;
    TDevice device{bridge, clock};
    LogWindow log;
    ScriptedDialogs dialogs;
    std::chrono::steady_clock::time_point controllerTime{};
    QDateTime reportTime{QDate(2024, 5, 1), QTime(14, 5, 9), Qt::OffsetFromUTC, 3 * 3600};
    QPointer<TFReport> window;
};

TEST_F(ReportWindow, ThreePagesOfFiguresAsLaidOutAndThePlotPage)
{
    EXPECT_EQ(window->windowTitle(), "Статистика работы");
    ASSERT_EQ(pages()->count(), 4);
    EXPECT_EQ(pages()->tabText(0), "Общая");
    EXPECT_EQ(pages()->tabText(1), "Канал управления");
    EXPECT_EQ(pages()->tabText(2), "Канал аудио");
    EXPECT_EQ(pages()->tabText(3), "График");
    EXPECT_EQ(rows(0), (QStringList{
                           "Время сбора данных (сек): | sTime",
                           "Количество отправленных пакетов: | sTx",
                           "Объем  отправленных пакетов (байт): | sTxBytes",
                           "Количество блокированных пакетов: | sNetErr",
                           "Количество принятых пакетов: | sRx",
                           "Объем  принятых пакетов (байт): | sRxBytes",
                           "Число потерянных и ошибочных пакетов: | sRxErr",
                           "Cреднее время задержки: | sDelay",
                           "Загрузка процессора (%): | sLoad",
                           "Время получения отчета (1..999 сек): | mTime",
                       }));
    EXPECT_EQ(text("LDelay").at(0), QChar(u'C')) << "a Latin C";
    EXPECT_EQ(rows(1), (QStringList{
                           "Количество отправленных пакетов: | sTxd",
                           "Объем  отправленных пакетов (байт): | sTxdBytes",
                           "Количество повторных передач пакетов: | sTxdErr",
                           "Количество принятых пакетов: | sRxd",
                           "Объем  принятых пакетов (байт): | sRxdBytes",
                           "Количество ошибочных пакетов: | sRxdErr",
                           "Количество ошибочных пакетов за 1 сек: | sRxdErrFract",
                       }));
    EXPECT_EQ(rows(2), (QStringList{
                           "Количество отправленных пакетов: | sTxv",
                           "Объем  отправленных пакетов (байт): | sTxvBytes",
                           "Количество принятых пакетов: | sRxv",
                           "Объем  принятых пакетов (байт): | sRxvBytes",
                           "Количество потерянных пакетов: | sRxvLost",
                           "Колебание межпакетного интервала: | sJitter",
                           "Среднее время задержки кадров: | sJBufLoad",
                           "Количество потерянных кадров за 1 сек: | sRxvLostFract",
                       }));
    for (const ReportField& field : reportFields()) {
        EXPECT_TRUE(text(field.name).isEmpty()) << field.name;
        EXPECT_EQ(label(field.name)->textInteractionFlags() & Qt::TextEditable, 0) << field.name;
    }
    EXPECT_EQ(period()->text(), "1");
    EXPECT_EQ(period()->maxLength(), 3);
    EXPECT_TRUE(period()->isEnabled());
    EXPECT_EQ(button("BRst")->text(), "Сброс");
    EXPECT_EQ(button("BRun")->text(), "Старт");
    EXPECT_EQ(button("BClose")->text(), "Закрыть");
    EXPECT_FALSE(timer()->isActive());
    EXPECT_FALSE(reportAsked());
    EXPECT_FALSE(events().isSet(TaskEvent::StatisticsReset));
    EXPECT_EQ(registry.handler(Target::Report), window.data());
}

TEST_F(ReportWindow, StartAsksAtOnceAndEveryPeriodByTheRules)
{
    const std::tuple<const char*, const char*, int> cases[]{
        {"995", "999", 999}, {"990", "990", 990}, {"0", "1", 1}, {"", "1", 1}, {"5", "5", 5},
    };
    for (const auto& [entered, shown, seconds] : cases) {
        period()->setText(QString::fromLatin1(entered));
        click("BRun");
        EXPECT_EQ(button("BRun")->text(), "Стоп") << entered;
        EXPECT_TRUE(reportAsked()) << entered;
        EXPECT_EQ(period()->text(), shown);
        EXPECT_FALSE(period()->isEnabled());
        EXPECT_TRUE(timer()->isActive());
        EXPECT_FALSE(timer()->isSingleShot());
        EXPECT_EQ(timer()->interval(), seconds * 1000) << entered;
        EXPECT_EQ(text("Label16"), QStringLiteral("Количество ошибочных пакетов за %1 сек:").arg(shown));
        EXPECT_EQ(text("Label9"), QStringLiteral("Количество потерянных кадров за %1 сек:").arg(shown));

        events().reset(TaskEvent::StatisticsReport);
        window->TimerTimer();
        EXPECT_TRUE(reportAsked()) << "every tick asks again";

        click("BRun");
        EXPECT_EQ(button("BRun")->text(), "Старт");
        EXPECT_FALSE(reportAsked()) << "the request not yet taken is dropped";
        EXPECT_FALSE(timer()->isActive());
        EXPECT_TRUE(period()->isEnabled());
    }
}

TEST_F(ReportWindow, PollingFillsThePagesAndStopDropsTheRequestNotYetTaken)
{
    controllerTime += 42s;
    click("BRun");
    device.runPass();
    EXPECT_EQ(statisticsRequests(), std::vector<std::string>{"08 00 01 00 4C 00 00 00"});
    EXPECT_EQ(text("sTime"), "42");
    EXPECT_FALSE(text("sRxv").isEmpty());
    EXPECT_TRUE(text("sDelay").endsWith(" сек"));

    window->TimerTimer();
    click("BRun");
    device.runPass();
    EXPECT_TRUE(statisticsRequests().empty());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(ReportWindow, TimeOutStopsPollingAsStopDoesAndTheFiguresStay)
{
    click("BRun");
    device.runPass();
    const QString shown = text("sTx");
    ASSERT_FALSE(shown.isEmpty());

    controller().faults.transferResults[6 + 5] = sim::UsbError::TimedOut;
    window->TimerTimer();
    device.runPass();
    EXPECT_EQ(log.lines, QStringList{"Error: -110"});
    EXPECT_EQ(button("BRun")->text(), "Старт");
    EXPECT_FALSE(reportAsked());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_TRUE(period()->isEnabled());
    EXPECT_EQ(text("sTx"), shown);
}

TEST_F(ReportWindow, ReplyToAnotherCommandIsOnlyLoggedAndTheNextTickPollsAgain)
{
    bool wrong = true;
    controller().faults.replyFilter = [&wrong](const sim::Request& request, std::vector<std::uint8_t>& reply) {
        if (request.command == 8 && wrong)
            reply[0] = 9;
    };
    click("BRun");
    device.runPass();
    EXPECT_EQ(log.lines, QStringList{"Error: -2"});
    EXPECT_TRUE(text("sTime").isEmpty());
    EXPECT_EQ(button("BRun")->text(), "Стоп");
    EXPECT_TRUE(timer()->isActive());

    wrong = false;
    controllerTime += 3s;
    window->TimerTimer();
    device.runPass();
    EXPECT_EQ(text("sTime"), "3");
}

TEST_F(ReportWindow, ResetAsksWithModeZeroAndShowsTheCountersItReturned)
{
    controllerTime += 100s;
    click("BRst");
    EXPECT_TRUE(events().isSet(TaskEvent::StatisticsReset));
    EXPECT_FALSE(reportAsked());
    device.runPass();
    EXPECT_EQ(statisticsRequests(), std::vector<std::string>{"08 00 00 00 4C 00 00 00"});
    EXPECT_EQ(text("sTime"), "0");
    EXPECT_EQ(text("sTx"), "0");
    EXPECT_EQ(text("sRxvBytes"), "0");

    click("BRun");
    controllerTime += 2s;
    click("BRst");
    device.runPass();
    device.runPass();
    EXPECT_EQ(statisticsRequests(),
              (std::vector<std::string>{"08 00 01 00 4C 00 00 00", "08 00 00 00 4C 00 00 00"}));
    EXPECT_EQ(text("sTime"), "0");
    EXPECT_EQ(button("BRun")->text(), "Стоп") << "a reset does not stop polling";
}

TEST_F(ReportWindow, ClosingWithdrawsBothRequestsAndTheRegistration)
{
    click("BRun");
    click("BRst");
    click("BClose");
    EXPECT_FALSE(reportAsked());
    EXPECT_FALSE(events().isSet(TaskEvent::StatisticsReset));
    EXPECT_EQ(registry.handler(Target::Report), nullptr);
    device.runPass();
    EXPECT_TRUE(statisticsRequests().empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ReportWindow, FiguresFollowTheLocale)
{
    ReportCounters counters{};
    counters[17] = 32768;
    counters[9] = 1u << 30;
    counters[2] = 0x18000;
    counters[3] = 16777217;
    const QString nbsp = QStringLiteral("\u00A0");
    {
        LocaleGuard us(LocaleGuard::usEnglish());
        show(counters);
        EXPECT_EQ(text("sLoad"), "50.00");
        EXPECT_EQ(text("sRxdErrFract"), "50.0000 %");
        EXPECT_EQ(text("sDelay"), "1.5000 сек");
        EXPECT_EQ(text("sTxd"), "16,777,216");
        EXPECT_EQ(text("sTx"), "16,777,216");
    }
    {
        LocaleGuard russian(LocaleGuard::russian());
        show(counters);
        EXPECT_EQ(text("sLoad"), "50,00");
        EXPECT_EQ(text("sRxdErrFract"), "50,0000 %");
        EXPECT_EQ(text("sDelay"), "1,5000 сек");
        EXPECT_EQ(text("sTxd"), "16" + nbsp + "777" + nbsp + "216");
        const auto r410 = identity(R410);
        window->LoadIdentity(r410.data());
        show(counters);
        EXPECT_EQ(text("sDelay"), "98" + nbsp + "304 Гц");
    }
    LocaleGuard us(LocaleGuard::usEnglish());
    show(counters);
    EXPECT_EQ(text("sDelay"), "98,304 Гц");
}

TEST_F(ReportWindow, ModelDecidesTheDelayLabelAndTheFrameDelayRow)
{
    const auto r410 = identity(R410 | 1);
    window->LoadIdentity(r410.data());
    EXPECT_EQ(text("LDelay"), "Частота синхронизации:");
    EXPECT_TRUE(label("LJBufLoad")->isHidden());
    EXPECT_TRUE(label("sJBufLoad")->isHidden());

    const auto r420 = identity(R420 | 1);
    window->LoadIdentity(r420.data());
    EXPECT_EQ(text("LDelay"), "Cреднее время задержки:");
    EXPECT_FALSE(label("LJBufLoad")->isHidden());
    EXPECT_FALSE(label("sJBufLoad")->isHidden());

    const auto other = identity(0x7000);
    window->LoadIdentity(other.data());
    EXPECT_EQ(text("LDelay"), "Cреднее время задержки:");
    EXPECT_FALSE(label("sJBufLoad")->isHidden());
}

// The lines of the plot page, by their titles.
std::map<QString, QList<QPointF>> plottedLines(QWidget& window)
{
    std::map<QString, QList<QPointF>> lines;
    for (QChartView* view : window.findChildren<QChartView*>()) {
        auto* line = qobject_cast<QLineSeries*>(view->chart()->series().value(0));
        lines[view->chart()->title()] = line ? line->points() : QList<QPointF>{};
    }
    return lines;
}

TEST_F(ReportWindow, PlotPageDrawsEveryReportAgainstItsTime)
{
    ReportCounters counters{};
    const QDateTime first = reportTime;
    for (int i = 1; i <= 3; ++i) {
        counters[17] = 6554u * i; // about 10 % more load each time
        counters[16] = 655u * i;  // 10 ms more jitter
        show(counters);
        reportTime = reportTime.addSecs(1);
    }
    EXPECT_TRUE(plottedLines(*window)[plotQuantity(PlotQuantity::Load).title].isEmpty())
        << "a hidden plot is drawn when its page is shown";

    pages()->setCurrentIndex(3);
    const auto lines = plottedLines(*window);
    ASSERT_EQ(lines.size(), 4u);
    const double t0 = static_cast<double>(first.toMSecsSinceEpoch());
    const QList<QPointF> load = lines.at(plotQuantity(PlotQuantity::Load).title);
    ASSERT_EQ(load.size(), 3);
    EXPECT_EQ(load[0].x(), t0);
    EXPECT_EQ(load[2].x(), t0 + 2000);
    EXPECT_FLOAT_EQ(load[2].y(), loadPercent(6554u * 3));
    const QList<QPointF> jitter = lines.at(plotQuantity(PlotQuantity::Jitter).title);
    ASSERT_EQ(jitter.size(), 3);
    EXPECT_FLOAT_EQ(jitter[1].y(), jitterMilliseconds(655u * 2));
    EXPECT_EQ(lines.at(plotQuantity(PlotQuantity::LostFrames).title).size(), 3);

    // A minute later the axis has moved on past the newest report, and still starts at the first.
    for (int i = 0; i < 60; ++i) {
        show(counters);
        reportTime = reportTime.addSecs(1);
    }
    const QDateTime newest = reportTime.addSecs(-1);
    for (QChartView* view : window->findChildren<QChartView*>()) {
        auto* axis = qobject_cast<QDateTimeAxis*>(view->chart()->axes(Qt::Horizontal).value(0));
        ASSERT_NE(axis, nullptr);
        EXPECT_GT(axis->max(), newest) << "the time axis follows the newest report";
        EXPECT_LE(axis->max(), newest.addSecs(5));
        EXPECT_LE(axis->min(), first);
        EXPECT_GE(axis->min(), first.addSecs(-5));
    }
}

TEST_F(ReportWindow, CsvOfTheReportsByteForByte)
{
    EXPECT_FALSE(button("BSave")->isEnabled()) << "nothing to save yet";
    ReportCounters counters{};
    counters[17] = 32768;
    counters[15] = 1u << 24;
    counters[9] = 3;
    counters[16] = 262;
    show(counters);
    reportTime = reportTime.addSecs(60);
    counters[17] = 6553600;
    counters[16] = 4294968;
    show(counters);
    EXPECT_TRUE(button("BSave")->isEnabled());

    QTemporaryDir folder;
    const QString path = folder.filePath("week.csv");
    dialogs.fileNames.push_back(path);
    pages()->setCurrentIndex(3);
    click("BSave");
    EXPECT_EQ(dialogs.saveInitialName, "Статистика.csv");
    EXPECT_EQ(dialogs.filters, (QStringList{"Таблица CSV (*.csv)", "все файлы (*)"}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("Время,Загрузка процессора (%),Потерянные кадры (%),"
                         "Ошибочные пакеты канала управления (%),"
                         "Колебание межпакетного интервала (мсек)\r\n"
                         "2024-05-01T14:05:09+03:00,50.00,0.7813,0.0000,3.9978\r\n"
                         "2024-05-01T14:06:09+03:00,1E4,0.7813,0.0000,0.0107\r\n"));
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(ReportWindow, CsvThatCannotBeWrittenIsReportedAndACancelWritesNothing)
{
    show(ReportCounters{});
    dialogs.fileNames.push_back(std::nullopt);
    click("BSave");
    EXPECT_TRUE(dialogs.informed.empty());

    QTemporaryDir folder;
    const QString path = folder.filePath("missing/folder.csv");
    dialogs.fileNames.push_back(path);
    click("BSave");
    EXPECT_EQ(dialogs.informed, std::vector<QString>{"Файл " + path + " не удается создать"});
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
