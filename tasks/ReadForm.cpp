#include "tasks/ReadForm.h"

#include "ui/Images.h"

TFRead::TFRead(WindowRegistry& registry, TaskEvents& events, QWidget* parent)
    : TransferForm({QStringLiteral("Чтение конфигурации"), QStringLiteral("Контроллер: "),
                    TaskEvent::ConfigRead, Target::Read, Image::Read},
                   registry, events, parent)
{
}
