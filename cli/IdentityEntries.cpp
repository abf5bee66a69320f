#include "cli/IdentityEntries.h"

#include <QRegularExpression>

#include "models/BoardModel.h"

std::optional<QDate> identityDate(const QString& text)
{
    for (const QString& format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd.MM.yyyy")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

bool isHardwareAddress(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9A-Fa-f]{2}(-[0-9A-Fa-f]{2}){5}$"));
    return form.match(text).hasMatch();
}

CheckedEntries checkIdentityInput(const IdentityInput& input)
{
    IdentityEntries entries;
    if (input.serial) {
        if (!acceptsSerial(*input.serial))
            return {std::nullopt, unstorableTextMessage(BoardText::Serial)};
        entries.serial = input.serial;
    }
    if (input.address) {
        if (!isHardwareAddress(*input.address))
            return {std::nullopt, QStringLiteral("Недопустимый физический адрес: \"%1\"; нужен вид "
                                                 "AA-BB-CC-DD-EE-FF")
                                      .arg(*input.address)};
        entries.address = input.address->toUpper();
    }
    if (input.date) {
        entries.date = identityDate(*input.date);
        if (!entries.date)
            return {std::nullopt, QStringLiteral("Недопустимая дата: \"%1\"; нужен вид ГГГГ-ММ-ДД "
                                                 "или ДД.ММ.ГГГГ")
                                      .arg(*input.date)};
    }
    if (input.description) {
        if (!acceptsDescription(StoredText::entered(*input.description)))
            return {std::nullopt, unstorableTextMessage(BoardText::Description)};
        entries.description = input.description;
    }
    return {entries, {}};
}
