#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "cli/Console.h"
#include "models/DieId.h"
#include "link/DevicePath.h"

// Every controller on every bus in the order of their paths, each opened, probed and asked for its identity as a task's
// connection does, then closed again.
struct ListedController {
    DevicePath path;
    // The identity block in host order; none when the controller did not answer.
    std::optional<std::array<std::uint8_t, 12>> identity;
    QStringList log; // why it did not answer
};

std::vector<ListedController> listControllers(Console& console);

// The path of the controller with this Die ID, if one answers with it.
std::optional<DevicePath> pathOfDieId(const std::vector<ListedController>& controllers,
                                      const DieId& die);

// A line of the list: "001/003  R-420ZA  Версия ПО: 1.2  Версия ПП: B.1  Die ID: 0001:2345:00AB:0C00
// Chip ID: 0x05", or the path and why the controller does not answer.
QString listedLine(const ListedController& controller);
