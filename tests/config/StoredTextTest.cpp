#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include "config/StoredText.h"

namespace {

std::string hex(const std::optional<QByteArray>& bytes)
{
    return bytes ? bytes->toHex(' ').toStdString() : std::string("none");
}

} // namespace

TEST(StoredText, EveryByteReadsAsOneCharacterAndGoesBackAsItself)
{
    for (int value = 1; value < 256; ++value) {
        const QByteArray byte(1, static_cast<char>(value));
        const StoredText text = StoredText::read(byte);
        EXPECT_EQ(text.shown().size(), 1) << value;
        EXPECT_EQ(hex(text.bytes()), hex(byte)) << value;
        EXPECT_EQ(hex(text.edited(text.shown() + u'x').bytes()), hex(byte + 'x')) << value;
        EXPECT_EQ(hex(text.edited(u'x' + text.shown()).bytes()), hex('x' + byte)) << value;
    }
}

TEST(StoredText, LineBreaksReadAsOneCharacterInEachStoredForm)
{
    struct Case {
        QByteArray stored;
        QString shown;
    };
    const Case cases[] = {
        {"a\r\nb", "a\nb"},
        {"a\rb", "a\nb"},
        {"a\nb", "a\nb"},
        {"a\r\r\nb", "a\n\nb"},
        {"a\n\rb", "a\n\nb"},
        {"\r\n\r\n", "\n\n"},
        {"\xA0\xB9", QStringLiteral("\u00A0№")},
        {"", ""},
    };
    for (const Case& c : cases) {
        const StoredText text = StoredText::read(c.stored);
        EXPECT_EQ(text.shown(), c.shown) << hex(c.stored);
        EXPECT_EQ(hex(text.bytes()), hex(c.stored)) << "read and stored again unedited";
    }
}

TEST(StoredText, AnEditStoresWhatItTouchedAndKeepsTheRest)
{
    struct Case {
        const char* what;
        QByteArray stored;
        QString edited; // what the field shows after the edit
        std::optional<QByteArray> bytes;
    };
    const Case cases[] = {
        {"typed at the end", "a\rb\nc\r\nd\xA0", QStringLiteral("a\nb\nc\nd\u00A0Ж"),
            QByteArray("a\rb\nc\r\nd\xA0\xC6")},
        {"typed at the start", "a\rb", QStringLiteral("Жa\nb"), QByteArray("\xC6\x61\rb")},
        {"a line break entered", "a\rb", "a\nb\n", QByteArray("a\rb\r\n")},
        {"nothing edited", "a\rb\nc", "a\nb\nc", QByteArray("a\rb\nc")},
        {"a character between two lone breaks deleted", "a\rX\nb", "a\n\nb",
            QByteArray("a\r\r\nb")},
        {"a lone line feed deleted", "a\r\nb\nc", "a\nbc", QByteArray("a\r\nbc")},
        {"a character with no Windows-1251 byte entered", "a\rb", QStringLiteral("a\nßb"),
            std::nullopt},
        {"everything replaced", "a\rb\n", "x\r\ny\rz", QByteArray("x\r\ny\r\nz")},
    };
    for (const Case& c : cases) {
        const StoredText edited = StoredText::read(c.stored).edited(c.edited);
        EXPECT_EQ(hex(edited.bytes()), hex(c.bytes)) << c.what;
        if (c.bytes) {
            EXPECT_EQ(StoredText::read(*c.bytes).shown(), edited.shown())
                << c.what << ": the stored text reads as the field showed it";
        }
    }
}

TEST(StoredText, AnEnteredTextStoresItsLineBreaksAsCarriageReturnAndLineFeed)
{
    const StoredText text = StoredText::entered(QStringLiteral("Щит\r\n1\r2\n"));
    EXPECT_EQ(text.shown(), QStringLiteral("Щит\n1\n2\n"));
    EXPECT_EQ(hex(text.bytes()), hex(QByteArray("\xD9\xE8\xF2\r\n1\r\n2\r\n")));
    EXPECT_EQ(hex(StoredText::entered(QStringLiteral("中")).bytes()), "none")
        << "no substitute byte";
    EXPECT_EQ(hex(StoredText().bytes()), hex(QByteArray()));
}

TEST(StoredText, TheChangeBetweenTwoTextsIsWhatLiesBetweenTheirCommonEnds)
{
    struct Case {
        QString before;
        QString after;
        int position;
        int removed;
        int added;
    };
    const Case cases[] = {
        {"abc", "abXc", 2, 0, 1},
        {"abc", "ac", 1, 1, 0},
        {"aa", "a", 1, 1, 0},
        {"abc", "xyz", 0, 3, 3},
        {"", "ab", 0, 0, 2},
        {"abc", "abc", 3, 0, 0},
    };
    for (const Case& c : cases) {
        const TextChange change = textChange(c.before, c.after);
        EXPECT_EQ(change.position, c.position)
            << c.before.toStdString() << " " << c.after.toStdString();
        EXPECT_EQ(change.removed, c.removed)
            << c.before.toStdString() << " " << c.after.toStdString();
        EXPECT_EQ(change.added, c.added) << c.before.toStdString() << " " << c.after.toStdString();
    }
}
