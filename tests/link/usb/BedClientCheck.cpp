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
    bool notify(Target target, int code, NotifyValue value) override
    {
        if (target == Target::Device && code == NotifyCode::Text)
            std::printf("%s\n", fromNotifyValue<const QString>(value)->toUtf8().constData());
        if (target == Target::Device && code == NotifyCode::Error)
            std::printf("Error: %d\n", static_cast<int>(value));
        if (target == Target::Device && code == NotifyCode::Record)
            record = *fromNotifyValue<const RecordBytes>(value);
        return true;
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
