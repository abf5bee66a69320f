#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

#include "models/IdentityTexts.h"

// A Die ID as r4xx-cli lists it and takes it, and as a record's JSON form writes it: the four
// words in order, four upper-case hexadecimal digits each, joined by ":", "0001:2345:00AB:0C00".
// Unlike the information window's form it never runs two words together, so it names one
// controller only.
using DieId = std::array<std::uint16_t, 4>;

DieId dieIdOf(const IdentityWords& words);
QString dieIdKey(const DieId& die);
// Four groups of one to four hexadecimal digits, in either case, joined by ":".
std::optional<DieId> parseDieId(const QString& text);
