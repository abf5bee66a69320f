#include "models/ReportTexts.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr double FixedScale = 1.0 / 65536.0; // 2^-16
constexpr double ShareScale = 100.0 / 2147483648.0; // 100 / 2^31
// Enough decimals to write any of the window's values exactly.
constexpr int ExactDecimals = 80;
constexpr int PeriodMinimum = 1;
constexpr int PeriodLimit = 990;
constexpr int PeriodMaximum = 999;

// A non-negative decimal number as its digits and the count of them before the point.
struct Decimal {
    std::string digits;
    int integerDigits;
};

Decimal exactDecimal(double magnitude)
{
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::fixed, ExactDecimals);
    std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    text.erase(point, 1);
    return {text, static_cast<int>(point)};
}

// Keeps the first `kept` digits, rounding half away from zero; a carry adds a digit in front.
Decimal roundedAt(Decimal number, int kept)
{
    const bool up = kept < static_cast<int>(number.digits.size()) && number.digits[kept] >= '5';
    number.digits.resize(kept);
    for (int i = kept - 1; up && i >= 0; --i) {
        if (number.digits[i] != '9') {
            ++number.digits[i];
            return number;
        }
        number.digits[i] = '0';
    }
    if (up) {
        number.digits.insert(number.digits.begin(), '1');
        ++number.integerDigits;
    }
    return number;
}

// Digits before the point that count: none for a value below 1, negative for one below 0.1.
int significantIntegerDigits(const Decimal& number)
{
    const auto first = number.digits.find_first_not_of('0');
    return number.integerDigits - static_cast<int>(first);
}

QString signOf(double value, const QLocale& locale)
{
    return value < 0 ? locale.negativeSign() : QString();
}

QString exponentText(const Decimal& exact, int precision, const QLocale& locale)
{
    const int first = static_cast<int>(exact.digits.find_first_not_of('0'));
    Decimal mantissa{exact.digits.substr(first), exact.integerDigits - first};
    mantissa = roundedAt(mantissa, precision);
    const int exponent = mantissa.integerDigits - 1;
    std::string digits = mantissa.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    QString text = QString::fromLatin1(digits.substr(0, 1));
    if (digits.size() > 1)
        text += locale.decimalPoint() + QString::fromLatin1(digits.substr(1));
    return text + u'E' + QString::number(exponent);
}

QString withUnit(const QString& text, const char* unit)
{
    return text + QString::fromUtf8(unit);
}

} // namespace

ReportCounters reportCounters(const std::uint8_t* record)
{
    ReportCounters counters{};
    for (int i = 0; i < ReportCounterCount; ++i) {
        const std::uint8_t* bytes = record + 4 * i;
        counters[i] = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16)
            | (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    }
    return counters;
}

float roundedCounter(std::uint32_t counter)
{
    return static_cast<float>(counter);
}

float counterSum(std::uint32_t first, std::uint32_t second)
{
    return static_cast<float>(double{roundedCounter(first)} + double{roundedCounter(second)});
}

float delaySeconds(std::uint32_t counter)
{
    return static_cast<float>((counter & 0xFFFFu) * FixedScale + (counter >> 16));
}

float loadPercent(std::uint32_t counter)
{
    const std::uint32_t product = counter * 100u;
    return static_cast<float>(product * FixedScale);
}

float sharePercent(std::uint32_t counter)
{
    return static_cast<float>(double{roundedCounter(counter)} * ShareScale);
}

float jitterMilliseconds(std::uint32_t counter)
{
    const std::uint32_t product = counter * 1000u;
    return static_cast<float>(product * FixedScale);
}

float frameDelayMilliseconds(std::uint32_t counter)
{
    return static_cast<float>(counter * 0.01);
}

// The values shown this way are below 2^33, so ten significant digits always hold them whole.
QString groupedInteger(double value, const QLocale& locale)
{
    const QString digits = QString::number(std::llround(std::fabs(value)));
    QString text;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += locale.groupSeparator();
        text += digits[i];
    }
    return signOf(value, locale) + text;
}

