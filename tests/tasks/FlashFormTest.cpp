#include <atomic>
#include <chrono>
#include <thread>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "link/DeviceTask.h"
#include "sim/Simulator.h"
#include "support/LogWindow.h"
#include "support/ScriptedDialogs.h"
#include "config/FirmwareFile.h"
#include "tasks/FlashForm.h"
#include "ui/NotificationBridge.h"

namespace {

QByteArray patterned(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 + i / 256 + 5);
    return bytes;
}

std::vector<std::uint8_t> asVector(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}

class FlashWindow : public ::testing::Test {
protected:
    FlashWindow() { area.resize(800, 600); }
    ~FlashWindow() override
    {
        for (QMdiSubWindow* window : area.subWindowList())
            delete window;
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    TFFlash* open(const std::optional<QString>& fileName)
    {
        dialogs.fileNames.push_back(fileName);
        return TFFlash::create({area, registry, *requests, dialogs});
    }
    TFFlash* openFile(const QByteArray& content)
    {
        return open(writeFile(QStringLiteral("firmware.rom"), content));
    }
    static QString text(QWidget* window, const char* name)
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    static QProgressBar* gauge(QWidget* window)
    {
        return window->findChild<QProgressBar*>("CGauge1");
    }
    static QPushButton* button(QWidget* window) { return window->findChild<QPushButton*>("But"); }
    static QTimer* timer(QWidget* window) { return window->findChild<QTimer*>("Timer"); }
    static QCheckBox* verifyBox(QWidget* window) { return window->findChild<QCheckBox*>("CVerify"); }
    static void destroyClosed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Nothing was left open, registered or requested.
    void expectNothingStarted()
    {
        destroyClosed();
        EXPECT_TRUE(area.subWindowList().isEmpty());
        EXPECT_EQ(registry.handler(Target::Flash), nullptr);
        EXPECT_FALSE(events.isSet(TaskEvent::FirmwareLoad));
    }

    QTemporaryDir folder;
    QMdiArea area;
    WindowRegistry registry;
    TaskEvents events;
    // Where the window requests its load: the events above, or a worker's.
    TaskEvents* requests = &events;
    ScriptedDialogs dialogs;
};

TEST_F(FlashWindow, ChosenFileStartsTheLoad)
{
    TFFlash* window = openFile(patterned(700));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialogs.filters,
              (QStringList{"Программное обеспечение (*.rom)", "все файлы (*)"}));
    EXPECT_EQ(window->windowTitle(), "Загрузка ПО");
    EXPECT_EQ(text(window, "LProduct"), "Загрузка программного обеспечения контроллера");
    EXPECT_EQ(text(window, "SComment"), "");
    EXPECT_EQ(button(window)->text(), "Отмена");
    EXPECT_FALSE(timer(window)->isActive());
    EXPECT_EQ(timer(window)->interval(), 10000);
    EXPECT_TRUE(events.isSet(TaskEvent::FirmwareLoad));
    EXPECT_EQ(registry.handler(Target::Flash), window);
    EXPECT_EQ(area.subWindowList(), QList<QMdiSubWindow*>{window});
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(FlashWindow, PlacedTenPixelsPerChildWindow)
{
    auto* other = new QMdiSubWindow;
    area.addSubWindow(other);
    TFFlash* window = openFile(patterned(10));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->pos(), QPoint(10, 10));
}

