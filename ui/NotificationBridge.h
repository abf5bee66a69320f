#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include <QObject>

#include "link/Notifier.h"

class WindowRegistry;

// Carries the worker's notifications to the windows. A call from the worker is handed to the
// user-interface thread and the worker waits until it was handled there; the target window is
// looked up at that moment, on that thread, so it is found whole or found gone.
class NotificationBridge : public QObject, public Notifier {
public:
    explicit NotificationBridge(WindowRegistry& registry);

    bool notify(Target target, const TaskReport& report) override;
    std::optional<TaskInput> request(Target target, const TaskRequest& wanted) override;
    bool requestClose(Target target) override;

    // From now on every call, pending or new, answers "gone" at once. The main window calls this
    // first when it closes, before its event loop stops running the queued calls.
    void close();

private:
    // Runs the handler on the user-interface thread and hands back its result; nothing when the
    // window was gone or the bridge closed.
    template <typename Result>
    std::optional<Result> deliver(std::function<std::optional<Result>()> handler);
    bool closed() const;

    WindowRegistry& registry_;
    mutable std::mutex mutex_;
    std::condition_variable handled_;
    bool closed_ = false;
};
