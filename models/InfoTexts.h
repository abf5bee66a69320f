#pragma once

#include <cstdint>

#include <QString>

// The texts of the controller information window that come from the TypeWord and the CRC word.

// "Локальный контроллер R-420" for edition ZA, "Удаленный контроллер R-420" for ZB.
QString controllerTitle(std::uint16_t typeWord);
// Firmware version from bits 11..10 and 9..8: "1.2".
QString firmwareVersionText(std::uint16_t typeWord);
// Board version from bits 7..6 (a letter) and 5..4: "B.2".
QString boardVersionText(std::uint16_t typeWord);
// Only the R-420 has a hardware address.
bool showsHardwareAddress(std::uint16_t typeWord);
// "212 bytes".
QString recordSizeText(int size);
// "0x" and exactly four upper-case hexadecimal digits: "0x0A3F".
QString crcText(std::uint16_t crc);