TEST_F(FlashWindow, CancelledDialogStartsNothing)
{
    EXPECT_EQ(open(std::nullopt), nullptr);
    expectNothingStarted();
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(FlashWindow, AnyFileThatCanBeReadIsAccepted)
{
    const std::pair<QString, QByteArray> files[]{{QStringLiteral("empty.rom"), QByteArray()},
                                                 {QStringLiteral("notes.txt"), patterned(300)},
                                                 {QStringLiteral("no extension"), patterned(5)}};
    for (const auto& [name, content] : files) {
        QPointer<TFFlash> window = open(writeFile(name, content));
        ASSERT_FALSE(window.isNull()) << name.toStdString();
        const auto request = std::get<ImageRequest>(window->OnDeviceRequest(Ask::FirmwareImage{}));
        ASSERT_TRUE(request.image);
        EXPECT_EQ(request.size, static_cast<std::uint32_t>(content.size()));
        EXPECT_EQ(*request.image, asVector(content));
        window->close();
        destroyClosed();
    }
}

TEST_F(FlashWindow, UnreadableFileGivesTheMessageWithItsFullPath)
{
    const QString vanished = folder.filePath("vanished.rom");
    const QString folderItself = folder.path();
    const QString tooLarge = folder.filePath("huge.rom");
    {
        // Sparse: its size is all there is of it.
        QFile file(tooLarge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(LargestFirmwareImage + 1));
    }
    const QString locked = writeFile("locked.rom", patterned(10));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    const bool lockHolds = !QFile(locked).open(QIODevice::ReadOnly); // not for a superuser

    for (const QString& path : {vanished, folderItself, tooLarge, locked}) {
        if (path == locked && !lockHolds)
            continue;
        dialogs.informed.clear();
        EXPECT_EQ(open(path), nullptr) << path.toStdString();
        EXPECT_EQ(dialogs.informed,
                  std::vector<QString>{"Файл " + path
                                       + " поврежден, либо не соответствует данному устройству "});
        expectNothingStarted();
    }
}

TEST_F(FlashWindow, FollowsTheLoad)
{
    TFFlash* window = openFile(patterned(700));
    ASSERT_NE(window, nullptr);
    const QString erasing = QStringLiteral("Удаление программного обеспечения");
    window->OnDeviceMessage(Report::Text{erasing});
    window->OnDeviceMessage(Report::Size{11});
    window->OnDeviceMessage(Report::Progress{4});
    EXPECT_EQ(text(window, "SComment"), erasing);
    EXPECT_EQ(gauge(window)->maximum(), 11);
    EXPECT_EQ(gauge(window)->value(), 4);

    window->OnDeviceMessage(Report::Size{700});
    window->OnDeviceMessage(Report::Progress{512});
    window->OnDeviceMessage(Report::Identity{});
    window->OnDeviceMessage(Report::Counters{});
    EXPECT_EQ(gauge(window)->maximum(), 700);
    EXPECT_EQ(gauge(window)->value(), 512);
    EXPECT_EQ(button(window)->text(), "Отмена");
    EXPECT_FALSE(timer(window)->isActive());
}

TEST_F(FlashWindow, AnEmptyImageKeepsTheGaugeStill)
{
    TFFlash* window = openFile(QByteArray());
    ASSERT_NE(window, nullptr);
    window->OnDeviceMessage(Report::Size{11});
    window->OnDeviceMessage(Report::Progress{11});
    window->OnDeviceMessage(Report::Progress{0});
    window->OnDeviceMessage(Report::Size{0});
    window->OnDeviceMessage(Report::Finished{0});
    EXPECT_EQ(text(window, "SComment"), "Загрузка завершена");
    // Equal bounds would make it Qt's busy animation, which has no text.
    EXPECT_LT(gauge(window)->minimum(), gauge(window)->maximum());
    EXPECT_EQ(gauge(window)->value(), 0);
    EXPECT_EQ(gauge(window)->text(), QStringLiteral("0%"));
}

TEST_F(FlashWindow, EndArmsTheTenSecondCloseAndTimerClosesIt)
{
    QPointer<TFFlash> window = openFile(patterned(700));
    ASSERT_FALSE(window.isNull());
    window->show();
    window->OnDeviceMessage(Report::Finished{700});
    EXPECT_EQ(text(window, "SComment"), "Загрузка завершена");
    EXPECT_EQ(button(window)->text(), "Закрыть");
    EXPECT_TRUE(timer(window)->isActive());
    EXPECT_TRUE(timer(window)->isSingleShot());
    EXPECT_EQ(timer(window)->interval(), 10000);
    window->TimerTimer();
    destroyClosed();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(registry.handler(Target::Flash), nullptr);
}

TEST_F(FlashWindow, CloseButtonEndsItBeforeTheTimer)
{
    QPointer<TFFlash> window = openFile(patterned(700));
    ASSERT_FALSE(window.isNull());
    window->show();
    window->OnDeviceMessage(Report::Finished{700});
    QTimer* closeTimer = timer(window);
    QTest::mouseClick(button(window), Qt::LeftButton);
    EXPECT_FALSE(closeTimer->isActive()) << "stopped before the window goes";
    destroyClosed();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FlashWindow, ClosingWithdrawsTheRequestAndLetsTheImageGo)
{
    QPointer<TFFlash> window = openFile(patterned(700));
    ASSERT_FALSE(window.isNull());
    window->show();
    const auto request = std::get<ImageRequest>(window->OnDeviceRequest(Ask::FirmwareImage{}));
    EXPECT_EQ(request.image.use_count(), 2);
    QTest::mouseClick(button(window), Qt::LeftButton);
    EXPECT_EQ(request.image.use_count(), 1) << "only the task's share is left";
    EXPECT_EQ(*request.image, asVector(patterned(700)));
    expectNothingStarted();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FlashWindow, VerificationIsOfferedOffAndReadOnceAtTheEndOfTheLoad)
{
    struct Case {
        const char* what;
        bool ticked;
        LoadMode mode;
        const char* option;
        bool verifies;
    };
    const Case cases[]{
        {"box off, normal mode", false, LoadMode::Normal, "Проверить после загрузки", false},
        {"box on, normal mode", true, LoadMode::Normal, "Проверить после загрузки", true},
        {"box on, boot mode", true, LoadMode::Boot, "Проверка невозможна в режиме загрузчика",
         false},
    };
    for (const Case& c : cases) {
        QPointer<TFFlash> window = openFile(patterned(700));
        ASSERT_FALSE(window.isNull()) << c.what;
        EXPECT_EQ(verifyBox(window)->text(), "Проверить после загрузки") << c.what;
        EXPECT_FALSE(verifyBox(window)->isChecked()) << c.what;
        EXPECT_TRUE(verifyBox(window)->isEnabled()) << c.what;
        verifyBox(window)->setChecked(c.ticked);
        window->OnDeviceRequest(Ask::FirmwareImage{c.mode});
        EXPECT_EQ(verifyBox(window)->text(), QString::fromUtf8(c.option)) << c.what;
        window->OnDeviceMessage(Report::Finished{700});
        EXPECT_FALSE(verifyBox(window)->isEnabled()) << c.what;
        EXPECT_EQ(events.isSet(TaskEvent::FirmwareRead), c.verifies) << c.what;
        EXPECT_EQ(text(window, "SComment"), "Загрузка завершена") << c.what;
        EXPECT_EQ(button(window)->text(), c.verifies ? "Отмена" : "Закрыть") << c.what;
        EXPECT_EQ(timer(window)->isActive(), !c.verifies) << c.what;
        window->close();
        destroyClosed();
        EXPECT_FALSE(events.isSet(TaskEvent::FirmwareRead)) << c.what << ": withdrawn on close";
    }
}

TEST_F(FlashWindow, TheVerificationComparesTheWholeImageAndShowsItsOutcome)
{
    struct Case {
        const char* what;
        std::optional<FlashMismatch> mismatch;
        bool closesItself;
    };
    const Case cases[]{
        {"the memory matches", std::nullopt, true},
        {"a difference stays on the screen", FlashMismatch{0x123, 0x01, 0x00}, false},
    };
    for (const Case& c : cases) {
        QPointer<TFFlash> window = openFile(patterned(700));
        ASSERT_FALSE(window.isNull()) << c.what;
        verifyBox(window)->setChecked(true);
        window->OnDeviceMessage(Report::Finished{700});
        const auto range =
            std::get<Ask::FlashRange::Range>(window->OnDeviceRequest(Ask::FlashRange{}));
        EXPECT_EQ(range.start, 0) << c.what;
        EXPECT_EQ(range.length, 700) << c.what;
        ASSERT_TRUE(range.expected) << c.what;
        EXPECT_EQ(*range.expected, asVector(patterned(700))) << c.what;
        window->OnDeviceMessage(Report::Compared{700, c.mismatch});
        EXPECT_EQ(button(window)->text(), "Закрыть") << c.what;
        EXPECT_EQ(timer(window)->isActive(), c.closesItself) << c.what;
        window->close();
        destroyClosed();
    }
}

// Instant pauses that count the worker's idle passes.
class CountingClock : public Clock {
public:
    void sleep(std::chrono::milliseconds duration) override
    {
        if (duration == TDevice::PollInterval)
            ++idlePasses;
        std::this_thread::yield();
    }
    std::atomic<int> idlePasses{0};
};

// The firmware window with the real worker on the simulated controller.
class FlashWithWorker : public FlashWindow {
protected:
    FlashWithWorker()
    {
        sim::Simulator::instance().reset();
        controller().settings.capacity = 300;
        registry.enrol(Target::Device, log, log);
        requests = &device.events();
        device.startWorker();
    }
    ~FlashWithWorker() override
    {
        bridge.close();
        device.Terminate();
        device.wait();
        sim::Simulator::instance().reset();
    }
    static sim::SimController& controller() { return *sim::Simulator::instance().controller(); }

    LogWindow log;
    NotificationBridge bridge{registry};
    CountingClock clock;
    TDevice device{bridge, clock};
};

TEST_F(FlashWithWorker, WindowClosedDuringProgrammingLeavesTheWorkerItsImage)
{
    const QByteArray content = patterned(4096);
    // The worker is held at the write enable of the fourth page until the window has gone, then
    // programs that page from the image the window no longer holds.
    std::atomic<bool> held{false};
    std::atomic<bool> windowGone{false};
    int writeEnables = 0;
    controller().faults.replyFilter = [&](const sim::Request& request, std::vector<std::uint8_t>&) {
        if (request.command != 2 || request.payload != std::vector<std::uint8_t>{0x06})
            return;
        if (++writeEnables != 5) // the first one precedes the erase
            return;
        held = true;
        for (int i = 0; i < 10000 && !windowGone; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    QPointer<TFFlash> window = openFile(content);
    ASSERT_FALSE(window.isNull());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.load(); }, 20000));
    EXPECT_EQ(gauge(window)->value(), 768);

    window->close();
    destroyClosed();
    ASSERT_TRUE(window.isNull());
    const int passes = clock.idlePasses;
    windowGone = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock.idlePasses > passes; }, 20000));

    sim::SerialFlash& flash = controller().devices().flash;
    EXPECT_EQ(flash.read(0, 1024), asVector(content.left(1024)));
    EXPECT_EQ(flash.read(1024, 1024), std::vector<std::uint8_t>(1024, 0xFF));
    EXPECT_EQ(log.lines, (QStringList{"Удаление программного обеспечения",
                                      "Загрузка программного обеспечения"}));
}

