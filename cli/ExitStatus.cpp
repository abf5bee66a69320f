#include "cli/ExitStatus.h"

#include <algorithm>

int exitCode(ExitStatus status)
{
    return static_cast<int>(status);
}

bool isFailure(ExitStatus status)
{
    return status != ExitStatus::Success && status != ExitStatus::Differ
        && status != ExitStatus::Interrupted;
}

const std::vector<ExitStatusEntry>& exitStatuses()
{
    static const std::vector<ExitStatusEntry> entries{
        {ExitStatus::Success, "success", QStringLiteral("задача выполнена")},
        {ExitStatus::Differ, "differ",
         QStringLiteral("diff: конфигурации различаются (любая ошибка diff завершается кодом 2)")},
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
         QStringLiteral("конфигурация не соответствует типу контроллера, или прочитанное из "
                        "контроллера отличается от записанного (--verify)")},
        {ExitStatus::Unverified, "unverified",
         QStringLiteral("ПО загружено в режиме загрузчика, проверка (--verify) невозможна")},
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
