#include <climits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "models/NumberRange.h"

TEST(NumberRange, MessageNamesTheRangeInPlainDigitsInEveryLocale)
{
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()}) {
        const LocaleGuard pinned(locale);
        EXPECT_EQ(rangeMessage({64, 512}),
                  QStringLiteral("Недопустимое значение. Укажите значение в диапазоне 64..512"));
        EXPECT_EQ(rangeMessage({500, 30000}),
                  QStringLiteral("Недопустимое значение. Укажите значение в диапазоне 500..30000"));
        EXPECT_EQ(rangeMessage({0, 30000}),
                  QStringLiteral("Недопустимое значение. Укажите значение в диапазоне 0..30000"));
    }
}

TEST(NumberRange, OnlyAllDigitTextsAreNumbers)
{
    struct Case {
        QString text;
        std::optional<int> number;
    };
    const std::vector<Case> cases{
        {QStringLiteral("64"), 64},
        {QStringLiteral("0"), 0},
        {QStringLiteral("007"), 7},
        {QStringLiteral("2147483647"), INT_MAX},
        // Too large for any field: still above every maximum, never wrapped round.
        {QStringLiteral("2147483648"), INT_MAX},
        {QStringLiteral("99999999999999999999"), INT_MAX},
        {QString(), std::nullopt},
        {QStringLiteral("-5"), std::nullopt},
        {QStringLiteral("+5"), std::nullopt},
        {QStringLiteral(" 5"), std::nullopt},
        {QStringLiteral("12a"), std::nullopt},
        {QStringLiteral("1 000"), std::nullopt},
        {QStringLiteral("١٢"), std::nullopt}, // digits of another script
    };
    for (const Case& c : cases)
        EXPECT_EQ(wholeNumberOf(c.text), c.number) << c.text.toStdString();
}

TEST(NumberRange, NumbersOutsideTakeTheNearerBound)
{
    struct Case {
        int value;
        int fitted;
        bool outside;
    };
    const std::vector<Case> cases{
        {63, 64, true}, {64, 64, false}, {100, 100, false}, {512, 512, false},
        {513, 512, true}, {-125, 64, true}, {INT_MAX, 512, true},
    };
    for (const Case& c : cases) {
        const FittedNumber fitted = fitToRange(c.value, {64, 512});
        EXPECT_EQ(fitted.value, c.fitted) << c.value;
        EXPECT_EQ(fitted.outside, c.outside) << c.value;
    }
}
