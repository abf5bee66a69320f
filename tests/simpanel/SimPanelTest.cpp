#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>

#include "sim/Simulator.h"
#include "simpanel/SimPanel.h"
#include "simpanel/TrafficFile.h"
#include "simpanel/TrafficFormat.h"
#include "support/DeviceFormFixture.h"

namespace {

constexpr int WaitMs = 20000;
const QString NoController = QStringLiteral("Контроллер не обнаружен на шине USB");

// The terminal on the simulated controller with the simulator's panel docked, as the demo
// program starts it.
class SimPanelTest : public DeviceFormFixture {
protected:
    SimPanelTest()
        : DeviceFormFixture(deviceTasks())
    {
        sim::Simulator::instance().reset();
        panel = new simpanel::SimPanel({}, dialogs);
        form->addToolPanel(QStringLiteral("Симулятор"), "PanelSim", panel);
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    ~SimPanelTest() override
    {
        form.reset();
        QDir::setCurrent(previousFolder);
        sim::Simulator::instance().reset();
    }

    template <typename Control>
    Control* control(const char* name) const
    {
        auto* found = panel->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool waitForLog(const QString& text)
    {
        return QTest::qWaitFor([&] { return logTexts().contains(text); }, WaitMs);
    }
    void clearLog() { form->findChild<QPlainTextEdit*>("Log")->clear(); }
    void readRecord()
    {
        form->MTaskGetClick();
        ASSERT_TRUE(waitForLog("Получено 200байт.")) << logTexts().join(u'\n').toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->record().has_value(); }, WaitMs));
    }
    void closeChildren()
    {
        for (QMdiSubWindow* child : children())
            child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Clicks the box's indicator, as a person does.
    void tick(const char* name)
    {
        auto* box = control<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // A task that failed closes its window when it has ended.
    bool waitUntilClosed()
    {
        return QTest::qWaitFor([&] { return children().isEmpty(); }, WaitMs);
    }
    void arm(int kind, int scope)
    {
        control<QComboBox>("FaultKind")->setCurrentIndex(kind);
        control<QComboBox>("FaultScope")->setCurrentIndex(scope);
        QTest::mouseClick(control<QPushButton>("ArmFault"), Qt::LeftButton);
    }

    simpanel::SimPanel* panel = nullptr;
    QTemporaryDir folder;
    QString previousFolder;
};

TEST_F(SimPanelTest, UnpluggedControllerIsNotFoundAndPluggedInAgainAnswers)
{
    tick("Plugged");
    form->MTaskGetClick();
    ASSERT_TRUE(waitForLog(NoController));
    ASSERT_TRUE(waitUntilClosed());
    clearLog();

    tick("Plugged");
    readRecord();
}

TEST_F(SimPanelTest, NoControllerOnTheBusIsNotFound)
{
    control<QComboBox>("ControllerCount")->setCurrentIndex(0);
    form->MTaskGetClick();
    ASSERT_TRUE(waitForLog(NoController));
    EXPECT_EQ(sim::Simulator::instance().controller(), nullptr);
}

// Every controller the panel puts on the bus keeps a Die ID of its own, also when the Die ID is
// typed anew.
TEST_F(SimPanelTest, ControllersChosenInThePanelEachHaveTheirOwnDieId)
{
    const auto dieIds = [] {
        std::vector<std::uint16_t> lastWords;
        sim::Simulator::instance().forEachController(
            [&](sim::SimController& controller) { lastWords.push_back(controller.settings.dieId[3]); });
        return lastWords;
    };
    auto* count = control<QComboBox>("ControllerCount");
    EXPECT_EQ(count->count(), 9);
    count->setCurrentIndex(4);
    EXPECT_EQ(dieIds(), (std::vector<std::uint16_t>{0x0C00, 0x0C01, 0x0C02, 0x0C03}));
    control<QLineEdit>("DieId")->setText(QStringLiteral("0001:0002:0003:FFFE"));
    EXPECT_EQ(dieIds(), (std::vector<std::uint16_t>{0xFFFE, 0xFFFF, 0x0000, 0x0001}));
}

TEST_F(SimPanelTest, ChosenModelAndEditionIsWhatTheTerminalReads)
{
    control<QComboBox>("Model")->setCurrentIndex(0);
    control<QComboBox>("Edition")->setCurrentIndex(1);
    control<QSpinBox>("SoftwareMajor")->setValue(2);
    control<QSpinBox>("BoardMinor")->setValue(3);
    readRecord();
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "R-410ZB");
    EXPECT_EQ(form->record()->typeWord(), 0x1831);
}

TEST_F(SimPanelTest, TimeOutArmedForTheNextExchangeFailsOneReadOnly)
{
    arm(0, 0);
    form->MTaskGetClick();
    ASSERT_TRUE(waitForLog("Error: -110")) << logTexts().join(u'\n').toStdString();
    ASSERT_TRUE(waitUntilClosed());
    clearLog();
    readRecord();
}

TEST_F(SimPanelTest, TimeOutArmedForEveryExchangeFailsEachReadUntilCleared)
{
    arm(0, 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        form->MTaskGetClick();
        ASSERT_TRUE(waitForLog("Error: -110")) << logTexts().join(u'\n').toStdString();
        ASSERT_TRUE(waitUntilClosed());
        clearLog();
    }
    QTest::mouseClick(control<QPushButton>("ClearFaults"), Qt::LeftButton);
    readRecord();
}

TEST_F(SimPanelTest, BootModeSendsTheFirmwareToTheBootLoaderEndpoint)
{
    QByteArray image(3000, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 31 + 7);
    QFile file("controller.rom");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    tick("BootMode");
    enterServiceCode("Orchard");
    dialogs.fileNames = {folder.filePath("controller.rom")};
    selectNode("Загрузка ПО");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_TRUE(waitForLog("Процесс загрузки ПО (boot_mode) завершен"))
        << logTexts().join(u'\n').toStdString();
    std::vector<std::uint8_t> sent;
    for (const sim::Transfer& transfer : sim::Simulator::instance().traffic())
        if (transfer.direction == sim::Transfer::Direction::Out && transfer.endpoint == 6)
            sent.insert(sent.end(), transfer.bytes.begin(), transfer.bytes.end());
    EXPECT_EQ(sent, std::vector<std::uint8_t>(image.begin(), image.end()));
}

TEST_F(SimPanelTest, TrafficViewShowsEachTransferNewestLastAndClears)
{
    readRecord();
    auto* view = control<QPlainTextEdit>("Traffic");
    const std::vector<sim::Transfer> traffic = sim::Simulator::instance().traffic();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view->document()->blockCount() >= static_cast<int>(traffic.size()); }, WaitMs));
    const QStringList lines = view->toPlainText().split(u'\n');
    EXPECT_EQ(lines.front(), simpanel::trafficText(traffic.front()));
    EXPECT_EQ(lines.back(), simpanel::trafficText(traffic.back()));

    dialogs.fileNames = {folder.filePath("traffic.txt")};
    QTest::mouseClick(control<QPushButton>("SaveTraffic"), Qt::LeftButton);
    QFile saved(folder.filePath("traffic.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()).split(u'\n').first(),
              simpanel::trafficText(traffic.front()));

    QTest::mouseClick(control<QPushButton>("ClearTraffic"), Qt::LeftButton);
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_TRUE(sim::Simulator::instance().traffic().empty());
}

