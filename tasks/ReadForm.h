#pragma once

#include "tasks/TransferForm.h"

// "Чтение конфигурации": reads the configuration out of the controller.
class TFRead : public TransferForm {
public:
    TFRead(WindowRegistry& registry, TaskEvents& events, QWidget* parent = nullptr);
};
