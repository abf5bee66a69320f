#pragma once

#include <QString>

struct TaskContext;

// What the write task logs when the record is of another controller type than the controller.
inline const QString WrongTypeText =
    QStringLiteral("Загружаемая конфигурация не соответствует типу контроллера");

// Copies the controller's configuration image into a new record and hands it to the main window.
void readConfiguration(TaskContext& context);
// Writes the leading bytes of the main window's record into the controller's configuration
// memory, in blocks that never cross a memory page.
void writeConfiguration(TaskContext& context);
