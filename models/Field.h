#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <QString>
#include <QStringList>

#include "models/NumberRange.h"

// What the rules of a field may depend on besides its own bits: the controller's model and
// edition, and the block's words (host order), for lists that follow another field.
struct FieldContext {
    int model = 0;   // 1: R-410, 2: R-420
    int edition = 0; // 0: ZA, 1: ZB
    std::span<const std::uint16_t> words;
};
FieldContext fieldContextOf(std::uint16_t typeWord, std::span<const std::uint16_t> words = {});

// Where a field lives among its block's 16-bit words.
struct WordBits {
    int word = 0;                 // its first word
    std::uint16_t mask = 0xFFFF;  // the bits it reads
    std::uint16_t owned = 0;      // the bits a new value rewrites (0: the mask): the field's bits
                                  // and any the editor clears with them
};
int bitsOf(const WordBits& place, std::uint16_t word);
std::uint16_t withBits(const WordBits& place, std::uint16_t word, int bits);

// What a field's control shows and edits.
enum class FieldKind {
    Flag,            // a check box: shown 1 ticked, 0 unticked
    Choice,          // one of listed items: shown is the item's index
    Number,          // a number typed in a range
    Level,           // a slider position, written as a text (decibels, a level)
    Octets,          // four words of one octet each, written dotted; the shown value holds the
                     // octets as one 32-bit number, the first octet highest
    Port,            // a high-byte word and a low-byte word
    Text,            // a Windows-1251 text of the board block
    HardwareAddress, // the board's six address bytes
    Date,            // the board's date text
};

// One field of a block, declared once: where it lives, what it is, how its editor names and
// shows it, and how a shown value is stored. A null rule is the plain one: the bits are the
// shown value, and its text is the number.
struct Field {
    const char* key;     // stable, in English: the field's name outside the editors
    const char* control; // the object name of its control
    QString label;       // as its editor shows it
    FieldKind kind;
    WordBits place{};
    int (*shown)(int bits, const FieldContext&) = nullptr;
    int (*stored)(int shown, const FieldContext&) = nullptr;
    NumberRange range{0, 0xFFFF}; // the shown values allowed (Choice: computed from its items)
    int step = 1;
    QStringList (*items)(const FieldContext&) = nullptr;
    QString (*text)(int shown, const FieldContext&) = nullptr;
    QString unit;
    // A label that depends on the controller or on another field, in place of the label.
    QString (*labelOf)(const FieldContext&) = nullptr;
    // What "Сброс" sets: the value, or the rule for a default that depends on the controller.
    int defaultValue = 0;
    int (*defaultOf)(const FieldContext&) = nullptr;
};

// The value a field shows of its block's words, and the words with another value stored. A
// value is stored as given: a model fits it to its range first.
int shownValue(const Field& field, const FieldContext& context);
void storeShown(const Field& field, std::span<std::uint16_t> words, int shown,
                const FieldContext& context);
// What the field's control shows for a value: the item, the flag's state, the number or the
// level's text.
QString shownText(const Field& field, int shown, const FieldContext& context);
// The label as the editor shows it for the context.
QString fieldLabel(const Field& field, const FieldContext& context);
// What "Сброс" sets the field to on the context's controller.
int fieldDefault(const Field& field, const FieldContext& context);
// The items of a Choice; nothing for other kinds.
QStringList fieldItems(const Field& field, const FieldContext& context);
// The values a field takes: a Choice's item indices, a Flag's 0 and 1, else its range.
NumberRange fieldRange(const Field& field, const FieldContext& context);

// A value as the nearest one the field takes within range: an Octets value octet by octet, each
// to its limit; any other value to range.
int fittedValue(const Field& field, int shown, NumberRange range);

// A level's slider has its highest value at the top, position range.minimum.
int levelPosition(const Field& level, int value);
int levelAt(const Field& level, int position);

// How a flag's state reads as text.
QString flagText(bool on);

// Common conversions for the tables: a flag stored as its bit cleared.
int invertedBit(int bits, const FieldContext&);

// The octets of an address field's value, first octet first, and back.
using Octets = std::array<int, 4>;
Octets octetsOf(int address);
int addressOf(const Octets& octets);
// The address as its dotted text: "192.168.1.10".
QString dottedText(int address);
// The limit of each octet of an Octets field: its range is that of the first octet, the others
// go to 255.
Octets octetLimits(const Field& address);

// The position of a field in its block's table.
std::size_t fieldIndex(std::span<const Field> fields, const Field& field);
