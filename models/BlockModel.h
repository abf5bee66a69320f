#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <QtEndian>

#include "models/EditorModel.h"
#include "models/Field.h"

// The part every editor model shares: the pointer to its block inside the main window's record
// and the working copy, the block's 16-bit words in host order (the record keeps each word most
// significant byte first; a codec command word is then the chip's address and data, an amplifier
// word its command byte over a zero byte). The block stays valid while the editor is open,
// because the main window closes its child windows before it replaces or drops the record.
template <std::size_t Size>
class BlockModel : public EditorModel {
public:
    static constexpr int BlockSize = static_cast<int>(Size);
    static constexpr int WordCount = BlockSize / 2;
    using Words = std::array<std::uint16_t, WordCount>;
    using Bytes = std::array<std::uint8_t, Size>;

    BlockModel(std::uint8_t* block, std::uint16_t typeWord)
        : block_(block)
        , typeWord_(typeWord)
    {
    }

    void save() const override { toRecordOrder(block_); }

    // The whole working copy in record byte order.
    int payloadSize() const override { return BlockSize; }
    void writePayload(std::uint8_t* destination) const override { toRecordOrder(destination); }
    void setPending(int) override {}

    const Words& words() const { return words_; }
    // The working copy as the record holds it.
    Bytes workingCopy() const
    {
        Bytes bytes{};
        toRecordOrder(bytes.data());
        return bytes;
    }
    std::uint16_t typeWord() const { return typeWord_; }

    // What a field of the block shows, and a shown value stored as the field stores it.
    int value(const Field& field) const { return shownValue(field, context()); }
    void setValue(const Field& field, int shown) { storeShown(field, words_, shown, context()); }
    FieldContext context() const { return fieldContextOf(typeWord_, words_); }

    FieldContext fieldContext() const override { return context(); }
    int fieldValue(const Field& field) const override { return value(field); }
    // By default a value outside the field's values is taken as the nearer one (an address's
    // octets each as the nearer of its own), and the item changed is the field's word.
    int changeField(const Field& field, int shown) override
    {
        setValue(field, fittedValue(field, shown, fieldLimits(field)));
        return field.place.word;
    }

protected:
    void copyIn()
    {
        for (int index = 0; index < WordCount; ++index)
            words_[static_cast<std::size_t>(index)] = qFromBigEndian<std::uint16_t>(block_ + 2 * index);
    }

    std::uint16_t word(int index) const { return words_.at(static_cast<std::size_t>(index)); }
    void setWord(int index, std::uint16_t value) { words_.at(static_cast<std::size_t>(index)) = value; }
    // One word as the record holds it: a push of a single command sends these two bytes.
    void writeWord(int index, std::uint8_t* destination) const
    {
        qToBigEndian<std::uint16_t>(word(index), destination);
    }

private:
    void toRecordOrder(std::uint8_t* destination) const
    {
        for (int index = 0; index < WordCount; ++index)
            writeWord(index, destination + 2 * index);
    }

    std::uint8_t* block_;
    std::uint16_t typeWord_;
    Words words_{};
};
