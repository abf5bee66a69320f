#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <thread>

#include "config/ConfigFile.h"
#include "link/Packet.h"
#include "sim/Simulator.h"
#include "support/DeviceFormFixture.h"

namespace {

constexpr int WaitMs = 20000;

std::vector<std::uint8_t> asVector(const std::uint8_t* bytes, int count)
{
    return {bytes, bytes + count};
}

// The data bytes of every configuration-memory write request, in the order sent.
std::vector<std::uint8_t> configBytesWritten()
{
    std::vector<std::uint8_t> data;
    for (const sim::Transfer& transfer : sim::Simulator::instance().traffic()) {
        const auto& b = transfer.bytes;
        if (transfer.direction != sim::Transfer::Direction::Out || b.size() < Usb::HeaderSize + 2)
            continue;
        const bool memoryWrite = headerWord(b.data(), 0) == 3 && headerWord(b.data(), 1) == 0
            && headerWord(b.data(), 3) == BusDevice::ConfigMemory;
        if (memoryWrite)
            data.insert(data.end(), b.begin() + Usb::HeaderSize + 2, b.end());
    }
    return data;
}

// The terminal with its real worker and tasks on the simulated controller, working in a
// folder of its own.
class EndToEnd : public DeviceFormFixture {
protected:
    EndToEnd()
        : DeviceFormFixture(deviceTasks())
    {
    }
    static void SetUpTestSuite() { sim::Simulator::instance().reset(); }
    void SetUp() override
    {
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    void TearDown() override
    {
        form.reset();
        QDir::setCurrent(previousFolder);
        sim::Simulator::instance().reset();
    }
    sim::SimController& controller() { return *sim::Simulator::instance().controller(); }
    bool waitForLog(const QString& text)
    {
        return QTest::qWaitFor([&] { return logTexts().contains(text); }, WaitMs);
    }
    void closeChildren()
    {
        for (QMdiSubWindow* child : children())
            child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir folder;
    QString previousFolder;
};

TEST_F(EndToEnd, ReadSaveOpenAndWriteBack)
{
    const std::vector<std::uint8_t> eeprom = controller().configMemory().read(0, 200);

    form->MTaskGetClick();
    ASSERT_TRUE(waitForLog("Получено 200байт."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->record().has_value(); }, WaitMs));
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "R-420ZA");
    EXPECT_EQ(asVector(form->record()->bytes.data(), 200), eeprom);

    // Save writes the default name in the working folder, with the CRC worked out afresh.
    form->MFileSaveClick();
    QFile saved("Rxx.rcf");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray file = saved.readAll();
    ASSERT_EQ(file.size(), CONFIG_RECORD_SIZE);
    ConfigRecord expected = *form->record();
    stampCrc(TCrc(), expected);
    EXPECT_EQ(file, QByteArray(reinterpret_cast<const char*>(expected.bytes.data()), 212));
    EXPECT_TRUE(logTexts().contains("Файл сохранен Rxx.rcf"));

    controller().configMemory().fill(20, std::vector<std::uint8_t>(60, 0xEE));
    closeChildren();
    dialogs.confirmAnswers = {true};
    dialogs.fileNames = {QStringLiteral("Rxx.rcf")};
    form->MFileOpenClick();
    ASSERT_TRUE(logTexts().contains("Конфигурация контроллера загружена"));

    sim::Simulator::instance().clearTraffic();
    form->MTaskSetClick();
    ASSERT_TRUE(waitForLog("Передано 110байт."));
    const std::vector<std::uint8_t> sent = configBytesWritten();
    EXPECT_EQ(sent, asVector(expected.bytes.data(), 110));
    EXPECT_EQ(controller().configMemory().read(0, 110), asVector(expected.bytes.data(), 110));
    EXPECT_EQ(controller().configMemory().read(110, 90), asVector(eeprom.data() + 110, 90));

    closeChildren();
    enterServiceCode("Plank_Orchard");
    sim::Simulator::instance().clearTraffic();
    form->MTaskSetClick();
    ASSERT_TRUE(waitForLog("Передано 200байт."));
    EXPECT_EQ(configBytesWritten(), asVector(expected.bytes.data(), 200));
}

TEST_F(EndToEnd, FirmwareLoadsFromTheTreeInBothModes)
{
    QByteArray image(3000, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 31 + 7);
    QFile file("controller.rom");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    const QString path = folder.filePath("controller.rom");
    const std::vector<std::uint8_t> expected(image.begin(), image.end());
    enterServiceCode("Orchard");
    const auto loadFromTree = [&] {
        form->findChild<QPlainTextEdit*>("Log")->clear();
        dialogs.fileNames = {path};
        selectNode("Загрузка ПО");
        QTest::keyClick(tree(), Qt::Key_Return);
    };

    loadFromTree();
    ASSERT_TRUE(waitForLog("Передано 3000байт."));
    EXPECT_EQ(logTexts(), (QStringList{"Удаление программного обеспечения",
                                       "Загрузка программного обеспечения",
                                       "Загрузка программного обеспечения завершена",
                                       "Передано 3000байт."}));
    EXPECT_EQ(controller().devices().flash.read(0, 3000), expected);
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children().front()->findChild<QLabel*>("SComment")->text(), "Загрузка завершена");
    closeChildren();

    controller().settings.firmwareRuns = false;
    loadFromTree();
    ASSERT_TRUE(waitForLog("Передано 3000байт."));
    EXPECT_EQ(logTexts(), (QStringList{"Error: -110", "Процесс загрузки ПО (boot_mode) запущен",
                                       "Процесс загрузки ПО (boot_mode) завершен",
                                       "Передано 3000байт."}));
    EXPECT_EQ(controller().devices().bootLoader.received(), expected);
    closeChildren();

    sim::Simulator::instance().clear();
    loadFromTree();
    ASSERT_TRUE(QTest::qWaitFor([&] { return children().isEmpty(); }, WaitMs))
        << "asked to close";
    EXPECT_EQ(logTexts(), QStringList(2, "Контроллер не обнаружен на шине USB"));
}

// The worker held in its idle sleep, so the window is closed before it polls.
class EarlyCancel : public DeviceFormFixture {
protected:
    EarlyCancel()
        : DeviceFormFixture(deviceTasks(), Pauses::Gated)
    {
        sim::Simulator::instance().reset();
    }
};

TEST_F(EarlyCancel, ReadWindowClosedWithinTheIdleSleepStartsNoTransfer)
{
    gate.waitForSleep(1);
    form->MTaskGetClick();
    ASSERT_EQ(children().size(), 1);
    children().front()->close();
    gate.letOneThrough();
    gate.waitForSleep(2);
    QCoreApplication::processEvents();

    EXPECT_TRUE(sim::Simulator::instance().traffic().empty());
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_FALSE(form->taskEvents().isSet(TaskEvent::ConfigRead));
}

TEST_F(EarlyCancel, ClosingTheProgramWhileAReadWaitsOnTheWindowExitsPromptly)
{
    gate.waitForSleep(1);
    form->MTaskGetClick();
    gate.open();
    // The read now runs and soon blocks on its first notification, which this thread, not
    // turning its event loop, does not serve.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    form->close();
    form.reset();
    // The worker got past the notification it waited on, left its loop and let the controller go.
    EXPECT_EQ(sim::Simulator::instance().openHandleCount(), 0);
}

} // namespace