TEST_F(SimPanelTest, TrafficFileHoldsEveryTransferOfAReadAndAWrite)
{
    simpanel::TrafficFile trafficFile(QStringLiteral("r4xx-terminal-sim"));
    QString error;
    ASSERT_TRUE(trafficFile.open(folder.filePath("traffic.jsonl"), error)) << error.toStdString();
    trafficFile.attach();
    readRecord();
    closeChildren();
    form->MTaskSetClick();
    ASSERT_TRUE(waitForLog("Передано 110байт.")) << logTexts().join(u'\n').toStdString();
    trafficFile.detach();

    QFile file(folder.filePath("traffic.jsonl"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    const std::vector<sim::Transfer> traffic = sim::Simulator::instance().traffic();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(traffic.size()) + 1);
    EXPECT_TRUE(lines.back().isEmpty());
    qint64 previousTime = 0;
    for (std::size_t i = 0; i < traffic.size(); ++i) {
        QJsonParseError parseError;
        const QJsonObject json =
            QJsonDocument::fromJson(lines[static_cast<qsizetype>(i)], &parseError).object();
        ASSERT_EQ(parseError.error, QJsonParseError::NoError) << i;
        const sim::Transfer& transfer = traffic[i];
        const QByteArray bytes(reinterpret_cast<const char*>(transfer.bytes.data()),
                               static_cast<qsizetype>(transfer.bytes.size()));
        EXPECT_EQ(json["direction"].toString(),
                  transfer.direction == sim::Transfer::Direction::Out ? "out" : "in") << i;
        EXPECT_EQ(json["endpoint"].toInt(), transfer.endpoint) << i;
        EXPECT_EQ(json["length"].toInt(), transfer.lengthAsked) << i;
        EXPECT_EQ(json["timeout"].toInt(), transfer.timeout) << i;
        EXPECT_EQ(json["result"].toInt(), transfer.result) << i;
        EXPECT_EQ(json["bytes"].toString().toLatin1(), bytes.toHex()) << i;
        EXPECT_GE(json["time_us"].toInteger(), previousTime) << i;
        previousTime = json["time_us"].toInteger();
    }
}

TEST_F(SimPanelTest, ControllerPulledOutDuringASlowReadFailsTheExchange)
{
    control<QSpinBox>("Latency")->setValue(300);
    form->MTaskGetClick();
    ASSERT_TRUE(QTest::qWaitFor([] { return sim::Simulator::instance().trafficCount() > 0; }, WaitMs));
    // The control interface answers while an exchange sleeps in its latency: the controller is
    // pulled out in the middle of the read.
    tick("Plugged");
    ASSERT_TRUE(waitForLog("Error: -19")) << logTexts().join(u'\n').toStdString();
    EXPECT_FALSE(logTexts().contains("Получено 200байт."));
}

TEST_F(SimPanelTest, LivelinessControlsReachTheCountersAndTheTraceRecorder)
{
    control<QSpinBox>("TraceRate")->setValue(0);
    control<QSpinBox>("StatisticsActivity")->setValue(0);
    sim::SimController& controller = *sim::Simulator::instance().controller();
    controller.devices().trace.select(0x000F);
    // The counters carried a call until now: start them again, as a statistics reset does.
    controller.devices().statistics.answer(0, 0x2000);
    QTest::qWait(50);
    EXPECT_TRUE(controller.devices().trace.fetch().empty()) << "no live frames at rate 0";
    const std::vector<std::uint8_t> idle = controller.devices().statistics.answer(1, 0x2000);
    EXPECT_EQ(std::vector<std::uint8_t>(idle.begin() + 40, idle.begin() + 44),
              (std::vector<std::uint8_t>{0, 0, 0, 0}))
        << "no audio packets sent at rest";

    control<QSpinBox>("TraceRate")->setValue(10000);
    control<QSpinBox>("StatisticsActivity")->setValue(1000);
    QTest::qWait(50);
    EXPECT_FALSE(controller.devices().trace.fetch().empty());
    controller.devices().statistics.answer(1, 0x2000);
    EXPECT_GT(controller.devices().statistics.lastAnswer()[10], 0u) << "audio packets sent";
}

} // namespace
