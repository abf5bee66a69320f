#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "config/ConfigRecord.h"
#include "models/BoardModel.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A record whose board block has a different byte everywhere, so any stray write shows, and the
// given date text in the host-order copy (record bytes swapped in pairs).
ConfigRecord patternedRecord(std::uint16_t typeWord, const QByteArray& date)
{
    ConfigRecord record;
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i)
        record.bytes[i] = static_cast<std::uint8_t>(0x80 + i);
    record.setTypeWord(typeWord);
    BoardBlock block = BoardBlock::fromRecord(record.data(Blocks::Board));
    block.setText(BoardBlock::Date, date);
    block.toRecord(record.data(Blocks::Board));
    return record;
}

BoardInputs inputsOf(ConfigRecord& record)
{
    return {record.data(Blocks::Identity), record.data(Blocks::Board)};
}

BoardBlock boardOf(const ConfigRecord& record)
{
    return BoardBlock::fromRecord(record.data(Blocks::Board));
}

} // namespace

TEST(BoardTexts, TitleNamesModelAndEdition)
{
    EXPECT_EQ(boardTitle(0x1000), QStringLiteral("Контроллер R-410ZA"));
    EXPECT_EQ(boardTitle(0x2661), QStringLiteral("Контроллер R-420ZB"));
    EXPECT_EQ(boardTitle(0x3000), QStringLiteral("Контроллер R-xxxZA"));
    EXPECT_EQ(boardTitle(0x0001), QStringLiteral("Контроллер R-xxxZB"));
    EXPECT_TRUE(hasHardwareAddress(0x2FFF));
    for (const std::uint16_t typeWord : {0x1000, 0x0000, 0x3000, 0xF001})
        EXPECT_FALSE(hasHardwareAddress(typeWord)) << typeWord;
}

TEST(BoardTexts, AddressIsSixUpperCaseGroups)
{
    EXPECT_EQ(hardwareAddressText({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF}),
              QStringLiteral("00-1A-2B-3C-4D-FF"));
}

TEST(BoardTexts, AddressGroupsParseAsTheFieldShowsThem)
{
    struct Case {
        const char* text;
        AddressGroups groups;
    };
    const std::vector<Case> cases{
        {"0A-1B-2C-3D-4E-5F", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}},
        {"A -1B-2C-3D-4E-5F", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}},
        {" A-  -F -  -ff-00", {0x0A, 0x00, 0x0F, 0x00, 0xFF, 0x00}},
        {"A-1B-2C-3D-4E-5F", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}}, // blanks already left out
        {"0A-1B", {0x0A, 0x1B, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
        {"0A-1B-2C-3D-4E-5F-77-88", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}},
        {"G1-123-+1--1-1 2-5F", {std::nullopt, std::nullopt, std::nullopt, 0x00, 0x01, 0x12}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hardwareAddressGroups(QString::fromLatin1(c.text)), c.groups) << c.text;
}

TEST(BoardTexts, AddressFieldTakesHexadecimalDigitsOnly)
{
    for (const QChar key : {u'0', u'9', u'A', u'F', u'a', u'f'})
        EXPECT_TRUE(acceptsAddressKey(key)) << int(key.unicode());
    for (const QChar key : {u'g', u'G', u'-', u' ', u'+', u'x', u'Ф', u'٣'})
        EXPECT_FALSE(acceptsAddressKey(key)) << int(key.unicode());
}

