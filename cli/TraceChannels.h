#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// The trace channels by name, as the trace window's check boxes: bus-rx "Bus+ (RxD)" bit 0,
// bus-tx bit 1, link-rx "Link (RxD)" bit 2, link-tx bit 3. A comma-separated list gives the
// mask; nothing when a name is unknown or the list names none.
std::optional<std::uint16_t> traceMask(const QString& channels);
