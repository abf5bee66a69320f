#include <gtest/gtest.h>

#include "models/ReportHistory.h"

namespace {

ReportSample sampleAt(int second, float load = 0)
{
    return {QDateTime(QDate(2024, 5, 1), QTime(0, 0)).addSecs(second), {load, 0, 0, 0}};
}

TEST(ReportHistory, KeepsTheNewestSamplesUpToItsBound)
{
    EXPECT_EQ(ReportHistory::DefaultCapacity, 86400u) << "a day at one report a second";
    ReportHistory history(3);
    for (int second = 0; second < 5; ++second)
        history.add(sampleAt(second, static_cast<float>(second)));
    ASSERT_EQ(history.samples().size(), 3u);
    EXPECT_EQ(history.samples().front().value(PlotQuantity::Load), 2.0f);
    EXPECT_EQ(history.samples().back().value(PlotQuantity::Load), 4.0f);
    EXPECT_EQ(history.firstSerial(), 2u);
    EXPECT_EQ(history.lastSerial(), 4u);
}

TEST(ReportHistory, SampleTakesTheFiguresOfTheWindow)
{
    ReportCounters counters{};
    counters[17] = 32768;   // 50 % load
    counters[15] = 1u << 29; // 25 % of the frames lost
    counters[9] = 1u << 30; // 50 % erroneous
    counters[16] = 0x8000;  // half a second of jitter
    const ReportSample sample = reportSample(counters, QDateTime());
    EXPECT_EQ(sample.value(PlotQuantity::Load), 50.0f);
    EXPECT_EQ(sample.value(PlotQuantity::LostFrames), 25.0f);
    EXPECT_EQ(sample.value(PlotQuantity::ControlErrors), 50.0f);
    EXPECT_EQ(sample.value(PlotQuantity::Jitter), 500.0f);

    // The plot and the CSV take the shares of the rounded counters, as the window shows them.
    counters[15] = 1443709149;
    counters[9] = 1443709149;
    const QDateTime time(QDate(2024, 5, 1), QTime(0, 0), Qt::UTC);
    const QByteArray row = historyCsv({reportSample(counters, time)}).split('\n').at(1);
    EXPECT_EQ(row, "2024-05-01T00:00:00Z,50.00,67.2280,67.2280,500.0000\r");
}

TEST(ReportHistory, CsvHasAHeaderAndOneRowPerReport)
{
    const QDateTime moscow(QDate(2024, 5, 1), QTime(14, 5, 9), Qt::OffsetFromUTC, 3 * 3600);
    const std::deque<ReportSample> samples{
        {moscow, {42.5f, 0.25f, 1.0f, 3.9978027f}},
        {QDateTime(QDate(2024, 5, 1), QTime(11, 5, 10), Qt::UTC), {12345.6f, 0, 100, 0}},
    };
    EXPECT_EQ(historyCsv(samples),
              QByteArray("Время,Загрузка процессора (%),Потерянные кадры (%),"
                         "Ошибочные пакеты канала управления (%),"
                         "Колебание межпакетного интервала (мсек)\r\n"
                         "2024-05-01T14:05:09+03:00,42.50,0.2500,1.0000,3.9978\r\n"
                         "2024-05-01T11:05:10Z,1.235E4,0.0000,100.0000,0.0000\r\n"));
    EXPECT_EQ(historyCsv({}).count("\r\n"), 1);
}

} // namespace
