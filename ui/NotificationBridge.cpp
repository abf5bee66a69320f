#include "ui/NotificationBridge.h"

#include <memory>

#include <QThread>
#include <QWidget>

#include "ui/WindowRegistry.h"

NotificationBridge::NotificationBridge(WindowRegistry& registry)
    : registry_(registry)
{
}

bool NotificationBridge::notify(Target target, int code, NotifyValue value)
{
    return deliver([this, target, code, value] {
        NotifiedWindow* window = registry_.handler(target);
        if (!window)
            return false;
        window->OnDeviceMessage(code, value);
        return true;
    });
}

bool NotificationBridge::requestClose(Target target)
{
    return deliver([this, target] {
        QWidget* window = registry_.widget(target);
        if (!window)
            return false;
        window->close();
        return true;
    });
}

void NotificationBridge::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    handled_.notify_all();
}

bool NotificationBridge::closed() const
{
    std::lock_guard lock(mutex_);
    return closed_;
}

bool NotificationBridge::deliver(std::function<bool()> handler)
{
    if (QThread::currentThread() == thread())
        return !closed() && handler();

    struct Call {
        bool done = false;
        bool answer = false;
    };
    // Shared with the queued call, which may still sit in the event queue after the worker
    // stopped waiting for it.
    auto call = std::make_shared<Call>();
    if (closed())
        return false;
    QMetaObject::invokeMethod(
        this,
        [this, call, handler = std::move(handler)] {
            // close() runs on this thread too, so no handler starts after it.
            const bool answer = !closed() && handler();
            {
                std::lock_guard lock(mutex_);
                call->done = true;
                call->answer = answer;
            }
            handled_.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(mutex_);
    handled_.wait(lock, [&] { return call->done || closed_; });
    return call->done && call->answer;
}
