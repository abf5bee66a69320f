// The trace window's log filled to a million trace lines: what a line costs in memory next to
// the text it holds (heap in use from the allocator, and resident size), and what appending a
// line costs with 0, 100,000 and 1,000,000 lines already there. Lines come in runs of 200, as
// one poll of a 2,000 lines a second flood brings them.

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>

#include "Figures.h"
#include "link/TraceRecord.h"
#include "tasks/LogView.h"

namespace {

constexpr int RunLines = 200;
constexpr int MeasuredBatches = 15;
constexpr qsizetype BatchLines = 2'000;
constexpr double MemoryGoalRatio = 1.5;
constexpr double AppendGoalRatio = 1.5;

long heapInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<long>(heap.uordblks + heap.hblkhd);
}

long residentBytes()
{
    long size = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Twenty different runs of lines as the trace fetch makes them: every kind, 4 to 40 data bytes.
std::vector<QStringList> traceRuns()
{
    std::vector<QStringList> runs(20);
    std::uint32_t seed = 0x2545F491;
    std::vector<std::uint8_t> bytes(40);
    for (QStringList& run : runs)
        for (int i = 0; i < RunLines; ++i) {
            seed = seed * 1664525 + 1013904223;
            for (std::uint8_t& byte : bytes)
                byte = static_cast<std::uint8_t>(seed >> (byte % 24));
            const TraceRecord record { static_cast<std::uint16_t>(seed % 4), bytes.data(),
                4 + static_cast<int>(seed >> 8) % 37 };
            run << traceLine(QStringLiteral("14:03:27"), record);
        }
    return runs;
}

class FilledLog {
public:
    FilledLog()
    {
        view_.resize(600, 360);
        view_.show();
        QCoreApplication::processEvents();
    }
    void fillTo(qsizetype lines)
    {
        while (view_.lines().count() < lines)
            append();
        QCoreApplication::processEvents();
    }
    // Nanoseconds per line over the next lines appended: the median of a few batches, which
    // another program's time slice on the machine disturbs less than one long run.
    double appendCost()
    {
        std::vector<double> batches;
        for (int i = 0; i < MeasuredBatches; ++i) {
            const qsizetype start = view_.lines().count();
            QElapsedTimer timer;
            timer.start();
            while (view_.lines().count() < start + BatchLines)
                append();
            batches.push_back(
                static_cast<double>(timer.nsecsElapsed()) / double(view_.lines().count() - start));
            QCoreApplication::processEvents();
        }
        return median(batches);
    }
    double textBytesPerLine() const { return double(textBytes_) / double(view_.lines().count()); }
    qsizetype lines() const { return view_.lines().count(); }

private:
    void append()
    {
        const std::size_t run = next_++ % runs_.size();
        view_.appendLines(runs_[run]);
        textBytes_ += runBytes_[run];
    }

    static std::vector<qint64> utf8Bytes(const std::vector<QStringList>& runs)
    {
        std::vector<qint64> bytes;
        for (const QStringList& run : runs)
            bytes.push_back(run.join(QString()).toUtf8().size());
        return bytes;
    }

    std::vector<QStringList> runs_ = traceRuns();
    std::vector<qint64> runBytes_ = utf8Bytes(runs_);
    LogView view_;
    std::size_t next_ = 0;
    qint64 textBytes_ = 0;
};

} // namespace

std::vector<FigureRow> logFigures()
{
    FilledLog log;
    const long heapBefore = heapInUse();
    const long residentBefore = residentBytes();
    const double atEmpty = log.appendCost();
    log.fillTo(100'000);
    const double atHundredThousand = log.appendCost();
    log.fillTo(1'000'000);
    const double atMillion = log.appendCost();
    const double lines = double(log.lines());
    const double heapPerLine = double(heapInUse() - heapBefore) / lines;
    const double residentPerLine = double(residentBytes() - residentBefore) / lines;
    const double text = log.textBytesPerLine();
    return {
        { "trace log 1M lines: heap per line vs its UTF-8 text", heapPerLine, text, "B",
            FigureRow::GoalOn::Ratio, MemoryGoalRatio, {} },
        { "trace log 1M lines: resident growth per line vs text", residentPerLine, text, "B",
            FigureRow::GoalOn::Ratio, MemoryGoalRatio, {} },
        { "trace log append per line, at 0 lines", atEmpty, std::nullopt, "ns",
            FigureRow::GoalOn::None, 0, {} },
        { "trace log append per line, at 100,000 lines vs at 0", atHundredThousand, atEmpty, "ns",
            FigureRow::GoalOn::Ratio, AppendGoalRatio, {} },
        { "trace log append per line, at 1,000,000 lines vs at 0", atMillion, atEmpty, "ns",
            FigureRow::GoalOn::Ratio, AppendGoalRatio, {} },
    };
}
