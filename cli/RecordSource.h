#pragma once

#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "config/ConfigRecord.h"

// The records a command works on: configuration files, opened as "Открыть" opens them (212 bytes,
// their CRC right), and with --controller the configuration read from the controller.
std::variant<ConfigRecord, ExitStatus> fileRecord(CommandContext& context, const QString& name);
std::variant<ConfigRecord, ExitStatus> controllerRecord(CommandContext& context);

inline const QString ControllerOption = QStringLiteral("controller");

// The files named as arguments, in order, then the controller's record with --controller: exactly
// count of them, or a usage error.
std::variant<std::vector<ConfigRecord>, ExitStatus> namedRecords(CommandContext& context,
                                                                 int count);
