#include "models/ReportPages.h"

#include <QLatin1StringView>

#include "models/ReportTexts.h"

namespace {
const QString InitialPeriod = QStringLiteral("1");
}

const std::vector<ReportPage>& reportPages()
{
    static const std::vector<ReportPage> pages{
        {QStringLiteral("Общая"),
         {
             {nullptr, QStringLiteral("Время сбора данных (сек):"), "sTime"},
             {nullptr, QStringLiteral("Количество отправленных пакетов:"), "sTx"},
             {nullptr, QStringLiteral("Объем  отправленных пакетов (байт):"), "sTxBytes"},
             {nullptr, QStringLiteral("Количество блокированных пакетов:"), "sNetErr"},
             {nullptr, QStringLiteral("Количество принятых пакетов:"), "sRx"},
             {nullptr, QStringLiteral("Объем  принятых пакетов (байт):"), "sRxBytes"},
             {nullptr, QStringLiteral("Число потерянных и ошибочных пакетов:"), "sRxErr"},
             {"LDelay", delayLabel(ModelR420), "sDelay"},
             {nullptr, QStringLiteral("Загрузка процессора (%):"), "sLoad"},
         }},
        {QStringLiteral("Канал управления"),
         {
             {nullptr, QStringLiteral("Количество отправленных пакетов:"), "sTxd"},
             {nullptr, QStringLiteral("Объем  отправленных пакетов (байт):"), "sTxdBytes"},
             {nullptr, QStringLiteral("Количество повторных передач пакетов:"), "sTxdErr"},
             {nullptr, QStringLiteral("Количество принятых пакетов:"), "sRxd"},
             {nullptr, QStringLiteral("Объем  принятых пакетов (байт):"), "sRxdBytes"},
             {nullptr, QStringLiteral("Количество ошибочных пакетов:"), "sRxdErr"},
             {"Label16", errorShareLabel(InitialPeriod), "sRxdErrFract"},
         }},
        {QStringLiteral("Канал аудио"),
         {
             {nullptr, QStringLiteral("Количество отправленных пакетов:"), "sTxv"},
             {nullptr, QStringLiteral("Объем  отправленных пакетов (байт):"), "sTxvBytes"},
             {nullptr, QStringLiteral("Количество принятых пакетов:"), "sRxv"},
             {nullptr, QStringLiteral("Объем  принятых пакетов (байт):"), "sRxvBytes"},
             {nullptr, QStringLiteral("Количество потерянных пакетов:"), "sRxvLost"},
             {nullptr, QStringLiteral("Колебание межпакетного интервала:"), "sJitter"},
             {"LJBufLoad", QStringLiteral("Среднее время задержки кадров:"), "sJBufLoad"},
             {"Label9", lostShareLabel(InitialPeriod), "sRxvLostFract"},
         }},
    };
    return pages;
}

std::optional<QString> reportRowLabel(const ReportFigureRow& row, int model,
                                      const QString& periodText)
{
    const QLatin1StringView name(row.labelName ? row.labelName : "");
    if (name == QLatin1StringView("LDelay"))
        return delayLabel(model);
    if (name == QLatin1StringView("LJBufLoad") && model == ModelR410)
        return std::nullopt;
    if (name == QLatin1StringView("Label16"))
        return errorShareLabel(periodText);
    if (name == QLatin1StringView("Label9"))
        return lostShareLabel(periodText);
    return row.text;
}
