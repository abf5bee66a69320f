#include "tasks/SaveForm.h"

#include "ui/Images.h"

TFSave::TFSave(WindowRegistry& registry, TaskEvents& events, QWidget* parent)
    : TransferForm({QStringLiteral("Загрузка конфигурации"), QStringLiteral("Контроллер:"),
                    TaskEvent::ConfigWrite, Target::Save, Image::Write},
                   registry, events, parent)
{
}
