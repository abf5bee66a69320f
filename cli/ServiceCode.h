#pragma once

#include <vector>

#include <QString>

#include "config/ConfigRecord.h"

// The service levels a command needs, and whether a service code opens one of them. The codes
// and levels are the terminal's; the code itself never stands on the command line.
enum class AccessVerdict {
    Granted,
    WrongCode,  // opens no level: the terminal's "Ошибка ввода сервисного кода"
    OtherLevel, // opens a level without this task
};

struct Access {
    AccessVerdict verdict;
    AccessLevel level;
};

Access accessFor(const QString& code, const std::vector<AccessLevel>& allowed);
QString otherLevelText();

// The levels of each task that needs one: the levels whose tree shows its node, and, for a
// write of the board block, the levels that write 200 bytes.
const std::vector<AccessLevel>& firmwareLevels();
const std::vector<AccessLevel>& traceLevels();
const std::vector<AccessLevel>& boardLevels();