QString fixedText(double value, int precision, int digits, const QLocale& locale)
{
    const Decimal exact = exactDecimal(std::fabs(value));
    const bool zero = exact.digits.find_first_not_of('0') == std::string::npos;
    if (!zero && significantIntegerDigits(exact) > precision)
        return signOf(value, locale) + exponentText(exact, precision, locale);
    const int kept = zero ? digits : std::min(digits, precision - significantIntegerDigits(exact));
    const Decimal rounded = roundedAt(exact, exact.integerDigits + kept);
    if (!zero && significantIntegerDigits(rounded) > precision)
        return signOf(value, locale) + exponentText(rounded, precision, locale);
    const std::string whole = rounded.digits.substr(0, rounded.integerDigits);
    std::string fraction = rounded.digits.substr(rounded.integerDigits);
    fraction.resize(digits, '0');
    const bool shownAsZero = rounded.digits.find_first_not_of('0') == std::string::npos;
    QString text = shownAsZero ? QString() : signOf(value, locale);
    // Leading zeros of the integer part go, one digit always stays.
    const auto firstDigit = std::min(whole.find_first_not_of('0'), whole.size() - 1);
    text += QString::fromLatin1(whole.substr(firstDigit));
    if (digits > 0)
        text += locale.decimalPoint() + QString::fromLatin1(fraction);
    return text;
}

const std::vector<ReportField>& reportFields()
{
    using F = FieldFormat;
    static const std::vector<ReportField> fields{
        {"sTime", F::Seconds, 0},
        {"sTx", F::Sum, 3, 10},
        {"sTxBytes", F::Sum, 4, 11},
        {"sNetErr", F::Count, 1},
        {"sRx", F::Sum, 6, 12},
        {"sRxBytes", F::Sum, 7, 13},
        {"sRxErr", F::Sum, 8, 14},
        {"sDelay", F::Delay, 2},
        {"sLoad", F::Load, 17},
        {"sTxd", F::Count, 3},
        {"sTxdBytes", F::Count, 4},
        {"sTxdErr", F::Count, 5},
        {"sRxd", F::Count, 6},
        {"sRxdBytes", F::Count, 7},
        {"sRxdErr", F::Count, 8},
        {"sRxdErrFract", F::Share, 9},
        {"sTxv", F::Count, 10},
        {"sTxvBytes", F::Count, 11},
        {"sRxv", F::Count, 12},
        {"sRxvBytes", F::Count, 13},
        {"sRxvLost", F::Count, 14},
        {"sJitter", F::Jitter, 16},
        {"sJBufLoad", F::FrameDelay, 18},
        {"sRxvLostFract", F::Share, 15},
    };
    return fields;
}

QString fieldText(const ReportField& field, const ReportCounters& counters, int model,
                  const QLocale& locale)
{
    const std::uint32_t counter = counters[field.counter];
    switch (field.format) {
    case FieldFormat::Seconds:
        return QString::number(static_cast<std::int32_t>(counter));
    case FieldFormat::Count:
        return groupedInteger(roundedCounter(counter), locale);
    case FieldFormat::Sum:
        return groupedInteger(counterSum(counter, counters[field.second]), locale);
    case FieldFormat::Delay:
        if (model == ModelR420)
            return withUnit(fixedText(delaySeconds(counter), 8, 4, locale), " сек");
        return withUnit(groupedInteger(roundedCounter(counter), locale), " Гц");
    case FieldFormat::Load:
        return fixedText(loadPercent(counter), 4, 2, locale);
    case FieldFormat::Share:
        return withUnit(fixedText(sharePercent(counter), 6, 4, locale), " %");
    case FieldFormat::Jitter:
        return withUnit(fixedText(jitterMilliseconds(counter), 8, 4, locale), " мсек");
    case FieldFormat::FrameDelay:
        return withUnit(fixedText(frameDelayMilliseconds(counter), 5, 2, locale), " мсек");
    }
    return {};
}

ReportPeriod reportPeriod(const QString& entered)
{
    bool readable = false;
    const int seconds = entered.toInt(&readable);
    if (!readable || seconds < PeriodMinimum)
        return {PeriodMinimum, QString::number(PeriodMinimum)};
    if (seconds > PeriodLimit)
        return {PeriodMaximum, QString::number(PeriodMaximum)};
    return {seconds, entered};
}

QString errorShareLabel(const QString& periodText)
{
    return QStringLiteral("Количество ошибочных пакетов за ") + periodText + QStringLiteral(" сек:");
}

QString lostShareLabel(const QString& periodText)
{
    return QStringLiteral("Количество потерянных кадров за ") + periodText + QStringLiteral(" сек:");
}

QString delayLabel(int model)
{
    return model == ModelR410 ? QStringLiteral("Частота синхронизации:")
                              : QStringLiteral("Cреднее время задержки:");
}
