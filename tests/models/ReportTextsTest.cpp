#include <gtest/gtest.h>

#include "models/ReportTexts.h"

namespace {

const QLocale Us(QLocale::English, QLocale::UnitedStates);
const QLocale Russian(QLocale::Russian, QLocale::Russia);
const QString Nbsp = QStringLiteral("\u00A0");

ReportCounters withCounter(int index, std::uint32_t value)
{
    ReportCounters counters{};
    counters[index] = value;
    return counters;
}

const ReportField& field(const char* name)
{
    for (const ReportField& f : reportFields())
        if (QString::fromLatin1(f.name) == QString::fromLatin1(name))
            return f;
    throw std::invalid_argument(name);
}

QString shown(const char* name, const ReportCounters& counters, int model, const QLocale& locale)
{
    return fieldText(field(name), counters, model, locale);
}

TEST(ReportTexts, CountersArriveMostSignificantByteFirst)
{
    std::array<std::uint8_t, 76> record{};
    record[0] = 0x00;
    record[1] = 0x00;
    record[2] = 0x01;
    record[3] = 0x2C;
    record[72] = 0x12;
    record[73] = 0x34;
    record[74] = 0x56;
    record[75] = 0x78;
    const ReportCounters counters = reportCounters(record.data());
    EXPECT_EQ(counters[0], 300u);
    EXPECT_EQ(counters[18], 0x12345678u);
    EXPECT_EQ(shown("sTime", counters, ModelR420, Us), "300");
}

// The figures the window shows, in both locales; counters of the table below.
struct Shown {
    const char* field;
    int counter;
    std::uint32_t value;
    int model;
    const char* us;
    QString russian;
};

TEST(ReportTexts, EveryFormatOfThePagesInBothLocales)
{
    const Shown cases[]{
        {"sLoad", 17, 32768, ModelR420, "50.00", "50,00"},
        {"sRxdErrFract", 9, 1u << 30, ModelR420, "50.0000 %", "50,0000 %"},
        {"sRxvLostFract", 15, 1u << 31, ModelR420, "100.0000 %", "100,0000 %"},
        // Above 2^24 the share is taken of the counter rounded to a float, like every counter.
        {"sRxdErrFract", 9, 1443709149, ModelR420, "67.2280 %", "67,2280 %"},
        {"sRxvLostFract", 15, 1443709149, ModelR420, "67.2280 %", "67,2280 %"},
        {"sDelay", 2, 0x18000, ModelR420, "1.5000 сек", "1,5000 сек"},
        {"sDelay", 2, 0x18000, ModelR410, "98,304 Гц", "98" + Nbsp + "304 Гц"},
        {"sDelay", 2, 0x18000, 3, "98,304 Гц", "98" + Nbsp + "304 Гц"},
        {"sTxd", 3, 16777217, ModelR420, "16,777,216", "16" + Nbsp + "777" + Nbsp + "216"},
        {"sRxvLost", 14, 999, ModelR420, "999", "999"},
        {"sNetErr", 1, 1000, ModelR420, "1,000", "1" + Nbsp + "000"},
        {"sRxvBytes", 13, 0xFFFFFFFF, ModelR420, "4,294,967,296",
         "4" + Nbsp + "294" + Nbsp + "967" + Nbsp + "296"},
        {"sTime", 0, 0xFFFFFFFF, ModelR420, "-1", "-1"},
        {"sTime", 0, 1234567, ModelR420, "1234567", "1234567"},
        // 16.16 seconds in milliseconds: 0x10000 is a whole second.
        {"sJitter", 16, 0x10000, ModelR420, "1000.0000 мсек", "1000,0000 мсек"},
        {"sJitter", 16, 262, ModelR420, "3.9978 мсек", "3,9978 мсек"},
        // The product by 1000 keeps its low 32 bits: 4294968000 wraps to 704.
        {"sJitter", 16, 4294968, ModelR420, "0.0107 мсек", "0,0107 мсек"},
        // The product by 100 wraps as well: 4294967300 becomes 4.
        {"sLoad", 17, 42949673, ModelR420, "0.00", "0,00"},
        // 10000 % has five digits before the separator, more than the format's four.
        {"sLoad", 17, 6553600, ModelR420, "1E4", "1E4"},
        {"sLoad", 17, 8090534, ModelR420, "1.235E4", "1,235E4"},
        {"sJBufLoad", 18, 4200, ModelR420, "42.00 мсек", "42,00 мсек"},
        {"sJBufLoad", 18, 123456, ModelR420, "1234.60 мсек", "1234,60 мсек"},
    };
    for (const Shown& c : cases) {
        const ReportCounters counters = withCounter(c.counter, c.value);
        EXPECT_EQ(shown(c.field, counters, c.model, Us), QString::fromUtf8(c.us))
            << c.field << " " << c.value;
        EXPECT_EQ(shown(c.field, counters, c.model, Russian), c.russian)
            << c.field << " " << c.value;
    }
}

TEST(ReportTexts, SumsAddTheRoundedCounters)
{
    ReportCounters counters{};
    counters[3] = 16777217; // rounds down to 16777216
    counters[10] = 16777217;
    counters[6] = 16777216;
    counters[12] = 1;       // 16777217 is no float: the sum rounds to 16777216
    counters[8] = 3;
    counters[14] = 4;
    counters[4] = 0xFFFFFFFF;
    counters[11] = 0xFFFFFFFF;
    EXPECT_EQ(shown("sTx", counters, ModelR420, Us), "33,554,432");
    EXPECT_EQ(shown("sRx", counters, ModelR420, Us), "16,777,216");
    EXPECT_EQ(shown("sRxErr", counters, ModelR420, Us), "7");
    EXPECT_EQ(shown("sTxBytes", counters, ModelR420, Us), "8,589,934,592");
    EXPECT_EQ(shown("sRxBytes", counters, ModelR420, Us), "0");
}

TEST(ReportTexts, FieldsOfThePagesAndTheirCounters)
{
    QStringList names;
    for (const ReportField& f : reportFields())
        names << QString::fromLatin1(f.name);
    EXPECT_EQ(names, (QStringList{"sTime", "sTx", "sTxBytes", "sNetErr", "sRx", "sRxBytes",
                                  "sRxErr", "sDelay", "sLoad", "sTxd", "sTxdBytes", "sTxdErr",
                                  "sRxd", "sRxdBytes", "sRxdErr", "sRxdErrFract", "sTxv",
                                  "sTxvBytes", "sRxv", "sRxvBytes", "sRxvLost", "sJitter",
                                  "sJBufLoad", "sRxvLostFract"}));
    // Each counting field shows its own counter: a counter of 7 everywhere else 0.
    const std::pair<const char*, int> counts[]{
        {"sNetErr", 1}, {"sTxd", 3}, {"sTxdBytes", 4}, {"sTxdErr", 5}, {"sRxd", 6},
        {"sRxdBytes", 7}, {"sRxdErr", 8}, {"sTxv", 10}, {"sTxvBytes", 11}, {"sRxv", 12},
        {"sRxvBytes", 13}, {"sRxvLost", 14},
    };
    for (const auto& [name, counter] : counts)
        for (int other = 0; other < ReportCounterCount; ++other)
            EXPECT_EQ(shown(name, withCounter(other, 7), ModelR420, Us), other == counter ? "7" : "0")
                << name << " with counter " << other;
    const std::tuple<const char*, int, int> sums[]{
        {"sTx", 3, 10}, {"sTxBytes", 4, 11}, {"sRx", 6, 12}, {"sRxBytes", 7, 13}, {"sRxErr", 8, 14},
    };
    for (const auto& [name, first, second] : sums) {
        ReportCounters counters{};
        counters[first] = 2;
        counters[second] = 5;
        EXPECT_EQ(shown(name, counters, ModelR420, Us), "7") << name;
    }
}

TEST(ReportTexts, FixedFormatRoundsToItsSignificantDigits)
{
    const std::tuple<double, int, int, const char*> cases[]{
        {0.0, 4, 2, "0.00"},
        {123.456, 4, 2, "123.50"},   // four significant digits, then two decimals
        {123.456, 8, 4, "123.4560"},
        {0.125, 4, 2, "0.13"},       // an exact half rounds away from zero
        {9.995, 4, 2, "9.99"},       // 9.995 is a little below itself as a double
        {9999.996, 4, 2, "1E4"},     // rounding carries into a fifth digit
        {99.996, 4, 2, "100.00"},
        {0.00004, 6, 4, "0.0000"},
        {0.00005, 6, 4, "0.0001"},
        {-1.5, 4, 2, "-1.50"},
        {-0.001, 4, 2, "0.00"},
        {123456789.0, 8, 4, "1.2345679E8"},
    };
    for (const auto& [value, precision, digits, text] : cases)
        EXPECT_EQ(fixedText(value, precision, digits, Us), text) << value;
}

TEST(ReportTexts, GroupedIntegersInThousands)
{
    const std::pair<double, const char*> cases[]{
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {999999.5, "1,000,000"}, {8589934590.0, "8,589,934,590"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(groupedInteger(value, Us), text) << value;
    EXPECT_EQ(groupedInteger(1234567, Russian), "1" + Nbsp + "234" + Nbsp + "567");
    EXPECT_EQ(groupedInteger(1234567, QLocale(QLocale::German, QLocale::Germany)), "1.234.567");
}

TEST(ReportTexts, PeriodRules)
{
    const std::tuple<const char*, int, const char*> cases[]{
        {"995", 999, "999"}, {"991", 999, "999"}, {"990", 990, "990"}, {"1", 1, "1"},
        {"0", 1, "1"}, {"-5", 1, "1"}, {"", 1, "1"}, {"x", 1, "1"}, {"60", 60, "60"},
        {"007", 7, "007"},
    };
    for (const auto& [entered, seconds, text] : cases) {
        const ReportPeriod period = reportPeriod(QString::fromLatin1(entered));
        EXPECT_EQ(period.seconds, seconds) << entered;
        EXPECT_EQ(period.text, text) << entered;
    }
}

TEST(ReportTexts, LabelsThatNameThePeriodAndTheModel)
{
    EXPECT_EQ(errorShareLabel("60"), "Количество ошибочных пакетов за 60 сек:");
    EXPECT_EQ(lostShareLabel("1"), "Количество потерянных кадров за 1 сек:");
    EXPECT_EQ(delayLabel(ModelR410), "Частота синхронизации:");
    EXPECT_EQ(delayLabel(ModelR420), QString::fromUtf8("C") + QStringLiteral("реднее время задержки:"))
        << "a Latin C";
    EXPECT_EQ(delayLabel(0), delayLabel(ModelR420));
}

} // namespace
