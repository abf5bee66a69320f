#include "link/TaskMessages.h"

int reportCode(const TaskReport& report)
{
    return std::visit([](const auto& kind) { return std::decay_t<decltype(kind)>::code; }, report);
}

TaskInput emptyInput(const TaskRequest& wanted)
{
    return std::visit(
        Overloaded{
            [](const Ask::Payload& payload) -> TaskInput {
                return Ask::Payload::Bytes{
                    std::vector<std::uint8_t>(static_cast<std::size_t>(payload.size), 0)};
            },
            [](const auto& other) -> TaskInput {
                return typename std::decay_t<decltype(other)>::Answer{};
            },
        },
        wanted);
}
