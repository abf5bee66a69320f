#include "ui/NotificationBridge.h"

#include <memory>
#include <variant>

#include <QThread>
#include <QWidget>

#include "ui/WindowRegistry.h"

NotificationBridge::NotificationBridge(WindowRegistry& registry)
    : registry_(registry)
{
}

// The report travels as the bridge's own copy: the queued call owns what it delivers.
bool NotificationBridge::notify(Target target, const TaskReport& report)
{
    const auto delivered = deliver<std::monostate>(
        [this, target, report]() -> std::optional<std::monostate> {
            NotifiedWindow* window = registry_.handler(target);
            if (!window)
                return std::nullopt;
            window->OnDeviceMessage(report);
            return std::monostate{};
        });
    return delivered.has_value();
}

std::optional<TaskInput> NotificationBridge::request(Target target, const TaskRequest& wanted)
{
    return deliver<TaskInput>([this, target, wanted]() -> std::optional<TaskInput> {
        NotifiedWindow* window = registry_.handler(target);
        if (!window)
            return std::nullopt;
        return window->OnDeviceRequest(wanted);
    });
}

bool NotificationBridge::requestClose(Target target)
{
    const auto delivered = deliver<std::monostate>([this, target]() -> std::optional<std::monostate> {
        QWidget* window = registry_.widget(target);
        if (!window)
            return std::nullopt;
        window->close();
        return std::monostate{};
    });
    return delivered.has_value();
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

template <typename Result>
std::optional<Result> NotificationBridge::deliver(std::function<std::optional<Result>()> handler)
{
    if (QThread::currentThread() == thread())
        return closed() ? std::nullopt : handler();

    struct Call {
        bool done = false;
        std::optional<Result> answer;
    };
    // Shared with the queued call, which may still sit in the event queue after the worker
    // stopped waiting for it.
    auto call = std::make_shared<Call>();
    if (closed())
        return std::nullopt;
    QMetaObject::invokeMethod(
        this,
        [this, call, handler = std::move(handler)] {
            // close() runs on this thread too, so no handler starts after it.
            std::optional<Result> answer = closed() ? std::nullopt : handler();
            {
                std::lock_guard lock(mutex_);
                call->done = true;
                call->answer = std::move(answer);
            }
            handled_.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(mutex_);
    handled_.wait(lock, [&] { return call->done || closed_; });
    if (!call->done)
        return std::nullopt;
    return std::move(call->answer);
}
