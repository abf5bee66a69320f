#pragma once

#include <cstdint>

#include <QLoggingCategory>
#include <QString>

#include "link/Notifier.h"
#include "link/TaskEvents.h"

// Diagnostics for service engineers, off unless switched on through QT_LOGGING_RULES
// ("r4xx.usb.debug=true", "r4xx.tasks.debug=true"); Qt writes the lines to standard error.
// r4xx.usb: every bulk transfer and the configuration and claim of the controller.
Q_DECLARE_LOGGING_CATEGORY(usbLog)
// r4xx.tasks: each task the worker runs, from its event to its end.
Q_DECLARE_LOGGING_CATEGORY(taskLog)

enum class TransferDirection { Out, In };

// One transfer as a line: direction, endpoint, the length offered (OUT) or asked for (IN), the
// library's result, and the bytes in hexadecimal: for OUT the bytes offered, even when the write
// failed; for IN the bytes received, none after a failure.
//   OUT 0x01 length 4 result 4 data 00 00 00 40
//   IN  0x81 length 72 result -110
QString transferLine(TransferDirection direction, int endpoint, int length, int result,
                     const std::uint8_t* bytes);

// The task event's name as the diagnostics show it, e.g. "ConfigRead".
const char* taskEventName(TaskEvent event);

// The window's class name as the diagnostics show it, e.g. "TFRead".
const char* windowName(Target target);
