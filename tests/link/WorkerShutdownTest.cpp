#include "support/SimFixture.h"
#include "support/WorkerHold.h"

#include <cctype>
#include <cstdio>

// The worker on its own thread, stopped at an exact phase of a task when the windows go and the
// worker is asked to stop, as the main window does when it closes: the task ends at its next
// report, nothing reaches a window afterwards, the thread ends and lets the controller go. (A
// request still pending when the worker is asked to stop is the shell's shutdown test.)

namespace {

using namespace Transfers;

constexpr int TraceRecords = 5;

struct WorkerPhase {
    const char* name;
    TaskEvent event;
    // The controller and the windows' answers for the task.
    void (*prepare)(sim::SimController&, RecordingNotifier&);
    PhaseClock::Held pause = PhaseClock::Held::Nothing;
    TransferKind heldTransfer = {};
    int heldNumber = 0;
    TransferKind taskTransfer = anyRequest;
    int allowedAfterHold = 0;
};

void PrintTo(const WorkerPhase& phase, std::ostream* out)
{
    *out << phase.name;
}

void nothingToPrepare(sim::SimController&, RecordingNotifier&) {}

void prepareWrite(sim::SimController& controller, RecordingNotifier& notifier)
{
    notifier.record.setTypeWord(controller.settings.typeWord);
    notifier.writeCount = 200;
}

void prepareFirmware(sim::SimController& controller, RecordingNotifier& notifier)
{
    controller.settings.capacity = 300;
    notifier.image = std::make_shared<FirmwareImage>(3 * FlashPageSize + 100, 0x5A);
}

void prepareBootMode(sim::SimController& controller, RecordingNotifier& notifier)
{
    prepareFirmware(controller, notifier);
    controller.settings.firmwareRuns = false;
}

void prepareStatistics(sim::SimController& controller, RecordingNotifier&)
{
    controller.settings.capacity = 128;
}

void prepareTrace(sim::SimController& controller, RecordingNotifier&)
{
    sim::TraceQueues& trace = controller.devices().trace;
    trace.setLiveRate(0);
    for (int i = 0; i < TraceRecords; ++i)
        trace.queueRecord({0x00, 0x02, static_cast<std::uint8_t>(i)});
}

class WorkerShutdown : public SimFixture, public ::testing::WithParamInterface<WorkerPhase> {
protected:
    ~WorkerShutdown() override
    {
        phaseClock.hold.release();
        simulator().setTrafficObserver(nullptr);
    }

    // What the main window's close does first: every window gone. The worker is asked to stop
    // as the device is destroyed, while this thread already waits for it.
    void closeEveryWindow()
    {
        for (int target = 0; target <= static_cast<int>(Target::Link); ++target)
            notifier.close(static_cast<Target>(target));
    }

    PhaseClock phaseClock;
};

TEST_P(WorkerShutdown, TaskEndsAtItsNextReportAndTheThreadEnds)
{
    const WorkerPhase& phase = GetParam();
    std::printf("Worker shutdown phase: %s\n", phase.name);
    phase.prepare(*controller(), notifier);
    if (phase.heldTransfer)
        holdAtTransfer(phaseClock.hold, phase.heldTransfer, phase.heldNumber);
    else
        phaseClock.holdNext(phase.pause);
    std::size_t linesAtClose = 0;
    {
        TDevice device(notifier, phaseClock);
        device.startWorker();
        device.events().set(phase.event);
        ASSERT_TRUE(phaseClock.hold.waitReached()) << "the worker reaches the held point";
        linesAtClose = notifier.lines().size();
        closeEveryWindow();
        phaseClock.hold.release();
    }
    EXPECT_FALSE(phaseClock.hold.expired());
    EXPECT_EQ(notifier.lines().size(), linesAtClose) << "nothing reached a window after the close";
    EXPECT_EQ(transfersAfterHold(phaseClock.hold, phase.taskTransfer), phase.allowedAfterHold)
        << "the task went past its next report";
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

using Held = PhaseClock::Held;

INSTANTIATE_TEST_SUITE_P(
    EveryTaskEveryPhase, WorkerShutdown,
    ::testing::Values(
        WorkerPhase{"read, between blocks", TaskEvent::ConfigRead, nothingToPrepare,
                    Held::Nothing, blockRead, 2, blockRead},
        WorkerPhase{"write, between blocks (the memory's write pause)", TaskEvent::ConfigWrite,
                    prepareWrite, Held::TaskPause, {}, 0, blockWrite},
        WorkerPhase{"write, during a block", TaskEvent::ConfigWrite, prepareWrite, Held::Nothing,
                    blockWrite, 2, blockWrite},
        WorkerPhase{"firmware, during the erase wait", TaskEvent::FirmwareLoad, prepareFirmware,
                    Held::TaskPause},
        WorkerPhase{"firmware, between blocks", TaskEvent::FirmwareLoad, prepareFirmware,
                    Held::Nothing, pageProgram, 2, pageProgram},
        WorkerPhase{"firmware in boot mode, between pieces", TaskEvent::FirmwareLoad,
                    prepareBootMode, Held::Nothing, bootPiece, 3, bootPiece},
        WorkerPhase{"statistics, during a poll", TaskEvent::StatisticsReport, prepareStatistics,
                    Held::Nothing, statisticsPoll, 1, statisticsPoll},
        // The drain asks on to the end of the controller's queue before its one report.
        WorkerPhase{"trace, during a drain", TaskEvent::TracePoll, prepareTrace, Held::Nothing,
                    traceFetch, 2, traceFetch, TraceRecords - 2 + 1},
        WorkerPhase{"codec test, during its push", TaskEvent::CodecTest, nothingToPrepare,
                    Held::Nothing, codecPush, 1, codecPush}),
    [](const ::testing::TestParamInfo<WorkerPhase>& info) {
        std::string name;
        for (const char* c = info.param.name; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

} // namespace
