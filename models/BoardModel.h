#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>

#include "config/BoardBlock.h"
#include "config/StoredText.h"

// What the board identity editor is opened with: references into the main window's record.
struct BoardInputs {
    const std::uint8_t* identityBlock;
    std::uint8_t* boardBlock;
};

// The window's title line: "Контроллер R-420ZA"; a model code other than 1 and 2 shows R-xxx.
QString boardTitle(std::uint16_t typeWord);
// Only an R-420 has a hardware address that the window shows and edits.
bool hasHardwareAddress(std::uint16_t typeWord);

using AddressGroups = std::array<std::optional<int>, BoardBlock::AddressLength>;
// The value of each group of the address field, split at "-": blanks removed, an empty group 0,
// one digit its value, two digits 16 times the first plus the second. A group that is missing or
// is not one of these has no value; whatever follows the sixth group belongs to no word.
AddressGroups hardwareAddressGroups(const QString& text);
// Whether the address field takes a typed character: turned to upper case, one of 0-9 and A-F.
bool acceptsAddressKey(QChar typed);

// A serial number the field takes: at most its 4 bytes, every character one that Windows-1251
// holds, and no zero byte, which would end the text where the reader stops.
bool acceptsSerial(const QString& serial);
// A description the field takes: the same, with at most 64 bytes, each line break counted as it
// will be stored (as the record had it where the edit left it, as CR LF where it was entered).
bool acceptsDescription(const StoredText& description);

// The texts of the window that "OK" stores.
enum class BoardText { Serial, Description };
// The label of the text's field: "Сер. номер:", "Описание:".
QString boardTextLabel(BoardText text);
// What "OK" says when a text cannot be stored as it stands; nothing is stored then.
QString unstorableTextMessage(BoardText text);

// What "OK" stores.
struct BoardEntries {
    QString serial;
    QDate date;
    StoredText description;
};

// The board identity editor's rules: the host-order copy of the block and the controller's model.
class BoardModel {
public:
    // The host-order copy of the record's block; the block is written only by save().
    void LoadBlock(const BoardInputs& inputs);

    QString title() const;
    bool addressShown() const;
    QString addressText() const;
    // MacChange: each group with a value into its word of the copy, the word's high byte 0.
    void setAddressText(const QString& text);

    QString serialNumber() const;
    // The stored date, or today when the text does not parse.
    QDate date(const QLocale& locale, const QDate& today) const;
    QString description() const;
    StoredText storedDescription() const;

    // OKButtonClick: serial number, date and description into the copy, in that order, then the
    // copy into the record's block. A serial number or description that its field cannot hold
    // as it stands is refused, and nothing is stored: the text is named.
    [[nodiscard]] std::optional<BoardText> save(const BoardEntries& entries,
                                                const QLocale& locale);

    const BoardBlock& copy() const { return copy_; }

private:
    std::uint8_t* block_ = nullptr;
    std::uint16_t typeWord_ = 0;
    BoardBlock copy_;
};
