#include "fuzz/TaskRuns.h"

#include <algorithm>

#include "link/DeviceTask.h"
#include "sim/Simulator.h"
#include "support/TestClock.h"

const std::array<TaskRun, 17>& taskRuns()
{
    static const std::array<TaskRun, 17> runs{{
        {"read", TaskEvent::ConfigRead, Target::Read, Ending::Told},
        {"write-user", TaskEvent::ConfigWrite, Target::Save, Ending::Told, USER_WRITE_SIZE},
        {"write-full", TaskEvent::ConfigWrite, Target::Save, Ending::Told, FULL_WRITE_SIZE},
        {"firmware", TaskEvent::FirmwareLoad, Target::Flash, Ending::Told},
        {"firmware-boot", TaskEvent::FirmwareLoad, Target::Flash, Ending::Told, 0, true},
        {"statistics-report", TaskEvent::StatisticsReport, Target::Report, Ending::Polling},
        {"statistics-reset", TaskEvent::StatisticsReset, Target::Report, Ending::Polling},
        {"codec", TaskEvent::CodecTest, Target::Codec, Ending::OnFailure},
        {"amplifier", TaskEvent::AmplifierTest, Target::Audio, Ending::OnFailure},
        {"vocoder", TaskEvent::VocoderTest, Target::Vocoder, Ending::OnFailure},
        {"recorder", TaskEvent::RecorderTest, Target::Recoder, Ending::OnFailure},
        {"network", TaskEvent::NetworkLoad, Target::Net, Ending::OnFailure},
        {"link", TaskEvent::LinkLoad, Target::Link, Ending::OnFailure},
        {"trace-selection", TaskEvent::TraceSelection, Target::Trace, Ending::OnFailure},
        {"trace-fetch", TaskEvent::TracePoll, Target::Trace, Ending::OnFailure},
        {"firmware-verify", TaskEvent::FirmwareRead, Target::Flash, Ending::Told},
        {"firmware-backup", TaskEvent::FirmwareRead, Target::Flash, Ending::Told, 0, false, true},
    }};
    return runs;
}

RunHandles runTask(const TaskRun& run, const RunSetup& setup, RecordingNotifier& notifier)
{
    sim::Simulator& simulator = sim::Simulator::instance();
    simulator.reset();
    const std::shared_ptr<sim::SimController> controller = simulator.controller();
    controller->settings.firmwareRuns = !run.bootMode;
    controller->settings.capacity = setup.capacity;
    controller->faults.replyFilter = setup.replyFilter;
    if (setup.prepare)
        setup.prepare(*controller);

    notifier.writeCount = run.writeCount;
    const std::vector<std::uint8_t> image = controller->configMemory().read(0, CONFIG_IMAGE_SIZE);
    std::copy_n(image.begin(), CONFIG_IMAGE_SIZE, notifier.record.bytes.begin());
    notifier.record.setTypeWord(controller->settings.typeWord);
    notifier.image = setup.image;
    notifier.traceMask = setup.traceMask;
    if (run.event == TaskEvent::FirmwareRead) {
        controller->devices().flash.preload(0, *setup.image);
        notifier.flashRange = {0, static_cast<std::int64_t>(setup.image->size()),
                               run.backup ? nullptr : setup.image};
    }

    TestClock clock;
    RunHandles handles{};
    {
        TDevice device(notifier, clock);
        device.events().set(run.event);
        device.runPass();
        handles.afterTask = simulator.openHandleCount();
    }
    handles.afterWorker = simulator.openHandleCount();
    controller->faults.replyFilter = nullptr;
    return handles;
}

std::shared_ptr<const FirmwareImage> patternedImage(std::size_t length)
{
    auto image = std::make_shared<FirmwareImage>(length);
    for (std::size_t i = 0; i < length; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}
