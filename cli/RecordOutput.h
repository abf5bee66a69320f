#pragma once

#include <QJsonObject>

#include "cli/Commands.h"
#include "config/ConfigRecord.h"

// The configuration read from the controller: the read task's record, or why there is none.
std::variant<ConfigRecord, ExitStatus> readRecord(TaskRunner& runner);

// A record as the information window shows it (its CRC stamped first, as the main window does
// before it opens the window), as lines and as JSON.
QStringList infoLines(const ConfigRecord& record);
QJsonObject infoJson(const ConfigRecord& record);

// The record written as "Записать" writes it in this level.
ExitStatus writeRecord(CommandContext& context, TaskRunner& runner, ConfigRecord record,
                       AccessLevel level);
