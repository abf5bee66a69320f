#include "link/DeviceTask.h"

#include "link/ConfigTasks.h"
#include "link/FirmwareReadTask.h"
#include "link/FirmwareTask.h"
#include "link/Diagnostics.h"
#include "link/ParameterTasks.h"
#include "link/StatisticsTasks.h"
#include "link/TaskContext.h"
#include "link/TraceTasks.h"

TaskTable deviceTasks()
{
    TaskTable tasks;
    tasks[static_cast<int>(TaskEvent::ConfigRead)] = readConfiguration;
    tasks[static_cast<int>(TaskEvent::ConfigWrite)] = writeConfiguration;
    tasks[static_cast<int>(TaskEvent::FirmwareLoad)] = loadFirmware;
    tasks[static_cast<int>(TaskEvent::FirmwareRead)] = readFirmware;
    tasks[static_cast<int>(TaskEvent::TraceSelection)] = selectTrace;
    tasks[static_cast<int>(TaskEvent::TracePoll)] = TraceFetch{};
    tasks[static_cast<int>(TaskEvent::StatisticsReport)] = reportStatistics;
    tasks[static_cast<int>(TaskEvent::StatisticsReset)] = resetStatistics;
    for (TaskEvent event : {TaskEvent::CodecTest, TaskEvent::AmplifierTest, TaskEvent::VocoderTest,
                            TaskEvent::RecorderTest, TaskEvent::NetworkLoad, TaskEvent::LinkLoad})
        tasks[static_cast<int>(event)] = [&push = parameterPush(event)](TaskContext& context) {
            pushParameters(context, push);
        };
    return tasks;
}

TDevice::TDevice(Notifier& notifier, Clock& clock, TaskTable tasks)
    : notifier_(notifier)
    , clock_(clock)
    , tasks_(std::move(tasks))
    , usb_(notifier)
{
}

TDevice::~TDevice()
{
    Terminate();
    wait();
    finish();
}

void TDevice::startWorker()
{
    start(QThread::LowPriority);
}

void TDevice::Terminate()
{
    terminating_ = true;
}

void TDevice::run()
{
    Execute();
}

void TDevice::Execute()
{
    while (!terminating_)
        runPass();
    finish();
}

void TDevice::runPass()
{
    clock_.sleep(PollInterval);
    if (terminating_)
        return;
    const std::optional<TaskEvent> event = events_.poll();
    if (!event)
        return;
    const DeviceTaskFn& task = tasks_[static_cast<int>(*event)];
    if (!task)
        return;
    TaskContext context{usb_, notifier_, clock_};
    qCDebug(taskLog) << "begins" << taskEventName(*event);
    task(context);
    qCDebug(taskLog) << "ends" << taskEventName(*event)
                     << (usb_.isOpen() ? "connection open" : "connection closed");
}

void TDevice::finish()
{
    usb_.drainAndClose();
}
