#pragma once

#include "tasks/TransferForm.h"

// "Загрузка конфигурации": writes the configuration into the controller.
class TFSave : public TransferForm {
public:
    TFSave(WindowRegistry& registry, TaskEvents& events, QWidget* parent = nullptr);
};
