#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QLocale>
#include <QString>

// What the statistics window shows of the controller's counters record: the decoding, the
// arithmetic and the number formats, without a widget.

inline constexpr int ReportCounterCount = 19;
using ReportCounters = std::array<std::uint32_t, ReportCounterCount>;

// The model codes of TypeWord that change the window.
inline constexpr int ModelR410 = 1;
inline constexpr int ModelR420 = 2;

// The 76-byte record as it arrives, each counter most significant byte first.
ReportCounters reportCounters(const std::uint8_t* record);

// The arithmetic of the display. Counters are rounded to 32-bit floats before use, and every
// result is rounded to a 32-bit float before it is formatted.
float roundedCounter(std::uint32_t counter);
float counterSum(std::uint32_t first, std::uint32_t second);
// 16.16 fixed-point seconds.
float delaySeconds(std::uint32_t counter);
// 16.16 fraction of the processor; the product by 100 keeps only its low 32 bits.
float loadPercent(std::uint32_t counter);
// A share of the report period with 2^31 for the whole period.
float sharePercent(std::uint32_t counter);
// 16.16 seconds in milliseconds; the product by 1000 keeps only its low 32 bits.
float jitterMilliseconds(std::uint32_t counter);
// Hundredths of a millisecond.
float frameDelayMilliseconds(std::uint32_t counter);

// The value rounded to a whole number, digits grouped in thousands with the locale's separator.
QString groupedInteger(double value, const QLocale& locale);
// The value rounded to at most `precision` significant digits and written with exactly `digits`
// digits after the locale's decimal separator, without grouping; a value with more than
// `precision` digits before the separator is written in exponent form ("1.235E4").
QString fixedText(double value, int precision, int digits, const QLocale& locale);

// How a field shows its counter or counters.
enum class FieldFormat {
    Seconds,    // counter taken as signed, plain decimal
    Count,      // grouped integer
    Sum,        // grouped integer of the sum of two counters
    Delay,      // seconds; other models: synchronisation frequency
    Load,
    Share,
    Jitter,
    FrameDelay,
};

struct ReportField {
    const char* name;   // of the value field
    FieldFormat format;
    int counter;
    int second = -1;    // the other counter of a sum
};

// Every value field of the three pages.
const std::vector<ReportField>& reportFields();

QString fieldText(const ReportField& field, const ReportCounters& counters, int model,
                  const QLocale& locale);

// The report period from its entry: empty or unreadable counts 1, 0 or less becomes 1, above 990
// becomes 999. `text` is what the entry shows afterwards.
struct ReportPeriod {
    int seconds;
    QString text;
};
ReportPeriod reportPeriod(const QString& entered);

// The two labels that name the period.
QString errorShareLabel(const QString& periodText);
QString lostShareLabel(const QString& periodText);
// The label of sDelay for a model.
QString delayLabel(int model);
