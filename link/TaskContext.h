#pragma once

#include <optional>
#include <variant>

#include <QString>

#include "link/Clock.h"
#include "link/Notifier.h"
#include "link/Protocol.h"
#include "link/UsbConnection.h"

// What a device task works with: the connection, the windows and the clock.
struct TaskContext {
    UsbConnection& usb;
    Notifier& notifier;
    Clock& clock;

    // Every report answers false once its window is gone; the task then ends quietly.
    bool notify(Target target, const TaskReport& report);
    bool log(const QString& text) { return notify(Target::Device, Report::Text{text}); }
    bool logError(int result) { return notify(Target::Device, Report::UsbFailure{result}); }
    // Code 9: the window's answer, or nothing once the window is gone. A window that answers
    // another kind gives what a window with nothing to give gives.
    template <typename Wanted>
    std::optional<typename Wanted::Answer> ask(Target target, const Wanted& wanted);
    bool requestClose(Target target);
    // A failed exchange: log the result, close the window, drop the connection (also when the
    // windows are gone: the connection is broken either way).
    void failExchange(Target window, const Protocol::Failure& failure);
    // The common start of every task: (re-)open the connection, probe, read the identity.
    bool connect(int configuration);

private:
    std::optional<TaskInput> input(Target target, const TaskRequest& wanted);
};

template <typename Wanted>
std::optional<typename Wanted::Answer> TaskContext::ask(Target target, const Wanted& wanted)
{
    std::optional<TaskInput> answer = input(target, wanted);
    if (!answer)
        return std::nullopt;
    if (!std::holds_alternative<typename Wanted::Answer>(*answer))
        answer = emptyInput(wanted);
    return std::get<typename Wanted::Answer>(std::move(*answer));
}
