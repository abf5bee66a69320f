#include "link/TaskEvents.h"

#include <bit>

namespace {
std::uint32_t bitOf(TaskEvent event)
{
    return std::uint32_t{1} << static_cast<int>(event);
}
}

void TaskEvents::set(TaskEvent event)
{
    flags_.fetch_or(bitOf(event));
}

void TaskEvents::reset(TaskEvent event)
{
    flags_.fetch_and(~bitOf(event));
}

bool TaskEvents::isSet(TaskEvent event) const
{
    return (flags_.load() & bitOf(event)) != 0;
}

std::optional<TaskEvent> TaskEvents::poll()
{
    std::uint32_t flags = flags_.load();
    while (flags != 0) {
        const std::uint32_t lowest = flags & (~flags + 1);
        if (flags_.compare_exchange_weak(flags, flags & ~lowest))
            return static_cast<TaskEvent>(std::countr_zero(lowest));
    }
    return std::nullopt;
}
