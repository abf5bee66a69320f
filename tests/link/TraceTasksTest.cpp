#include <cstdio>
#include <functional>

#include <QLocale>
#include <QRegularExpression>

#include "support/SimFixture.h"

#include "link/DeviceTask.h"
#include "link/TimeOfDay.h"
#include "link/TraceRecord.h"
#include "link/TraceTasks.h"

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

namespace {

const QString At = QStringLiteral("14:03:27");

std::string hexOf(const sim::Transfer& transfer)
{
    return hexBytes(transfer.bytes.data(), static_cast<int>(transfer.bytes.size()));
}

TEST(TraceLine, TimeOfDayFollowsTheLocalesLongFormatWithoutTheZone)
{
    const QTime time(14, 3, 27);
    EXPECT_EQ(timeOfDayText(time, QLocale(QLocale::Russian, QLocale::Russia)), "14:03:27");
    const QString us = timeOfDayText(time, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(QRegularExpression("^2:03:27\\sPM$").match(us).hasMatch()) << us.toStdString();
    EXPECT_EQ(timeOfDayText(QTime(9, 5, 0), QLocale(QLocale::Russian, QLocale::Russia)),
              "09:05:00");
}

TEST(TraceLine, TheZoneGoesWithWhatSurroundsIt)
{
    const std::pair<const char*, const char*> formats[]{
        {"HH:mm:ss t", "HH:mm:ss"},
        {"H:mm:ss (t)", "H:mm:ss"},
        {"h:mm:ss AP, t", "h:mm:ss AP"},
        {"APh:mm:ss [t]", "APh:mm:ss"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"H:mm:ss 'ч'. t", "H:mm:ss 'ч'."},
        {"'Klock' H.mm:ss (t)", "'Klock' H.mm:ss"},
        {"HH:mm (tttt) ss", "HH:mm ss"},
        {"HH:mm:ss 'at (t)'", "HH:mm:ss 'at (t)'"},
        {"HH:mm:ss", "HH:mm:ss"},
    };
    for (const auto& [format, expected] : formats)
        EXPECT_EQ(withoutTimeZone(QString::fromUtf8(format)), QString::fromUtf8(expected))
            << format;
}

// Outside quotes, the letters of a time format's fields.
QString fieldLetters(const QString& format)
{
    QString letters;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && c.isLetter())
            letters += c;
    }
    return letters;
}

TEST(TraceLine, EveryLocalesTimeOfDayHasItsFieldsAndNoLeftovers)
{
    const QRegularExpression leftover(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]|^[\\s,]|[\\s,]$"));
    const auto locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 300);
    for (const QLocale& locale : locales) {
        const QString format = timeOfDayFormat(locale);
        const QString letters = fieldLetters(format);
        const std::string name = locale.name().toStdString() + " " + format.toStdString();
        EXPECT_TRUE(letters.contains(u'h') || letters.contains(u'H')) << name;
        EXPECT_TRUE(letters.contains(u'm')) << name;
        EXPECT_TRUE(letters.contains(u's')) << name;
        EXPECT_FALSE(letters.contains(u't')) << name;
        const QString text = timeOfDayText(QTime(14, 3, 27), locale);
        EXPECT_FALSE(leftover.match(text).hasMatch()) << name << ": " << text.toStdString();
    }
}

TEST(TraceLine, ExampleLineKeepsItsTrailingBlank)
{
    const Bytes record{0x00, 0x02, 0x01, 0xA5};
    const auto parsed = parseTraceRecord(record.data(), 4);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(traceLine(At, *parsed), "14:03:27 Link(RxD): 0x01; 0xA5; ");
}

TEST(TraceLine, KindsPrefixesAndTheSkippedBusTransmitByte)
{
    struct Case {
        Bytes record;
        const char* line; // nullptr: the record makes no line
        int dataLength;
    };
    const Case cases[]{
        {{0x00, 0x00, 0x42}, "14:03:27 Bus+(RxD): 0x42; ", 1},
        {{0x00, 0x01, 0x05, 0xAB, 0x0F}, "14:03:27 Bus+(TxD): 0xAB; 0x0F; ", 2},
        {{0x00, 0x01, 0x05}, "14:03:27 Bus+(TxD): ", 0},
        {{0x00, 0x03, 0x00, 0x7F, 0xC0}, "14:03:27 Link(TxD): 0x00; 0x7F; 0xC0; ", 3},
        {{0x00, 0x07, 0xFF}, "14:03:27 0xFF; ", 1},
        // High byte first: 0x0100 and 0x0200 are no bus or link kinds.
        {{0x01, 0x00, 0x11}, "14:03:27 0x11; ", 1},
        {{0x02, 0x00, 0x11, 0x22}, "14:03:27 0x11; 0x22; ", 2},
        {{0x00, 0x02}, nullptr, 0},
        {{0x00}, nullptr, 0},
        {{}, nullptr, 0},
    };
    for (const Case& c : cases) {
        const auto parsed = parseTraceRecord(c.record.data(), static_cast<int>(c.record.size()));
        const std::string shown = hexBytes(c.record.data(), static_cast<int>(c.record.size()));
        if (!c.line) {
            EXPECT_FALSE(parsed) << shown;
            continue;
        }
        ASSERT_TRUE(parsed) << shown;
        EXPECT_EQ(traceLine(At, *parsed), c.line) << shown;
        EXPECT_EQ(parsed->dataLength, c.dataLength) << shown;
    }
}

