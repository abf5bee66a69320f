#include <algorithm>
#include <vector>

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include "config/BoardBlock.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const QLocale Russian(QLocale::Russian, QLocale::Russia);
const QLocale UsEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale Bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
const QLocale Hungarian(QLocale::Hungarian, QLocale::Hungary);

// A board block whose every byte differs, so any stray write shows.
BoardBlock patterned()
{
    std::array<std::uint8_t, BoardBlock::Size> record{};
    for (int i = 0; i < BoardBlock::Size; ++i)
        record[i] = static_cast<std::uint8_t>(0x80 + i);
    return BoardBlock::fromRecord(record.data());
}

Bytes fieldBytes(const BoardBlock& block, BoardBlock::TextField field)
{
    return Bytes(block.bytes().begin() + field.offset,
                 block.bytes().begin() + field.offset + field.size);
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

} // namespace

TEST(BoardBlock, HostOrderCopySwapsEveryWordAndGoesBackUnchanged)
{
    std::array<std::uint8_t, BoardBlock::Size> record{};
    for (int i = 0; i < BoardBlock::Size; ++i)
        record[i] = static_cast<std::uint8_t>(i);
    const BoardBlock block = BoardBlock::fromRecord(record.data());
    EXPECT_EQ(block.bytes()[0], 1);
    EXPECT_EQ(block.bytes()[1], 0);
    EXPECT_EQ(block.bytes()[89], 88);

    std::array<std::uint8_t, BoardBlock::Size + 2> back{};
    back.fill(0xEE);
    block.toRecord(back.data());
    EXPECT_TRUE(std::equal(record.begin(), record.end(), back.begin()));
    EXPECT_EQ(back[90], 0xEE) << "nothing written after the block";
}

TEST(BoardBlock, HardwareAddressIsTheLowByteOfWordsZeroToFive)
{
    // In the record each word is most significant byte first: 0x120A is stored 12 0A.
    std::array<std::uint8_t, BoardBlock::Size> record{0x12, 0x0A, 0x00, 0x1B, 0xFF, 0x2C,
                                                     0x00, 0x3D, 0x00, 0x4E, 0x00, 0x5F};
    BoardBlock block = BoardBlock::fromRecord(record.data());
    EXPECT_EQ(block.hardwareAddress(), (BoardBlock::Address{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));

    block.setAddressByte(0, 0x1A5);
    block.setAddressByte(6, 0x77);  // outside words 0-5: ignored
    block.setAddressByte(-1, 0x77);
    block.toRecord(record.data());
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 14),
              (Bytes{0x00, 0xA5, 0x00, 0x1B, 0xFF, 0x2C, 0x00, 0x3D, 0x00, 0x4E, 0x00, 0x5F,
                     0x00, 0x00}));
}