TEST(BoardTexts, TextsTakeOnlyWhatTheirFieldsCanHold)
{
    EXPECT_TRUE(acceptsSerial(QStringLiteral("№12Ж")));
    EXPECT_TRUE(acceptsSerial(QString()));
    EXPECT_FALSE(acceptsSerial(QStringLiteral("12345")));
    EXPECT_FALSE(acceptsSerial(QStringLiteral("1ß")));
    EXPECT_FALSE(acceptsSerial(QStringLiteral("1") + QChar(u'\0')));

    const auto acceptsEntered = [](const QString& text) {
        return acceptsDescription(StoredText::entered(text));
    };
    const QString full(64, QChar(u'Ж'));
    EXPECT_TRUE(acceptsEntered(full));
    EXPECT_FALSE(acceptsEntered(full + u'Ж'));
    const QString withBreak = QString(61, u'ж') + u'\n' + u'ж';
    EXPECT_TRUE(acceptsEntered(withBreak)) << "63 characters, 64 bytes";
    EXPECT_FALSE(acceptsEntered(withBreak + u'\n')) << "66 bytes";
    EXPECT_FALSE(acceptsEntered(QStringLiteral("Größe")));
    EXPECT_FALSE(acceptsEntered(QStringLiteral("中")));
    EXPECT_FALSE(acceptsEntered(QStringLiteral("a") + QChar(u'\0')));

    // A line break takes the bytes it is stored in: a lone one read from the record takes one.
    for (const char* lone : {"\r", "\n"}) {
        const StoredText stored = StoredText::read(QByteArray(62, 'a') + lone);
        EXPECT_TRUE(acceptsDescription(stored.edited(stored.shown() + u'b'))) << "64 bytes";
        EXPECT_FALSE(acceptsDescription(stored.edited(stored.shown() + QStringLiteral("bc"))));
        EXPECT_FALSE(acceptsDescription(stored.edited(stored.shown() + u'\n')))
            << "an entered line break takes CR LF";
    }
}