TEST(TraceLine, ChannelMaskBits)
{
    std::uint16_t mask = withChannel(0, TraceChannel::LinkTx, true);
    mask = withChannel(mask, TraceChannel::BusRx, true);
    EXPECT_EQ(mask, 9);
    EXPECT_EQ(withChannel(mask, TraceChannel::LinkTx, false), 1);
    EXPECT_EQ(withChannel(0x000F, TraceChannel::BusTx, false), 0x000D);
    EXPECT_EQ(withChannel(2, TraceChannel::BusTx, true), 2);
}

// The trace tasks against the simulated controller (capacity 64, so replies of up to 72 bytes),
// its live traffic stopped so that only what a test puts there is reported.
class TraceTasks : public SimFixture {
protected:
    TraceTasks() { trace().setLiveRate(0); }

    sim::TraceQueues& trace() { return controller()->devices().trace; }
    void queue(std::initializer_list<Bytes> records)
    {
        for (const Bytes& record : records)
            trace().queueRecord(record);
    }
    void fetchRun()
    {
        TaskContext taskContext = context();
        fetch(taskContext);
    }
    void selectRun()
    {
        TaskContext taskContext = context();
        selectTrace(taskContext);
    }
    // The requests after the probe and the identity.
    std::vector<sim::Transfer> taskRequests() const
    {
        std::vector<sim::Transfer> sent = requests();
        sent.erase(sent.begin(), sent.begin() + std::min<std::size_t>(2, sent.size()));
        return sent;
    }
    std::vector<sim::Transfer> taskReplies()
    {
        std::vector<sim::Transfer> replies;
        for (const sim::Transfer& t : simulator().traffic())
            if (t.direction == sim::Transfer::Direction::In)
                replies.push_back(t);
        replies.erase(replies.begin(), replies.begin() + std::min<std::size_t>(2, replies.size()));
        return replies;
    }

    TraceFetch fetch{[] { return At; }};
};

TEST_F(TraceTasks, SelectionSendsTheWindowsMaskAndReadsTheReply)
{
    notifier.traceMask = 9;
    selectRun();
    const auto sent = taskRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "05 00 09 00 00 00 00 00");
    EXPECT_EQ(sent[0].timeout, 1000);
    const auto replies = taskReplies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].timeout, 1000);
    EXPECT_EQ(trace().selections(), std::vector<std::uint16_t>{9});
    EXPECT_EQ(notifier.lines(), Lines{"Trace 9 request"});
    EXPECT_EQ(simulator().openHandleCount(), 1) << "a successful task leaves the connection open";
}

TEST_F(TraceTasks, SelectionFailureIsLoggedStopsTheTraceAndClosesTheConnection)
{
    for (const int transfer : {4, 5}) { // the request, then its reply
        simulator().reset();
        notifier.clear();
        controller()->faults.transferResults[transfer] = -110;
        selectRun();
        EXPECT_EQ(notifier.lines(), (Lines{"Trace 9 request", "Device 1 -110", "Trace 5 0"}))
            << transfer;
        EXPECT_EQ(simulator().openHandleCount(), 0) << transfer;
    }
}

TEST_F(TraceTasks, SelectionForAClosedWindowSendsNothing)
{
    notifier.close(Target::Trace);
    selectRun();
    EXPECT_TRUE(taskRequests().empty());
    EXPECT_TRUE(notifier.lines().empty());
}

TEST_F(TraceTasks, WithoutAControllerBothTasksStopTheTrace)
{
    simulator().clear();
    selectRun();
    fetchRun();
    EXPECT_EQ(notifier.lines(), (Lines{"Device 0 Контроллер не обнаружен на шине USB", "Trace 5 0",
                                       "Device 0 Контроллер не обнаружен на шине USB",
                                       "Trace 5 0"}));
}

