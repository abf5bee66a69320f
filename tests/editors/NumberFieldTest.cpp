#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ui/NumberField.h"
#include "support/ScriptedDialogs.h"

namespace {

const QString PacketMessage =
    QStringLiteral("Недопустимое значение. Укажите значение в диапазоне 64..512");

// A packet-size field on its own, as an editor page holds it, showing 256.
class NumberFieldTest : public ::testing::Test {
protected:
    NumberFieldTest()
    {
        field->onChanged([this](int value) { accepted.push_back(value); });
        field->showValue(256);
        host.show();
        edit()->setFocus();
    }

    QLineEdit* edit() const { return field->findChild<QLineEdit*>(QStringLiteral("N1")); }
    QToolButton* spinner(const char* name) const
    {
        return field->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    void selectAllAndType(const QString& text)
    {
        edit()->selectAll();
        QTest::keyClicks(edit(), text);
    }

    ScriptedDialogs dialogs;
    QWidget host;
    NumberField* field = new NumberField(
        &host, QStringLiteral("N1"), {64, 512},
        NumberEntry{16, 0, EmptyText::KeepsNumber, BackspaceKey::Discarded}, dialogs);
    std::vector<int> accepted;
};

} // namespace

TEST_F(NumberFieldTest, OnlyDigitsAreTyped)
{
    edit()->setCursorPosition(3);
    QTest::keyClicks(edit(), QStringLiteral("a-+ ,.e"));
    // A Cyrillic letter, typed as a keyboard in the Russian layout sends it.
    QTest::sendKeyEvent(QTest::Click, edit(), Qt::Key(0x042F), QStringLiteral("я"), {});
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(edit()->text(), QStringLiteral("256"));
    EXPECT_TRUE(accepted.empty());

    // Overtyping a selection still works.
    edit()->setSelection(0, 1);
    QTest::keyClicks(edit(), QStringLiteral("4"));
    EXPECT_EQ(edit()->text(), QStringLiteral("456"));
    EXPECT_EQ(accepted, (std::vector<int>{456}));
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(NumberFieldTest, EveryChangeOfTheTextIsCheckedAtOnce)
{
    selectAllAndType(QStringLiteral("1"));
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PacketMessage}));
    EXPECT_EQ(edit()->text(), QStringLiteral("64"));
    EXPECT_EQ(accepted, (std::vector<int>{64}));

    selectAllAndType(QStringLiteral("9999"));
    EXPECT_EQ(edit()->text(), QStringLiteral("512"));
    EXPECT_EQ(field->value(), 512);
    EXPECT_EQ(dialogs.informed.size(), 5u) << "after 1: 9, 649, 5129 and 5129 again";
}

TEST_F(NumberFieldTest, AnEmptiedFieldKeepsItsNumberUntilTheNextOneIsTyped)
{
    edit()->selectAll();
    QTest::keyClick(edit(), Qt::Key_Delete);
    EXPECT_EQ(edit()->text(), QString());
    EXPECT_TRUE(dialogs.informed.empty());
    EXPECT_TRUE(accepted.empty());
    EXPECT_EQ(field->value(), 256);

    QTest::keyClicks(edit(), QStringLiteral("7"));
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PacketMessage}));
    EXPECT_EQ(edit()->text(), QStringLiteral("64"));
}

TEST_F(NumberFieldTest, PastedTextIsTakenOnlyWhenAllDigits)
{
    edit()->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    edit()->paste();
    EXPECT_EQ(edit()->text(), QStringLiteral("256"));
    QApplication::clipboard()->setText(QStringLiteral("100"));
    edit()->paste();
    EXPECT_EQ(edit()->text(), QStringLiteral("100"));
    EXPECT_EQ(accepted, (std::vector<int>{100}));
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(NumberFieldTest, LeadingZerosAreDropped)
{
    edit()->setCursorPosition(0);
    QTest::keyClicks(edit(), QStringLiteral("0"));
    EXPECT_EQ(edit()->text(), QStringLiteral("256"));
    EXPECT_EQ(accepted, (std::vector<int>{256}));
}

TEST_F(NumberFieldTest, SpinnerStepsAndIsCheckedLikeTyping)
{
    QTest::mouseClick(spinner("N1Up"), Qt::LeftButton);
    EXPECT_EQ(edit()->text(), QStringLiteral("272"));
    QTest::keyClick(edit(), Qt::Key_Down);
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(edit()->text(), QStringLiteral("240"));
    EXPECT_EQ(accepted, (std::vector<int>{272, 256, 240}));
    EXPECT_TRUE(dialogs.informed.empty());

    field->showValue(512);
    QTest::mouseClick(spinner("N1Up"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PacketMessage}));
    EXPECT_EQ(edit()->text(), QStringLiteral("512"));
    field->showValue(64);
    QTest::mouseClick(spinner("N1Down"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed.size(), 2u);
    EXPECT_EQ(edit()->text(), QStringLiteral("64"));
}

TEST_F(NumberFieldTest, SpinnerStepsFromTheLastNumberWhenTheTextIsEmpty)
{
    edit()->selectAll();
    QTest::keyClick(edit(), Qt::Key_Delete);
    QTest::mouseClick(spinner("N1Down"), Qt::LeftButton);
    EXPECT_EQ(edit()->text(), QStringLiteral("240"));
}

TEST_F(NumberFieldTest, AHeldSpinnerIsLetGoBeforeTheMessage)
{
    field->showValue(512);
    QTest::mousePress(spinner("N1Up"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PacketMessage}));
    EXPECT_FALSE(spinner("N1Up")->isDown()) << "it would step on behind the message";
    QTest::mouseRelease(spinner("N1Up"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed.size(), 1u);
}

TEST_F(NumberFieldTest, ADisabledFieldTakesNoInput)
{
    field->setEnabled(false);
    EXPECT_FALSE(edit()->isEnabled());
    EXPECT_FALSE(spinner("N1Up")->isEnabled());
    EXPECT_FALSE(spinner("N1Down")->isEnabled());
}

TEST(NumberFieldEntry, AFieldWithoutAStepHasNoSpinnerAndTakesAnEmptiedTextAsZero)
{
    ScriptedDialogs dialogs;
    QWidget host;
    auto* field = new NumberField(&host, QStringLiteral("Port"), {1025, 65535},
                                  NumberEntry{0, 5, EmptyText::Zero}, dialogs);
    std::vector<int> accepted;
    field->onChanged([&accepted](int value) { accepted.push_back(value); });
    field->showValue(30010);
    host.show();
    auto* edit = field->findChild<QLineEdit*>(QStringLiteral("Port"));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(field->findChildren<QToolButton*>().isEmpty());

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Down);
    field->stepBy(1);
    EXPECT_EQ(edit->text(), QStringLiteral("30010"));
    EXPECT_TRUE(accepted.empty());

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(dialogs.informed, std::vector<QString>{QStringLiteral(
                                    "Недопустимое значение. Укажите значение в диапазоне 1025..65535")});
    EXPECT_EQ(edit->text(), QStringLiteral("1025"));
    EXPECT_EQ(accepted, std::vector<int>{1025});

    edit->setCursorPosition(4);
    QTest::keyClicks(edit, QStringLiteral("99"));
    EXPECT_EQ(edit->text(), QStringLiteral("10259")) << "five digits at most";
}
