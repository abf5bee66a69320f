#include "cli/Verification.h"

namespace {
QString hex(std::int64_t value, int digits)
{
    return QStringLiteral("%1")
        .arg(static_cast<qlonglong>(value), digits, 16, QLatin1Char('0'))
        .toUpper();
}
}

QString configVerdictText(const std::optional<FlashMismatch>& mismatch)
{
    if (!mismatch)
        return QStringLiteral("Конфигурация в контроллере совпадает с записанной");
    return QStringLiteral(
               "Расхождение конфигурации по смещению 0x%1: записано %2, в контроллере %3")
        .arg(hex(mismatch->address, 4), hex(mismatch->expected, 2), hex(mismatch->actual, 2));
}

QJsonObject comparisonJson(std::int64_t bytesEqual, const std::optional<FlashMismatch>& mismatch)
{
    QJsonObject object{{QStringLiteral("outcome"),
                        mismatch ? QStringLiteral("mismatch") : QStringLiteral("match")},
                       {QStringLiteral("bytesEqual"), static_cast<qint64>(bytesEqual)}};
    if (mismatch)
        object[QStringLiteral("firstMismatch")]
            = QJsonObject{{QStringLiteral("address"), static_cast<qint64>(mismatch->address)},
                          {QStringLiteral("expected"), mismatch->expected},
                          {QStringLiteral("actual"), mismatch->actual}};
    return object;
}

QJsonObject impossibleComparisonJson()
{
    return {{QStringLiteral("outcome"), QStringLiteral("impossible")}};
}
