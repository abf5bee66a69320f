#include "models/LogText.h"

#include "link/TimeOfDay.h"

QString logPrefix(const QTime& time, const QLocale& locale)
{
    return timeOfDayText(time, locale) + QStringLiteral("-> ");
}

QString logPrefix()
{
    return logPrefix(QTime::currentTime(), QLocale());
}

std::optional<QString> deviceLogText(const TaskReport& report)
{
    return std::visit(
        Overloaded{
            [](const Report::Text& line) -> std::optional<QString> { return line.text; },
            [](const Report::UsbFailure& failure) -> std::optional<QString> {
                return QStringLiteral("Error: ") + QString::number(failure.result);
            },
            [](const Report::Received& received) -> std::optional<QString> {
                return QStringLiteral("Получено ") + QString::number(received.count)
                    + QStringLiteral("байт.");
            },
            [](const Report::Sent& sent) -> std::optional<QString> {
                return QStringLiteral("Передано ") + QString::number(sent.count)
                    + QStringLiteral("байт.");
            },
            [](const auto&) -> std::optional<QString> { return std::nullopt; },
        },
        report);
}

QString fileSavedText(const QString& fileName)
{
    return QStringLiteral("Файл сохранен ") + fileName;
}

QString fileRejectedText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName
        + QStringLiteral(" поврежден, либо не соответствует данному устройству ");
}

QString configLoadedText()
{
    return QStringLiteral("Конфигурация контроллера загружена");
}
