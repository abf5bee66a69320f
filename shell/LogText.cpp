#include "shell/LogText.h"

#include <cstdint>

#include "ui/TimeFormat.h"

QString logPrefix(const QTime& time, const QLocale& locale)
{
    return locale.toString(time, timeOfDayFormat(locale)) + QStringLiteral("-> ");
}

QString logPrefix()
{
    return logPrefix(QTime::currentTime(), QLocale());
}

std::optional<QString> deviceLogText(int code, NotifyValue value)
{
    // The error and count values are 32-bit numbers carried in a pointer-wide value.
    const auto number = QString::number(static_cast<std::int32_t>(value));
    switch (code) {
    case NotifyCode::Text:
        return *fromNotifyValue<const QString>(value);
    case NotifyCode::Error:
        return QStringLiteral("Error: ") + number;
    case NotifyCode::Received:
        return QStringLiteral("Получено ") + number + QStringLiteral("байт.");
    case NotifyCode::Sent:
        return QStringLiteral("Передано ") + number + QStringLiteral("байт.");
    default:
        return std::nullopt;
    }
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