TEST_F(TraceTasks, FetchAsksWithCommandSixAndShortTimeOuts)
{
    queue({{0x00, 0x02, 0x01, 0xA5}});
    fetchRun();
    const auto sent = taskRequests();
    ASSERT_EQ(sent.size(), 2u);
    for (const sim::Transfer& request : sent) {
        EXPECT_EQ(hexOf(request), "06 00 00 00 00 00 00 00");
        EXPECT_EQ(request.timeout, 100);
    }
    for (const sim::Transfer& reply : taskReplies()) {
        EXPECT_EQ(reply.lengthAsked, 72);
        EXPECT_EQ(reply.timeout, 100);
    }
    EXPECT_EQ(notifier.traceLines(), Lines{"14:03:27 Link(RxD): 0x01; 0xA5; "});
}

TEST_F(TraceTasks, RecordsDecideTheLinesAndWhetherTheRunAsksAgain)
{
    struct Case {
        const char* what;
        std::vector<Bytes> records; // as the controller answers, one per fetch
        Lines lines;
        std::size_t fetches;
    };
    const Case cases[]{
        {"a reply of exactly 8 bytes", {{}}, {}, 1},
        {"1 byte after the header, then a record",
         {{0x00}, {0x00, 0x02, 0x01, 0xA5}},
         {"14:03:27 Link(RxD): 0x01; 0xA5; "},
         3},
        {"2 bytes after the header, then a record",
         {{0x00, 0x02}, {0x00, 0x03, 0x10}},
         {"14:03:27 Link(TxD): 0x10; "},
         3},
        {"a bus-transmit record of 3 bytes ends the run", {{0x00, 0x01, 0x09}, {0x00, 0x00, 0x01}},
         {"14:03:27 Bus+(TxD): "},
         1},
        {"kind 7 with 0xFF", {{0x00, 0x07, 0xFF}}, {"14:03:27 0xFF; "}, 2},
        {"kind 0 with one data byte asks again",
         {{0x00, 0x00, 0x42}, {0x00, 0x00, 0x43, 0x44}},
         {"14:03:27 Bus+(RxD): 0x42; ", "14:03:27 Bus+(RxD): 0x43; 0x44; "},
         3},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        trace().setLiveRate(0);
        for (const Bytes& record : c.records)
            trace().queueRecord(record);
        fetchRun();
        EXPECT_EQ(notifier.traceLines(), c.lines) << c.what;
        EXPECT_EQ(taskRequests().size(), c.fetches) << c.what;
        const Lines expected = c.lines.empty()
            ? Lines{}
            : Lines{"Trace 0 " + std::to_string(c.lines.size()) + " lines"};
        EXPECT_EQ(notifier.lines(), expected) << c.what;
        EXPECT_TRUE(fetch.lines().isEmpty()) << c.what;
    }
}

namespace {
// A link record of 100 bytes: the kind, then the data bytes 0x00 to 0x61.
Bytes longRecord()
{
    Bytes record{0x00, 0x02};
    for (int i = 0; i < 98; ++i)
        record.push_back(static_cast<std::uint8_t>(i));
    return record;
}
}

// Of a record longer than a 72-byte reply, the line shows what fits: the kind and 62 data bytes.
TEST_F(TraceTasks, ARecordLongerThanAReplyIsShownAsFarAsItFits)
{
    struct Case {
        const char* what;
        std::function<void(sim::SimController&)> setup;
        int overflow; // bytes of the reply beyond the terminal's buffer
    };
    const Case cases[]{
        {"the controller cuts it to its buffer",
         [](sim::SimController& c) { c.devices().trace.queueRecord(longRecord()); }, 0},
        {"a faulty controller sends it whole",
         [](sim::SimController& c) {
             c.faults.replyFilter = [fetches = 0](const sim::Request& request,
                                                  Bytes& reply) mutable {
                 if (request.command != 6 || fetches++ > 0)
                     return;
                 const Bytes record = longRecord();
                 reply.insert(reply.end(), record.begin(), record.end());
             };
         },
         36},
    };
    std::string line = "14:03:27 Link(RxD): ";
    for (int i = 0; i < 62; ++i) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X; ", i);
        line += byte;
    }
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        trace().setLiveRate(0);
        c.setup(*controller());
        fetchRun();
        EXPECT_EQ(notifier.traceLines(), Lines{line}) << c.what;
        const auto replies = taskReplies();
        ASSERT_EQ(replies.size(), 2u) << c.what << ": the record had data, so the run asks again";
        EXPECT_EQ(replies[0].lengthAsked, 72) << c.what;
        EXPECT_EQ(replies[0].result, 72) << c.what;
        EXPECT_EQ(replies[0].overflow, c.overflow) << c.what;
        EXPECT_EQ(replies[1].result, 8) << c.what;
        EXPECT_EQ(notifier.lines(), Lines{"Trace 0 1 lines"}) << c.what;
    }
}