TEST(BoardBlock, HardwareAddressTextIsSixUpperCasePairsInWordOrder)
{
    // The high byte of a word is no part of the address.
    std::array<std::uint8_t, BoardBlock::Size> record{0x00, 0x00, 0xFF, 0x1A, 0x00, 0x2B,
                                                     0x01, 0x3C, 0x00, 0x4D, 0x00, 0x5E};
    EXPECT_EQ(hardwareAddressText(BoardBlock::fromRecord(record.data()).hardwareAddress()),
              "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(hardwareAddressText({0x05, 0xFF, 0xab, 0x10, 0x0, 0xC}), "05-FF-AB-10-00-0C");
}

TEST(BoardBlock, TextsEndAtTheirZeroByteOrTheFieldsEnd)
{
    BoardBlock block = patterned();
    block.setText(BoardBlock::Serial, "1234");
    EXPECT_EQ(block.text(BoardBlock::Serial), "1234") << "a full field has no zero byte";
    EXPECT_EQ(fieldBytes(block, BoardBlock::Serial), (Bytes{'1', '2', '3', '4'}));

    const std::uint8_t fourth = block.bytes()[15];
    block.setText(BoardBlock::Serial, "12");
    EXPECT_EQ(fieldBytes(block, BoardBlock::Serial), (Bytes{'1', '2', 0, fourth}))
        << "the byte after the zero byte keeps its value";
    EXPECT_EQ(block.text(BoardBlock::Serial), "12");

    const std::uint8_t dateFirst = block.bytes()[16];
    block.setText(BoardBlock::Serial, "123456");
    EXPECT_EQ(block.text(BoardBlock::Serial), "1234") << "cut at the field's size";
    EXPECT_EQ(block.bytes()[16], dateFirst) << "the next field is untouched";

    block.setText(BoardBlock::Date, "");
    EXPECT_EQ(block.text(BoardBlock::Date), "");
    EXPECT_EQ(block.bytes()[16], 0);
}

TEST(BoardBlock, DescriptionOfSixtyFourCharactersFillsItsFieldWithoutZeroByte)
{
    BoardBlock block = patterned();
    const QString description(64, QChar(u'Ж'));
    ASSERT_TRUE(block.setDescription(description));
    EXPECT_EQ(fieldBytes(block, BoardBlock::Description), Bytes(64, 0xC6));
    EXPECT_EQ(block.description(), description);
}

TEST(BoardBlock, LineBreaksAreStoredAsCarriageReturnAndLineFeed)
{
    BoardBlock block = patterned();
    EXPECT_TRUE(block.setDescription(QStringLiteral("Пульт\nстенд 2")));
    EXPECT_EQ(block.text(BoardBlock::Description),
              bytesOf({0xCF, 0xF3, 0xEB, 0xFC, 0xF2, '\r', '\n', 0xF1, 0xF2, 0xE5, 0xED, 0xE4,
                       ' ', '2'}));
    EXPECT_EQ(block.description(), QStringLiteral("Пульт\nстенд 2"));
    EXPECT_TRUE(block.setDescription(QStringLiteral("a\r\nb")));
    EXPECT_EQ(block.text(BoardBlock::Description), "a\r\nb") << "no doubled carriage return";
}

TEST(BoardBlock, DescriptionReadAndStoredAgainKeepsItsBytesFromTheSecondTimeOn)
{
    struct Case {
        const char* what;
        QByteArray stored;
        QByteArray once; // the field after the text read from it was stored
    };
    const Case cases[] = {
        {"line breaks", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"carriage return before a line break", "ab\r\r\ncd", "ab\r\n\r\ncd"},
        {"lone carriage returns", "\r\ra\rb", "\r\n\r\na\r\nb"},
        {"lone line feed", "a\nb", "a\r\nb"},
        {"cut at the field's end", QByteArray(60, '\r') + "\r\nab",
         QByteArray("\r\n").repeated(32)},
    };
    for (const Case& c : cases) {
        BoardBlock block = patterned();
        block.setText(BoardBlock::Description, c.stored);
        ASSERT_TRUE(block.setDescription(block.description()));
        EXPECT_EQ(block.text(BoardBlock::Description), c.once) << c.what;
        ASSERT_TRUE(block.setDescription(block.description()));
        EXPECT_EQ(block.text(BoardBlock::Description), c.once) << c.what << ", twice";
    }
}

TEST(BoardText, Windows1251BothWays)
{
    EXPECT_EQ(encodeBoardText(QStringLiteral("Сер№1")), bytesOf({0xD1, 0xE5, 0xF0, 0xB9, '1'}));
    EXPECT_EQ(decodeBoardText(bytesOf({0xC0, 0xC1, 0xE0, 0xFF, 0xA8})), QStringLiteral("АБаяЁ"));

    EXPECT_TRUE(isBoardText(QStringLiteral("Щит №7, €")));
    EXPECT_FALSE(isBoardText(QStringLiteral("Größe")));
    EXPECT_FALSE(isBoardText(QStringLiteral("中")));
    EXPECT_TRUE(isBoardText(QString()));
    EXPECT_EQ(encodeBoardText(QStringLiteral("Größe")), std::nullopt)
        << "the encoder's substitute bytes are never handed on";
}

TEST(BoardBlock, TextsWithoutAWindows1251ByteAreRefusedAndTheFieldKept)
{
    BoardBlock block = patterned();
    const Bytes serial = fieldBytes(block, BoardBlock::Serial);
    const Bytes description = fieldBytes(block, BoardBlock::Description);
    EXPECT_FALSE(block.setSerialNumber(QStringLiteral("1ß")));
    EXPECT_FALSE(block.setDescription(QStringLiteral("Щит\n中")));
    EXPECT_EQ(fieldBytes(block, BoardBlock::Serial), serial);
    EXPECT_EQ(fieldBytes(block, BoardBlock::Description), description);
    EXPECT_TRUE(block.setSerialNumber(QStringLiteral("№1")));
    EXPECT_EQ(block.text(BoardBlock::Serial), bytesOf({0xB9, '1'}));
}

TEST(BoardDate, ParsesTheShortFormatAndTheFixedForm)
{
    struct Case {
        QByteArray text;
        QLocale locale;
        std::optional<QDate> date;
    };
    const QDate day(2026, 12, 10);
    const std::vector<Case> cases{
        {"10.12.2026", Russian, day},
        {"12/10/26", UsEnglish, day},  // a two-digit year is read in this century
        {"10.12.2026", UsEnglish, day}, // the fixed form parses under every locale
        {"31.02.2026", Russian, std::nullopt},
        {QByteArray(10, '\0'), Russian, std::nullopt},
        {"", UsEnglish, std::nullopt},
        {"garbage!!!", Russian, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boardDate(c.text, c.locale), c.date)
            << c.text.toStdString() << " in " << c.locale.name().toStdString();
}

TEST(BoardDate, WrittenInTheShortFormatOrTheFixedFormWhereItWouldNotFit)
{
    const QDate day(2026, 12, 10);
    EXPECT_EQ(boardDateText(day, Russian), "10.12.2026");
    EXPECT_EQ(boardDateText(day, UsEnglish), "12/10/26");
    EXPECT_EQ(boardDateText(day, Bulgarian), "10.12.2026") << "\"10.12.26 г.\" takes 11 bytes";
    EXPECT_EQ(boardDateText(day, Hungarian), "10.12.2026");
    for (const QLocale& locale : {Russian, UsEnglish, Bulgarian, Hungarian})
        EXPECT_EQ(boardDate(boardDateText(day, locale), locale), day)
            << "written under " << locale.name().toStdString() << " parses again";
}

TEST(BoardDate, TwoDigitYearOutsideThisCenturyIsWrittenInTheFixedForm)
{
    // "5/1/99" would read back as 2099.
    for (const QDate& day : {QDate(1999, 5, 1), QDate(2100, 1, 2)}) {
        const QByteArray text = boardDateText(day, UsEnglish);
        EXPECT_EQ(text, day.toString("dd.MM.yyyy").toLatin1());
        EXPECT_EQ(boardDate(text, UsEnglish), day);
    }
    EXPECT_EQ(boardDateText(QDate(2099, 12, 31), UsEnglish), "12/31/99");
    EXPECT_EQ(boardDateText(QDate(1999, 5, 1), Russian), "01.05.1999");
}
