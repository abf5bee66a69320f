#include "cli/ExitStatus.h"

#include <algorithm>

int exitCode(ExitStatus status)
{
    return static_cast<int>(status);
}

const std::vector<ExitStatusEntry>& exitStatuses()
{
    static const std::vector<ExitStatusEntry> entries{
        {ExitStatus::Success, "success", QStringLiteral("задача выполнена")},
        {ExitStatus::Usage, "usage",
         QStringLiteral("неизвестная команда или параметр, неверный аргумент")},
        {ExitStatus::NoController, "no-controller",
         QStringLiteral("контроллер не обнаружен на шине USB (или в указанном месте)")},
        {ExitStatus::UsbFailure, "usb-failure",
         QStringLiteral("ошибка USB: контроллер не ответил, отключен или занят другой программой")},
        {ExitStatus::Refused, "refused",
         QStringLiteral("файл не открывается или значение не может быть записано")},
        {ExitStatus::AccessRefused, "access-refused",
         QStringLiteral("неверный сервисный код или код не открывает эту задачу")},
        {ExitStatus::Mismatch, "mismatch",
         QStringLiteral("конфигурация не соответствует типу контроллера")},
        {ExitStatus::Interrupted, "interrupted", QStringLiteral("задача прервана (Ctrl+C)")},
    };
    return entries;
}

const ExitStatusEntry& exitStatusEntry(ExitStatus status)
{
    const auto& entries = exitStatuses();
    return *std::find_if(entries.begin(), entries.end(),
                         [status](const ExitStatusEntry& entry) { return entry.status == status; });
}
