#pragma once

#include <cstdint>

// The windows a device task reports to. Each has at most one instance at a time.
enum class Target {
    Device,  // the main window and its message log
    Read,
    Save,
    Flash,
    Report,
    Trace,
    Codec,
    Audio,
    Vocoder,
    Recoder,
    Net,
    Link,
};

// Notification codes; the meaning of the value depends on the target (see the task that sends it).
namespace NotifyCode {
enum : int {
    Text = 0,      // value: const QString* (log line, status line) or the trace lines
    Error = 1,     // value: signed USB result or -1 / -2 for a malformed reply
    Received = 2,  // value: bytes received
    Sent = 3,      // value: bytes sent
    Size = 4,      // value: progress maximum
    Finished = 5,  // value: bytes transferred, or 0 for "stop"
    Identity = 6,  // value: const uint8_t* to the 12-byte identity block in host order
    Progress = 7,  // value: progress position
    Record = 8,    // value: const RecordBytes* of a completed read
    Request = 9,   // value: pointer to the structure the window fills
    Counters = 10, // value: const uint8_t* to the counters record
};
}

// Wide enough for a pointer; pointers handed over are valid only during the notification.
using NotifyValue = std::intptr_t;

template <typename T>
NotifyValue toNotifyValue(T* pointer)
{
    return reinterpret_cast<NotifyValue>(pointer);
}

template <typename T>
T* fromNotifyValue(NotifyValue value)
{
    return reinterpret_cast<T*>(value);
}

// The one way the worker reaches the windows. Both calls are synchronous: they return once the
// window has handled the message on the user-interface thread. They answer false when the target
// window no longer exists, which is how a closed window cancels its task.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual bool notify(Target target, int code, NotifyValue value) = 0;
    // Asks a task window to close as if its user had closed it.
    virtual bool requestClose(Target target) = 0;
};
