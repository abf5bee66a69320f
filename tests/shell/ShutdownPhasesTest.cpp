#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

#include <cctype>
#include <cstdio>

#include "sim/Simulator.h"
#include "support/DeviceFormFixture.h"
#include "tests/link/support/WorkerHold.h"

// Closing the main window while a task runs, with the worker stopped at an exact point of the
// task: the close returns once the worker has ended, the task goes no further than its next
// report, nothing reaches a window after the close, and the controller is let go.

namespace {

using namespace Transfers;

constexpr int WaitMs = 20000;

// Gives the clock to the fixture before the fixture starts the worker with it.
struct ClockFirst {
    PhaseClock clock;
};

constexpr int TraceRecords = 5;

class ShutdownPhases;

// Where the worker is held when the main window closes.
struct Phase {
    const char* name;
    void (*start)(ShutdownPhases&);
    PhaseClock::Held pause = PhaseClock::Held::Nothing;
    // Held at the n-th transfer of this kind instead of a pause.
    TransferKind heldTransfer = {};
    int heldNumber = 0;
    // The task's own transfers, of which none may follow the hold but these.
    TransferKind taskTransfer = anyRequest;
    int allowedAfterHold = 0;
};

void PrintTo(const Phase& phase, std::ostream* out)
{
    *out << phase.name;
}

class ShutdownPhases : protected ClockFirst,
                       public DeviceFormFixture,
                       public ::testing::WithParamInterface<Phase> {
public:
    ShutdownPhases()
        : DeviceFormFixture(deviceTasks(), ClockFirst::clock)
    {
    }
    ~ShutdownPhases() override
    {
        clock.hold.release();
        sim::Simulator::instance().setTrafficObserver(nullptr);
        form.reset();
        sim::Simulator::instance().reset();
    }
    static void SetUpTestSuite() { sim::Simulator::instance().reset(); }

    static sim::SimController& controller() { return *sim::Simulator::instance().controller(); }
    static sim::TraceQueues& trace() { return controller().devices().trace; }

    void startRead() { form->MTaskGetClick(); }
    void startWrite()
    {
        form->SetConfig(recordOf(controller().settings.typeWord));
        form->MTaskSetClick();
    }
    void startFirmwareLoad()
    {
        const QString path = folder.filePath("controller.rom");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3 * FlashPageSize + 100, '\x5A'));
        file.close();
        enterServiceCode("Orchard");
        dialogs.fileNames = {path};
        runNode("Загрузка ПО");
    }
    void startVerifiedLoad()
    {
        startFirmwareLoad();
        ASSERT_FALSE(children().isEmpty());
        children().back()->findChild<QCheckBox*>("CVerify")->setChecked(true);
    }
    void startBootLoad()
    {
        controller().settings.firmwareRuns = false;
        startFirmwareLoad();
    }
    void startStatistics()
    {
        controller().settings.capacity = 128;
        form->SetConfig(recordOf(controller().settings.typeWord));
        runNode("Статистика");
        clickChild("BRun");
    }
    void startTrace()
    {
        trace().setLiveRate(0);
        for (int i = 0; i < TraceRecords; ++i)
            trace().queueRecord({0x00, 0x02, static_cast<std::uint8_t>(i)});
        enterServiceCode("Probe_Orchard");
        runNode("Trace");
        ASSERT_FALSE(children().isEmpty());
        children().back()->findChild<QCheckBox*>("LinkRx")->setChecked(true);
        clickChild("ButRun");
    }
    void startCodecTest()
    {
        form->SetConfig(recordOf(controller().settings.typeWord));
        runNode("Кодек");
        ASSERT_FALSE(children().isEmpty());
        children().back()->findChild<QCheckBox*>("Link")->setChecked(true);
        children().back()->findChild<QCheckBox*>("MicBoost")->toggle();
    }

protected:
    void runNode(const char* caption)
    {
        selectNode(QString::fromUtf8(caption));
        QTest::keyClick(tree(), Qt::Key_Return);
    }
    void clickChild(const char* name)
    {
        ASSERT_FALSE(children().isEmpty());
        auto* button = children().back()->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    QTemporaryDir folder;
};

void printPhase(const Phase& phase)
{
    std::printf("Shutdown phase: %s\n", phase.name);
}

