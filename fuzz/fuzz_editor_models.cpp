// An arbitrary 212-byte record opened by every editor's model and by the information window's
// texts, normalised and saved back: saving what was opened from a saved record changes nothing,
// and each editor writes its own block only.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include <QDate>
#include <QLocale>

#include "config/BoardBlock.h"
#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "models/BoardModel.h"
#include "models/IdentityTexts.h"
#include "models/InfoTexts.h"
#include "support/ModelKinds.h"

namespace {

RecordBytes recordOf(FuzzInput& input)
{
    RecordBytes record{};
    const std::vector<std::uint8_t> given = input.bytes(record.size());
    std::copy(given.begin(), given.end(), record.begin());
    return record;
}

bool onlyBlockDiffers(const RecordBytes& before, const RecordBytes& after, BlockSpan block)
{
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i)
        if ((i < block.offset || i >= block.end()) && before[i] != after[i])
            return false;
    return true;
}

// "Сброс" then "Сохранить": the defaults are values the editor opens as they are.
RecordBytes defaultsSaved(const ModelKind& kind, const RecordBytes& bytes, AccessLevel level)
{
    ConfigRecord record;
    record.bytes = bytes;
    const std::unique_ptr<EditorModel> model = kind.make(record, level);
    model->LoadBlock();
    model->setDefaults();
    model->save();
    return record.bytes;
}

void checkEditors(const RecordBytes& record)
{
    for (const AccessLevel level : {LevelUser, LevelFull}) {
        for (const ModelKind& kind : modelKinds()) {
            const RecordBytes once = openedAndSaved(kind, record, level);
            require(onlyBlockDiffers(record, once, kind.block), "an editor saves its own block only");
            require(openedAndSaved(kind, once, level) == once,
                    "an editor saves a record it saved as it was");
            const RecordBytes defaults = defaultsSaved(kind, record, level);
            require(onlyBlockDiffers(record, defaults, kind.block)
                        && openedAndSaved(kind, defaults, level) == defaults,
                    "an editor's defaults open and save as they are");
        }
    }
}

void checkBoardEditor(const RecordBytes& record)
{
    const QDate today(2026, 12, 10);
    for (const QLocale& locale : {QLocale(QLocale::Russian, QLocale::Russia),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        for (const BoardEntry entry : {BoardEntry::Untouched, BoardEntry::EnteredAsShown}) {
            const std::optional<RecordBytes> once =
                boardOpenedAndSaved(record, entry, locale, today);
            require(once.has_value(), "the board identity editor stores what it opened");
            require(onlyBlockDiffers(record, *once, Blocks::Board),
                    "the board identity editor saves the board block only");
            require(boardOpenedAndSaved(*once, entry, locale, today) == once,
                    "the board identity editor saves a record it saved as it was");
        }
    }
}

// The information window, opened on the record with its CRC just stamped, shows what the board
// identity editor shows of the same record.
void checkInformation(const RecordBytes& bytes)
{
    static const TCrc crc;
    ConfigRecord record;
    record.bytes = bytes;
    stampCrc(crc, record);
    const RecordBytes stamped = record.bytes;
    stampCrc(crc, record);
    require(record.bytes == stamped, "stamping the CRC twice stamps it once");
    require(onlyBlockDiffers(bytes, stamped, {0, 2}), "stamping writes the CRC word only");

    const IdentityWords identity = identityWords(record.data(Blocks::Identity));
    const std::uint16_t typeWord = identity[0];
    const BoardBlock board = BoardBlock::fromRecord(record.data(Blocks::Board));
    BoardModel editor;
    editor.LoadBlock({record.data(Blocks::Identity), record.data(Blocks::Board)});

    require(!controllerTitle(typeWord).isEmpty() && firmwareVersionText(typeWord).size() == 3
                && boardVersionText(typeWord).size() == 3,
            "the title and both versions are shown");
    require(board.serialNumber() == editor.serialNumber()
                && board.description() == editor.description(),
            "both windows show the same serial number and description");
    require(showsHardwareAddress(typeWord) == editor.addressShown()
                && hardwareAddressText(board.hardwareAddress()) == editor.addressText(),
            "both windows agree on the hardware address");
    (void)decodeBoardText(board.text(BoardBlock::Date));
    (void)chipIdText(identity);
    (void)dieIdText(identity);
    require(recordSizeText(CONFIG_RECORD_SIZE) == QStringLiteral("212 bytes"), "the record size");
    const QString crcShown = crcText(record.storedCrc());
    bool readable = false;
    require(crcShown.size() == 6 && crcShown.startsWith(QStringLiteral("0x"))
                && crcShown.mid(2).toUInt(&readable, 16) == record.storedCrc() && readable
                && crcShown.mid(2) == crcShown.mid(2).toUpper(),
            "the CRC shows as 0x and four upper-case digits of the stamped word");
    require(record.bytes == stamped, "the information window changes nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const RecordBytes record = recordOf(input);
    checkEditors(record);
    checkBoardEditor(record);
    checkInformation(record);
    return 0;
}
