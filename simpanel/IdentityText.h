#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

namespace simpanel {

// The controller's identifiers as people type them: four-digit hexadecimal words, the Die ID's
// four joined by colons ("0001:2345:00AB:0C00").
QString hexWordText(std::uint16_t word);
std::optional<std::uint16_t> hexWordOf(const QString& text);
QString dieIdText(const std::array<std::uint16_t, 4>& dieId);
std::optional<std::array<std::uint16_t, 4>> dieIdOf(const QString& text);

} // namespace simpanel