TEST(BoardModel, AddressGroupsGoIntoWordsZeroToFiveOnly)
{
    ConfigRecord record = patternedRecord(0x2000, "01.02.2026");
    const Bytes serialBefore(record.data(Blocks::Board) + 12, record.data(Blocks::Board) + 16);
    BoardModel model;
    model.LoadBlock(inputsOf(record));
    EXPECT_TRUE(model.addressShown());
    // Record bytes 110, 111, ... hold 0xEE, 0xEF, ...: each word's low byte is its second byte.
    EXPECT_EQ(model.addressText(), QStringLiteral("EF-F1-F3-F5-F7-F9"));

    model.setAddressText(QStringLiteral("0A-1B-2C-3D-4E-5F-77-88"));
    EXPECT_EQ(model.copy().hardwareAddress(),
              (BoardBlock::Address{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    model.setAddressText(QStringLiteral("A -1"));
    const BoardBlock& copy = model.copy();
    EXPECT_EQ(copy.hardwareAddress(), (BoardBlock::Address{0x0A, 0x01, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(copy.bytes()[1], 0) << "high byte of word 0";

    const LocaleGuard russian(LocaleGuard::russian());
    ASSERT_EQ(model.save({model.serialNumber(), QDate(2026, 2, 1), model.storedDescription()},
                         QLocale()),
              std::nullopt);
    const std::uint8_t* block = record.data(Blocks::Board);
    EXPECT_EQ(Bytes(block, block + 12), (Bytes{0x00, 0x0A, 0x00, 0x01, 0x00, 0x2C, 0x00, 0x3D,
                                               0x00, 0x4E, 0x00, 0x5F}));
    EXPECT_EQ(Bytes(block + 12, block + 16), serialBefore);
}

TEST(BoardModel, DateThatDoesNotParseShowsToday)
{
    const QDate today(2026, 3, 4);
    ConfigRecord blank = ConfigRecord::blank();
    BoardModel model;
    model.LoadBlock(inputsOf(blank));
    EXPECT_FALSE(model.addressShown());
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()})
        EXPECT_EQ(model.date(locale, today), today);

    ConfigRecord dated = patternedRecord(0x1000, "12/10/26");
    model.LoadBlock(inputsOf(dated));
    EXPECT_EQ(model.date(LocaleGuard::usEnglish(), today), QDate(2026, 12, 10));
    EXPECT_EQ(model.date(LocaleGuard::russian(), today), today);
}

TEST(BoardModel, SaveWritesTheEditedTextsAndTheDateAndKeepsTheRest)
{
    ConfigRecord record = patternedRecord(0x1001, "garbage!!!");
    const RecordBytes before = record.bytes;
    BoardModel model;
    model.LoadBlock(inputsOf(record));
    ASSERT_EQ(model.save({QStringLiteral("12"), QDate(2026, 12, 10),
                          model.storedDescription().edited(QStringLiteral("Пульт\n2"))},
                         LocaleGuard::usEnglish()),
              std::nullopt);

    const BoardBlock saved = boardOf(record);
    const BoardBlock old = boardOf(ConfigRecord{before});
    EXPECT_EQ(saved.text(BoardBlock::Serial), "12");
    EXPECT_EQ(saved.bytes()[15], old.bytes()[15]) << "the serial's fourth byte";
    EXPECT_EQ(saved.text(BoardBlock::Date), "12/10/26");
    EXPECT_EQ(saved.bytes()[25], old.bytes()[25]) << "after the date's zero byte";
    EXPECT_EQ(saved.description(), QStringLiteral("Пульт\n2"));
    EXPECT_EQ(saved.text(BoardBlock::Description).size(), 8) << "the line break as CR LF";
    EXPECT_EQ(saved.hardwareAddress(), old.hardwareAddress());
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i < Blocks::Board.offset || i >= Blocks::Board.end()) {
            EXPECT_EQ(record.bytes[i], before[i]) << i;
        }
    }
}

TEST(BoardModel, UneditedTextsKeepTheirBytes)
{
    // Single line feeds would come back as CR LF, the last byte falling off the field.
    ConfigRecord record = patternedRecord(0x2000, "01.02.2026");
    BoardBlock block = boardOf(record);
    block.setText(BoardBlock::Description, QByteArray(63, 'a') + '\n');
    block.toRecord(record.data(Blocks::Board));
    const RecordBytes before = record.bytes;

    BoardModel model;
    model.LoadBlock(inputsOf(record));
    EXPECT_EQ(model.description(), QString(63, u'a') + u'\n');
    ASSERT_EQ(model.save({model.serialNumber(), QDate(2026, 2, 1), model.storedDescription()},
                         LocaleGuard::russian()),
              std::nullopt);
    EXPECT_EQ(record.bytes, before);
}

TEST(BoardModel, OkRefusesATextItsFieldCannotHoldAndStoresNothing)
{
    struct Case {
        const char* what;
        QString serial;
        StoredText description;
        std::optional<BoardText> refused;
    };
    // 62 bytes and a lone carriage return, a character typed after it: 64 bytes.
    const StoredText fits = StoredText::read(QByteArray(62, 'a') + '\r').edited(
        QString(62, u'a') + u'\n' + u'b');
    const Case cases[] = {
        {"both held", QStringLiteral("№1"), fits, std::nullopt},
        {"a serial character without a byte", QStringLiteral("1ß"), fits, BoardText::Serial},
        {"a serial of 5 bytes", QStringLiteral("12345"), fits, BoardText::Serial},
        {"a zero in the serial", QStringLiteral("1") + QChar(u'\0'), fits, BoardText::Serial},
        {"a description character without a byte", QStringLiteral("1"),
         StoredText::entered(QStringLiteral("Щит 中")), BoardText::Description},
        {"a description of 65 bytes", QStringLiteral("1"),
         StoredText::entered(QString(63, u'a') + u'\n'), BoardText::Description},
        {"both refused", QStringLiteral("1ß"), StoredText::entered(QStringLiteral("中")),
         BoardText::Serial},
    };
    for (const Case& c : cases) {
        ConfigRecord record = patternedRecord(0x2000, "01.02.2026");
        const RecordBytes before = record.bytes;
        BoardModel model;
        model.LoadBlock(inputsOf(record));
        EXPECT_EQ(model.save({c.serial, QDate(2026, 3, 4), c.description}, LocaleGuard::russian()),
                  c.refused)
            << c.what;
        if (c.refused) {
            EXPECT_EQ(record.bytes, before) << c.what << ": nothing is stored";
        } else {
            EXPECT_EQ(boardOf(record).text(BoardBlock::Description), QByteArray(62, 'a') + "\rb")
                << c.what << ": the lone carriage return kept as one byte";
        }
    }
}

TEST(BoardTexts, TheRefusalOfATextNamesItsField)
{
    EXPECT_EQ(boardTextLabel(BoardText::Serial), QStringLiteral("Сер. номер:"));
    EXPECT_EQ(boardTextLabel(BoardText::Description), QStringLiteral("Описание:"));
    EXPECT_EQ(unstorableTextMessage(BoardText::Serial),
              QStringLiteral("Недопустимый текст в поле \"Сер. номер:\". Допускаются только "
                             "символы кодировки Windows-1251, не более 4 байт."));
    EXPECT_EQ(unstorableTextMessage(BoardText::Description),
              QStringLiteral("Недопустимый текст в поле \"Описание:\". Допускаются только "
                             "символы кодировки Windows-1251, не более 64 байт."));
}
