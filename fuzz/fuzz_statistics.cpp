// The statistics window's decoding of a 76-byte counters record, for an R-410 and an R-420, in a
// Russian and a US English locale: every field's text, the plotted figures and their CSV row.

#include <cmath>
#include <cstdint>
#include <deque>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include "config/ConfigRecord.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "models/ReportHistory.h"
#include "models/ReportTexts.h"

namespace {

constexpr int RecordSize = ReportCounterCount * 4;

// The record's bytes, cut or padded with zeros to its 76 bytes.
std::array<std::uint8_t, RecordSize> counterRecord(FuzzInput& input)
{
    std::array<std::uint8_t, RecordSize> record{};
    const std::vector<std::uint8_t> given = input.bytes(RecordSize);
    std::copy(given.begin(), given.end(), record.begin());
    return record;
}

void checkDecoding(const std::array<std::uint8_t, RecordSize>& record, const ReportCounters& counters)
{
    for (int i = 0; i < ReportCounterCount; ++i) {
        const std::uint32_t c = counters[i];
        const std::uint8_t* bytes = record.data() + 4 * i;
        require(bytes[0] == (c >> 24) && bytes[1] == ((c >> 16) & 0xFF)
                    && bytes[2] == ((c >> 8) & 0xFF) && bytes[3] == (c & 0xFF),
                "each counter is its four bytes, most significant first");
    }
}

const char* unitOf(const ReportField& field, int model)
{
    switch (field.format) {
    case FieldFormat::Delay:
        return model == ModelR420 ? " сек" : " Гц";
    case FieldFormat::Share:
        return " %";
    case FieldFormat::Jitter:
    case FieldFormat::FrameDelay:
        return " мсек";
    default:
        return "";
    }
}

// The figure a field stands for, before it is formatted, and how far the text may round it.
struct Shown {
    double value;
    double tolerance;
};

Shown shownFigure(const ReportField& field, const ReportCounters& counters, int model)
{
    const std::uint32_t c = counters[field.counter];
    const auto fixed = [](double value, int precision, int digits) {
        // At most `precision` significant digits, at most `digits` after the point.
        const double relative = std::fabs(value) * 5.0 * std::pow(10.0, -precision);
        return Shown{value, std::max(relative, 0.5 * std::pow(10.0, -digits)) * 1.000001};
    };
    switch (field.format) {
    case FieldFormat::Seconds:
        return {static_cast<double>(static_cast<std::int32_t>(c)), 0};
    case FieldFormat::Count:
        return {roundedCounter(c), 0.5};
    case FieldFormat::Sum:
        return {counterSum(c, counters[field.second]), 0.5};
    case FieldFormat::Delay:
        if (model == ModelR420)
            return fixed(delaySeconds(c), 8, 4);
        return {roundedCounter(c), 0.5};
    case FieldFormat::Load:
        return fixed(loadPercent(c), 4, 2);
    case FieldFormat::Share:
        return fixed(sharePercent(c), 6, 4);
    case FieldFormat::Jitter:
        return fixed(jitterMilliseconds(c), 8, 4);
    case FieldFormat::FrameDelay:
        return fixed(frameDelayMilliseconds(c), 5, 2);
    }
    return {0, 0};
}

// Every field's text reads back, in its own locale, as its figure within the rounding it shows.
void checkFields(const ReportCounters& counters, int model, const QLocale& locale)
{
    for (const ReportField& field : reportFields()) {
        const QString text = fieldText(field, counters, model, locale);
        const QString unit = QString::fromUtf8(unitOf(field, model));
        require(!text.isEmpty() && text.endsWith(unit), "a field shows its number and its unit");
        const QString number = text.chopped(unit.size());
        bool readable = false;
        const double read = locale.toDouble(number, &readable);
        require(readable, "a field's number reads back in its locale");
        const Shown shown = shownFigure(field, counters, model);
        require(std::fabs(read - shown.value) <= shown.tolerance,
                "a field's number is its figure, rounded as the field shows it");
    }
}

void checkPlot(const ReportCounters& counters)
{
    const QDateTime time(QDate(2026, 12, 10), QTime(14, 30, 5), QTimeZone::utc());
    const ReportSample sample = reportSample(counters, time);
    for (int q = 0; q < PlotQuantityCount; ++q)
        require(std::isfinite(sample.values[q]), "a plotted figure is a number");
    const QByteArray csv = historyCsv(std::deque<ReportSample>{sample});
    require(csv.count("\r\n") == 2 && csv.endsWith("\r\n"), "the CSV holds its header and one row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QLocale locales[] = {QLocale(QLocale::Russian, QLocale::Russia),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    FuzzInput input(data, size);
    const auto record = counterRecord(input);
    const ReportCounters counters = reportCounters(record.data());
    checkDecoding(record, counters);
    for (const std::uint16_t typeWord : {std::uint16_t{0x1000}, std::uint16_t{0x2000}})
        for (const QLocale& locale : locales)
            checkFields(counters, modelCode(typeWord), locale);
    checkPlot(counters);
    return 0;
}
