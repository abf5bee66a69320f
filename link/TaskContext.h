#pragma once

#include <QString>

#include "link/Clock.h"
#include "link/Notifier.h"
#include "link/UsbConnection.h"

// What a device task works with: the connection, the windows and the clock.
struct TaskContext {
    UsbConnection& usb;
    Notifier& notifier;
    Clock& clock;

    // Every report answers false once its window is gone; the task then ends quietly.
    bool notify(Target target, int code, NotifyValue value);
    bool log(const QString& text)
    {
        return notify(Target::Device, NotifyCode::Text, toNotifyValue(&text));
    }
    bool logError(int value) { return notify(Target::Device, NotifyCode::Error, value); }
    bool requestClose(Target target);
    // A failed exchange: log the result, close the window, drop the connection (also when the
    // windows are gone: the connection is broken either way).
    void failExchange(Target window, int result);
    // The common start of every task: (re-)open the connection, probe, read the identity.
    bool connect(int configuration);
};