TEST_F(FlashWithWorker, LoadFromTheWindowToTheFlash)
{
    const QByteArray content = patterned(3000);
    QPointer<TFFlash> window = openFile(content);
    ASSERT_FALSE(window.isNull());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return log.lines.contains("Загрузка программного обеспечения завершена"); }, 20000));
    EXPECT_EQ(text(window, "SComment"), "Загрузка завершена");
    EXPECT_EQ(gauge(window)->maximum(), 3000);
    EXPECT_EQ(gauge(window)->value(), 3000);
    EXPECT_EQ(button(window)->text(), "Закрыть");
    EXPECT_EQ(controller().devices().flash.read(0, 3000), asVector(content));
}

} // namespace

namespace {
bool isFlashRead(const sim::Transfer& t)
{
    return t.direction == sim::Transfer::Direction::Out && t.endpoint == 1 && t.bytes.size() > 8
        && t.bytes[0] == 2 && t.bytes[8] == 0x03;
}

int flashReadCount()
{
    const auto traffic = sim::Simulator::instance().traffic();
    return static_cast<int>(std::count_if(traffic.begin(), traffic.end(), isFlashRead));
}
}

TEST_F(FlashWithWorker, VerificationAfterTheLoadFindsTheFirstDifference)
{
    const QString loaded = QStringLiteral("Загрузка программного обеспечения завершена");
    const QString verifying = QStringLiteral("Проверка программного обеспечения");
    struct Case {
        const char* what;
        bool ticked;
        std::map<int, std::uint8_t> worn;
        QString status;   // at the end
        QStringList tail; // the log after the load's end
        bool closesItself;
    };
    const Case cases[]{
        {"box off: the load as it always was", false, {}, "Загрузка завершена", {loaded}, true},
        {"intact", true, {}, "Программное обеспечение совпадает с файлом",
         {loaded, verifying, "Программное обеспечение совпадает с файлом"}, true},
        {"worn cell", true, {{2500, 0x00}},
         "Расхождение по адресу 0x0009C4: в файле 02, в контроллере 00",
         {loaded, verifying, "Расхождение по адресу 0x0009C4: в файле 02, в контроллере 00"},
         false},
    };
    const QByteArray content = patterned(3000);
    for (const Case& c : cases) {
        sim::Simulator::instance().forEachController([&](sim::SimController& controller) {
            controller.devices().flash.wornCells = c.worn;
        });
        sim::Simulator::instance().clearTraffic();
        log.lines.clear();
        QPointer<TFFlash> window = openFile(content);
        ASSERT_FALSE(window.isNull()) << c.what;
        window->show();
        verifyBox(window)->setChecked(c.ticked);
        // The log's last line comes after the window's end.
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.lines.endsWith(c.tail.back()); }, 20000))
            << c.what;
        EXPECT_EQ(button(window)->text(), "Закрыть") << c.what;
        EXPECT_EQ(text(window, "SComment"), c.status) << c.what;
        EXPECT_EQ(gauge(window)->maximum(), 3000) << c.what;
        EXPECT_EQ(timer(window)->isActive(), c.closesItself) << c.what;
        EXPECT_EQ(log.lines.mid(log.lines.indexOf(loaded)), c.tail) << c.what;
        EXPECT_EQ(flashReadCount() > 0, c.ticked) << c.what;
        window->close();
        destroyClosed();
    }
}

TEST_F(FlashWithWorker, ABootModeLoadCannotBeVerified)
{
    controller().settings.firmwareRuns = false;
    QPointer<TFFlash> window = openFile(patterned(300));
    ASSERT_FALSE(window.isNull());
    window->show();
    verifyBox(window)->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return log.lines.endsWith("Процесс загрузки ПО (boot_mode) завершен"); }, 20000));
    EXPECT_EQ(button(window)->text(), "Закрыть");
    EXPECT_EQ(text(window, "SComment"), "Загрузка завершена");
    EXPECT_EQ(verifyBox(window)->text(), "Проверка невозможна в режиме загрузчика");
    EXPECT_FALSE(verifyBox(window)->isChecked());
    EXPECT_FALSE(verifyBox(window)->isEnabled());
    EXPECT_EQ(controller().devices().bootLoader.received(), asVector(patterned(300)));
}
