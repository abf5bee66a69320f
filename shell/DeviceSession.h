#pragma once

#include <memory>

#include "link/DeviceTask.h"
#include "ui/NotificationBridge.h"
#include "ui/WindowRegistry.h"

class Clock;
class QMdiArea;
class QWidget;

// The main window's link with the controller: the worker and its task events, the bridge its
// reports cross, and the registry of the windows they reach. The main window is enrolled for its
// log and its record, and the worker starts at once.
class DeviceSession {
public:
    DeviceSession(NotifiedWindow& mainWindow, QWidget& mainWidget, QMdiArea& area, Clock& clock,
                  TaskTable tasks);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    WindowRegistry& registry() { return registry_; }
    TaskEvents& events() { return device_->events(); }

    // Ends the session in the one safe order: no task starts any more; a report waiting on the
    // user-interface thread is released instead of blocking for ever; the child windows go
    // without their closing handlers, since the worker they would talk to is stopping; then the
    // worker ends its task at its next report and stops. Later calls do nothing.
    void shutDown();

private:
    NotifiedWindow& mainWindow_;
    QMdiArea& area_;
    WindowRegistry registry_;
    NotificationBridge bridge_{registry_};
    std::unique_ptr<TDevice> device_;
};
