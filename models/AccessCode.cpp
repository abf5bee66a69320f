#include "models/AccessCode.h"

#include <array>
#include <utility>

namespace {
constexpr int NoCodeResult = 5;
}

int accessModalResult(const QString& code)
{
    static const std::array<std::pair<QString, int>, 4> codes{{
        {QStringLiteral("Orchard"), 7},
        {QStringLiteral("Probe_Orchard"), 8},
        {QStringLiteral("Plank_Orchard"), 9},
        {QStringLiteral("Core_Orchard"), 10},
    }};
    for (const auto& [text, result] : codes)
        if (text == code)
            return result;
    return NoCodeResult;
}

int accessLevelOf(int modalResult)
{
    // Only the four codes' results name a level; anything else is the user level.
    const bool codeResult = modalResult > NoCodeResult && modalResult <= NoCodeResult + 5;
    return codeResult ? modalResult - NoCodeResult : 0;
}

int accessLevelOfCode(const QString& code)
{
    return accessLevelOf(accessModalResult(code));
}

QString wrongCodeText()
{
    return QStringLiteral("Ошибка ввода сервисного кода");
}
