// A program for r4xx-usbfs-bed to run: it reads the configuration of the controller the bed
// plugged in, with the link layer on the real libusb, and succeeds when the record arrives with
// the simulated controller's identity.

#include <cstdio>

#include "config/ConfigRecord.h"
#include "link/ConfigTasks.h"
#include "link/Notifier.h"
#include "link/Packet.h"
#include "link/TaskContext.h"

namespace {
class PrintingNotifier : public Notifier {
public:
    bool notify(Target target, const TaskReport& report) override
    {
        if (target != Target::Device)
            return true;
        if (const auto* line = std::get_if<Report::Text>(&report))
            std::printf("%s\n", line->text.toUtf8().constData());
        if (const auto* failure = std::get_if<Report::UsbFailure>(&report))
            std::printf("Error: %d\n", failure->result);
        if (const auto* read = std::get_if<Report::Record>(&report))
            record = read->bytes;
        return true;
    }
    std::optional<TaskInput> request(Target, const TaskRequest& wanted) override
    {
        return emptyInput(wanted);
    }
    bool requestClose(Target) override { return true; }

    RecordBytes record{};
};
}

int main()
{
    PrintingNotifier notifier;
    SystemClock clock;
    UsbConnection usb(notifier);
    TaskContext context{usb, notifier, clock};
    readConfiguration(context);
    const std::uint16_t typeWord = readLe16(notifier.record.data() + CONFIG_IMAGE_SIZE);
    std::printf("identity word 0: 0x%04X\n", typeWord);
    return typeWord == 0x2000 ? 0 : 1;
}