TEST_F(TraceTasks, OnlyTheSelectedChannelsAreReportedAndTheNextRunGoesOn)
{
    notifier.traceMask = withChannel(withChannel(0, TraceChannel::LinkTx, true),
                                     TraceChannel::BusTx, true);
    selectRun();
    trace().pass(sim::TraceChannel::BusRx, {0x01});
    trace().pass(sim::TraceChannel::BusTx, {0x34, 0x0C, 0x22});
    trace().pass(sim::TraceChannel::LinkRx, {0x02});
    trace().pass(sim::TraceChannel::LinkTx, {0x81, 0x00});
    fetchRun();
    EXPECT_EQ(notifier.traceLines(),
              (Lines{"14:03:27 Bus+(TxD): 0x34; 0x0C; 0x22; ",
                     "14:03:27 Link(TxD): 0x81; 0x00; "}));

    notifier.clear();
    trace().pass(sim::TraceChannel::LinkTx, {0x81, 0x01});
    fetchRun();
    EXPECT_EQ(notifier.lines(), Lines{"Trace 0 1 lines"});
    EXPECT_EQ(notifier.traceLines(), Lines{"14:03:27 Link(TxD): 0x81; 0x01; "});
}

TEST_F(TraceTasks, FailedRunDropsItsLinesStopsTheTraceAndClosesTheConnection)
{
    struct Case {
        const char* what;
        std::function<void(sim::SimController&)> fault;
        const char* logged;
    };
    const Case cases[]{
        {"the second fetch times out",
         [](sim::SimController& c) { c.faults.transferResults[7] = -110; }, "Device 1 -110"},
        {"the second request cannot be sent",
         [](sim::SimController& c) { c.faults.transferResults[6] = -5; }, "Device 1 -5"},
        {"the second reply has another command code",
         [](sim::SimController& c) {
             int fetches = 0;
             c.faults.replyFilter = [fetches](const sim::Request& request, Bytes& reply) mutable {
                 if (request.command == 6 && ++fetches == 2)
                     reply[0] = 5;
             };
         },
         "Device 1 -2"},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        trace().setLiveRate(0);
        queue({{0x00, 0x00, 0x01}, {0x00, 0x00, 0x02}});
        c.fault(*controller());
        fetchRun();
        EXPECT_EQ(notifier.lines(), (Lines{c.logged, "Trace 5 0"})) << c.what;
        EXPECT_TRUE(notifier.traceLines().empty()) << c.what;
        EXPECT_TRUE(fetch.lines().isEmpty()) << c.what;
        EXPECT_EQ(simulator().openHandleCount(), 0) << c.what;
    }
}

TEST_F(TraceTasks, RunEndsAfterItsBoundAndTheNextRunTakesTheRest)
{
    const int bound = TraceFetch::MaxFetchesPerRun;
    for (int i = 0; i < bound + 10; ++i)
        trace().queueRecord({0x00, 0x02, static_cast<std::uint8_t>(i)});
    fetchRun();
    EXPECT_EQ(taskRequests().size(), static_cast<std::size_t>(bound));
    EXPECT_EQ(notifier.lines(), Lines{"Trace 0 " + std::to_string(bound) + " lines"});
    EXPECT_EQ(trace().pending(), 10u);

    notifier.clear();
    fetchRun();
    const Lines lines = notifier.traceLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.front(), "14:03:27 Link(RxD): 0x00; ");
    EXPECT_EQ(lines.back(), "14:03:27 Link(RxD): 0x09; ");
    EXPECT_EQ(trace().pending(), 0u);
}

TEST_F(TraceTasks, ControllerThatAlwaysHasDataCannotKeepAClosedWindowsTaskAlive)
{
    controller()->faults.replyFilter = [](const sim::Request& request, Bytes& reply) {
        if (request.command == 6)
            reply.insert(reply.end(), {0x00, 0x00, 0x55, 0x66});
    };
    notifier.close(Target::Trace);
    fetchRun();
    EXPECT_EQ(taskRequests().size(), static_cast<std::size_t>(TraceFetch::MaxFetchesPerRun));
    EXPECT_TRUE(notifier.lines().empty());
    EXPECT_TRUE(fetch.lines().isEmpty());
}

TEST_F(TraceTasks, WorkerRunsTheTraceTasksOnTheirEvents)
{
    notifier.traceMask = 4;
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::TraceSelection);
    device.runPass();
    EXPECT_EQ(trace().mask(), 4);

    trace().pass(sim::TraceChannel::LinkRx, {0x01, 0xA5});
    device.events().set(TaskEvent::TracePoll);
    device.runPass();
    const Lines lines = notifier.traceLines();
    ASSERT_EQ(lines.size(), 1u);
    const QString line = QString::fromStdString(lines[0]);
    const QString expected = currentTimeOfDay() + QStringLiteral(" Link(RxD): 0x01; 0xA5; ");
    EXPECT_EQ(line.size(), expected.size()) << lines[0];
    EXPECT_TRUE(line.endsWith(QStringLiteral(" Link(RxD): 0x01; 0xA5; "))) << lines[0];
}

} // namespace
