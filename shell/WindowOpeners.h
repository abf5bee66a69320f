#pragma once

#include <functional>

#include "shell/TreeCommand.h"

class DeviceDocument;
class Dialogs;
class QMdiArea;
class TaskEvents;
class WindowRegistry;

// What the windows opened from the task tree work with; reading and writing are the main
// window's own commands, with their questions.
struct OpenerPlace {
    QMdiArea& area;
    WindowRegistry& registry;
    TaskEvents& events;
    Dialogs& dialogs;
    DeviceDocument& document;
    std::function<void()> read;
    std::function<void()> write;
};

// Runs a tree node's command: opens its window, or brings the open one to the front. Group nodes
// do nothing.
void runTreeCommand(TreeCommand command, const OpenerPlace& place);
