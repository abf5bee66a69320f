#pragma once

#include <cstdint>

#include <QString>

#include "link/Notifier.h"
#include "link/Packet.h"
#include "link/TaskEvents.h"

struct TaskContext;

// One push of an editor's value or block to the running controller: the editor writes its
// payload into the request during code 9, the task sends it and reads one reply.
struct ParameterPush {
    TaskEvent event;
    Target editor;
    Command command;
    // The serial-bus pushes (command 3) also name the device and the byte count.
    bool busTransfer;
    std::uint16_t busDevice;
    int payloadSize;  // bytes the editor writes
    int bytesSent;    // header and payload as sent
    QString successText; // logged after a parameter load, empty for the live tests
};

// The six pushes, in wait order of their events.
const ParameterPush& parameterPush(TaskEvent event);

void pushParameters(TaskContext& context, const ParameterPush& push);
