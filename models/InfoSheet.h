#pragma once

#include <cstdint>
#include <vector>

#include <QString>

// What the information window shows of a record, without the window.

// What the main window hands the information window: references into its record, the CRC word it
// has just stamped and the size of the record.
struct InfoInputs {
    const std::uint8_t* board;    // BoardBlock, words most significant byte first
    const std::uint8_t* identity; // IdentityBlock, words least significant byte first
    std::uint16_t crc;
    int size;
};

// One value field with its label, in the window's order.
struct InfoField {
    const char* name;
    const char* key; // in English, for the command line's JSON
    QString label;
};
const std::vector<InfoField>& infoFields();
// The label of the field with this name: "Die ID:" for "sDie".
QString infoLabel(const char* name);

struct InfoRow {
    const InfoField* field;
    QString value;
    bool shown; // the hardware address only for the R-420
};

struct InfoSheet {
    QString title;
    std::vector<InfoRow> rows; // one per field of infoFields()
    QString description;
};

InfoSheet infoSheet(const InfoInputs& inputs);
