#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

#include "sim/Transfer.h"

namespace simpanel {

// One transfer as one line of JSON, newline included: direction ("out" or "in"), endpoint,
// length asked, time-out, result, bytes in hexadecimal and the time stamp in microseconds.
QByteArray trafficJsonLine(const sim::Transfer& transfer, std::int64_t timeMicroseconds);
// One transfer as a line of the panel's traffic view and of its saved text.
QString trafficText(const sim::Transfer& transfer);

} // namespace simpanel
