#pragma once

#include <optional>

#include <QString>

// The service code typed at the controlling terminal with echo off, after the prompt
// "Введите сервисный код: " on it; nothing without a terminal.
std::optional<QString> promptServiceCode();
