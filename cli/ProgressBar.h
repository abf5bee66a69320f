#pragma once

#include <cstdint>

#include <QString>

// The progress bar r4xx-cli draws on a terminal: the phase, a bar of `width` cells, the percentage
// and the position against the maximum, "Загрузка программного обеспечения [#####     ]  50% 64/128".
QString progressLine(const QString& phase, std::int64_t position, std::int64_t maximum, int width);