TEST_P(ShutdownPhases, CloseEndsTheTaskAtItsNextReportAndReachesNoWindow)
{
    const Phase& phase = GetParam();
    printPhase(phase);
    if (phase.heldTransfer)
        holdAtTransfer(clock.hold, phase.heldTransfer, phase.heldNumber);
    else
        clock.holdNext(phase.pause);
    if (phase.pause == PhaseClock::Held::IdlePause) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return clock.hold.reached(); }, WaitMs));
    }
    phase.start(*this);
    ASSERT_FALSE(children().isEmpty()) << "the task window is open";
    if (phase.pause == PhaseClock::Held::IdlePause) {
        // The worker sleeps with the request pending; it wakes once the close has asked it to
        // stop and is destroying the windows.
        ASSERT_EQ(sim::Simulator::instance().trafficCount(), 0u);
        QObject::connect(children().back(), &QObject::destroyed, [this] { clock.hold.release(); });
    } else {
        ASSERT_TRUE(QTest::qWaitFor([&] { return clock.hold.reached(); }, WaitMs))
            << "the worker reaches the held point";
    }
    const QStringList logAtClose = logLines();
    // From here this thread serves no notification before the close: the worker, let go, runs
    // to its next report and finds the windows gone.
    if (phase.pause != PhaseClock::Held::IdlePause)
        clock.hold.release();
    form->close();

    EXPECT_FALSE(clock.hold.expired()) << "the close let the worker go on";
    EXPECT_TRUE(children().isEmpty());
    EXPECT_EQ(sim::Simulator::instance().openHandleCount(), 0) << "the worker let the controller go";
    EXPECT_EQ(transfersAfterHold(clock.hold, phase.taskTransfer), phase.allowedAfterHold)
        << "the task went past its next report";
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(logLines(), logAtClose) << "nothing reached the main window after its close";
    form.reset();
    QCoreApplication::processEvents();
}

using Held = PhaseClock::Held;

INSTANTIATE_TEST_SUITE_P(
    EveryTaskEveryPhase, ShutdownPhases,
    ::testing::Values(
        Phase{"read, before the first exchange", [](ShutdownPhases& t) { t.startRead(); },
              Held::IdlePause},
        Phase{"read, between blocks", [](ShutdownPhases& t) { t.startRead(); }, Held::Nothing,
              blockRead, 2, blockRead},
        Phase{"write, before the first exchange", [](ShutdownPhases& t) { t.startWrite(); },
              Held::IdlePause},
        Phase{"write, between blocks (the memory's write pause)",
              [](ShutdownPhases& t) { t.startWrite(); }, Held::TaskPause, {}, 0, blockWrite},
        Phase{"write, during a block", [](ShutdownPhases& t) { t.startWrite(); }, Held::Nothing,
              blockWrite, 2, blockWrite},
        Phase{"firmware, before the first exchange",
              [](ShutdownPhases& t) { t.startFirmwareLoad(); }, Held::IdlePause},
        Phase{"firmware, during the erase wait", [](ShutdownPhases& t) { t.startFirmwareLoad(); },
              Held::TaskPause, {}, 0, anyRequest},
        Phase{"firmware, between blocks", [](ShutdownPhases& t) { t.startFirmwareLoad(); },
              Held::Nothing, pageProgram, 2, pageProgram},
        Phase{"firmware verification, between reads",
              [](ShutdownPhases& t) { t.startVerifiedLoad(); }, Held::Nothing, flashRead, 2,
              flashRead},
        Phase{"firmware in boot mode, between pieces",
              [](ShutdownPhases& t) { t.startBootLoad(); }, Held::Nothing, bootPiece, 3,
              bootPiece},
        Phase{"statistics, before the first exchange",
              [](ShutdownPhases& t) { t.startStatistics(); }, Held::IdlePause},
        Phase{"statistics, during a poll", [](ShutdownPhases& t) { t.startStatistics(); },
              Held::Nothing, statisticsPoll, 1, statisticsPoll},
        Phase{"trace, before the first exchange", [](ShutdownPhases& t) { t.startTrace(); },
              Held::IdlePause},
        // The drain asks on to the end of the controller's queue before its one report.
        Phase{"trace, during a drain", [](ShutdownPhases& t) { t.startTrace(); }, Held::Nothing,
              traceFetch, 2, traceFetch, TraceRecords - 2 + 1},
        Phase{"codec test, before the first exchange",
              [](ShutdownPhases& t) { t.startCodecTest(); }, Held::IdlePause},
        Phase{"codec test, during its push", [](ShutdownPhases& t) { t.startCodecTest(); },
              Held::Nothing, codecPush, 1, codecPush}),
    [](const ::testing::TestParamInfo<Phase>& info) {
        std::string name;
        for (const char* c = info.param.name; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

} // namespace
