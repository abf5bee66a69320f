#pragma once

#include <array>
#include <functional>

#include <QString>
#include <QWidget>

class Dialogs;
class NumberField;
class QLineEdit;

// An address of four octets in one row with dots between them, as 192.168.1.10. Each octet is a
// number field of up to three digits with its own upper limit, checked on every change like any
// number field (see NumberField); an emptied octet is 0. A dot or a comma typed in an octet goes
// on to the next one.
//
// The octets' text controls carry the field's name followed by the octet's number: "Ip1" to
// "Ip4".
class DottedField final : public QWidget {
public:
    static constexpr int OctetCount = 4;
    using Octets = std::array<int, OctetCount>;

    DottedField(QWidget* parent, const QString& name, const Octets& limits, Dialogs& dialogs);

    // Shows the octets without running the handler: for showing the working copy.
    void showOctets(const Octets& octets);
    // The handler gets the position (0 to 3) and the number of every octet the field accepts.
    void onChanged(std::function<void(int, int)> handler);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void goToOctet(int index);

    std::array<NumberField*, OctetCount> octets_{};
    std::array<QLineEdit*, OctetCount> edits_{};
};
