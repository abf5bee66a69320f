#include "models/InfoSheet.h"

#include <string_view>

#include "config/BoardBlock.h"
#include "models/IdentityTexts.h"
#include "models/InfoTexts.h"

const std::vector<InfoField>& infoFields()
{
    static const std::vector<InfoField> fields{
        {"sModel", "model", QStringLiteral("Модель:")},
        {"sBoard", "boardVersion", QStringLiteral("Версия ПП:")},
        {"sSoft", "softwareVersion", QStringLiteral("Версия ПО:")},
        {"sSerial", "serial", QStringLiteral("Сер. номер:")},
        {"sData", "date", QStringLiteral("Дата:")},
        {"sChip", "chipId", QStringLiteral("Chip ID:")},
        {"sDie", "dieId", QStringLiteral("Die ID:")},
        {"sMac", "mac", QStringLiteral("MAC:")},
        {"sSize", "size", QStringLiteral("Size:")},
        {"sCrc", "crc", QStringLiteral("Crc:")},
    };
    return fields;
}

QString infoLabel(const char* name)
{
    for (const InfoField& field : infoFields())
        if (std::string_view(field.name) == name)
            return field.label;
    return {};
}

InfoSheet infoSheet(const InfoInputs& inputs)
{
    const IdentityWords identity = identityWords(inputs.identity);
    const std::uint16_t typeWord = identity[0];
    const BoardBlock board = BoardBlock::fromRecord(inputs.board);
    const bool withAddress = showsHardwareAddress(typeWord);
    const std::vector<QString> values{
        controllerText(typeWord),
        boardVersionText(typeWord),
        firmwareVersionText(typeWord),
        board.serialNumber(),
        decodeBoardText(board.text(BoardBlock::Date)),
        chipIdText(identity),
        dieIdText(identity),
        withAddress ? hardwareAddressText(board.hardwareAddress()) : QString(),
        recordSizeText(inputs.size),
        crcText(inputs.crc),
    };
    InfoSheet sheet{controllerTitle(typeWord), {}, board.description()};
    const std::vector<InfoField>& fields = infoFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool shown = fields[i].name != std::string_view("sMac") || withAddress;
        sheet.rows.push_back({&fields[i], values[i], shown});
    }
    return sheet;
}
