#pragma once

#include <optional>

#include <QDate>
#include <QString>

// What set-identity is given, checked before the controller is touched: every value as the board
// editor's field would take it, or the message that refuses it.
struct IdentityEntries {
    std::optional<QString> serial;
    std::optional<QString> address; // upper case, as the address field shows what is typed
    std::optional<QDate> date;
    std::optional<QString> description;
};

struct IdentityInput {
    std::optional<QString> serial;
    std::optional<QString> address;
    std::optional<QString> date;
    std::optional<QString> description;
};

// The entries, or the message that refuses the first value the editor would not take.
struct CheckedEntries {
    std::optional<IdentityEntries> entries;
    QString refusal;
};
CheckedEntries checkIdentityInput(const IdentityInput& input);

// "2024-03-05" or "05.03.2024".
std::optional<QDate> identityDate(const QString& text);
// Six groups of two hexadecimal digits joined by "-", in either case.
bool isHardwareAddress(const QString& text);
