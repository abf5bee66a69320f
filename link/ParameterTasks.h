#pragma once

#include <QString>

#include "link/Notifier.h"
#include "link/Protocol.h"
#include "link/TaskEvents.h"

struct TaskContext;

// One push of an editor's value or block to the running controller: the task asks the editor for
// its payload with code 9, sends it and reads one reply.
struct ParameterPush {
    TaskEvent event;
    Target editor;
    Protocol::PushFrame frame;
    QString successText; // logged after a parameter load, empty for the live tests
};

// The six pushes, in wait order of their events.
const ParameterPush& parameterPush(TaskEvent event);

void pushParameters(TaskContext& context, const ParameterPush& push);
