#include "cli/ServiceCode.h"

#include <algorithm>

#include "models/AccessCode.h"

Access accessFor(const QString& code, const std::vector<AccessLevel>& allowed)
{
    const auto level = static_cast<AccessLevel>(accessLevelOfCode(code));
    if (level == LevelUser)
        return {AccessVerdict::WrongCode, level};
    const bool opens = std::find(allowed.begin(), allowed.end(), level) != allowed.end();
    return {opens ? AccessVerdict::Granted : AccessVerdict::OtherLevel, level};
}

QString otherLevelText()
{
    return QStringLiteral("Сервисный код не открывает эту задачу");
}

const std::vector<AccessLevel>& firmwareLevels()
{
    static const std::vector<AccessLevel> levels{LevelFirmware, LevelFull};
    return levels;
}

const std::vector<AccessLevel>& traceLevels()
{
    static const std::vector<AccessLevel> levels{LevelTrace, LevelFull};
    return levels;
}

const std::vector<AccessLevel>& boardLevels()
{
    static const std::vector<AccessLevel> levels{LevelBoard, LevelFull};
    return levels;
}
