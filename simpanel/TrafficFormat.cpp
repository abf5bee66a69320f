#include "simpanel/TrafficFormat.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace simpanel {

namespace {
QByteArray hexBytes(const sim::Transfer& transfer, char separator = '\0')
{
    const QByteArray bytes(reinterpret_cast<const char*>(transfer.bytes.data()),
                           static_cast<qsizetype>(transfer.bytes.size()));
    return bytes.toHex(separator);
}

bool isOut(const sim::Transfer& transfer)
{
    return transfer.direction == sim::Transfer::Direction::Out;
}
}

QByteArray trafficJsonLine(const sim::Transfer& transfer, std::int64_t timeMicroseconds)
{
    const QJsonObject line{
        {QStringLiteral("time_us"), static_cast<qint64>(timeMicroseconds)},
        {QStringLiteral("direction"), isOut(transfer) ? QStringLiteral("out") : QStringLiteral("in")},
        {QStringLiteral("endpoint"), transfer.endpoint},
        {QStringLiteral("length"), transfer.lengthAsked},
        {QStringLiteral("timeout"), transfer.timeout},
        {QStringLiteral("result"), transfer.result},
        {QStringLiteral("bytes"), QString::fromLatin1(hexBytes(transfer))},
    };
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

QString trafficText(const sim::Transfer& transfer)
{
    return QStringLiteral("%1 EP%2 длина %3 тайм-аут %4 результат %5: %6")
        .arg(isOut(transfer) ? QStringLiteral("OUT") : QStringLiteral("IN "))
        .arg(transfer.endpoint, 2, 16, QChar(u'0'))
        .arg(transfer.lengthAsked)
        .arg(transfer.timeout)
        .arg(transfer.result)
        .arg(QString::fromLatin1(hexBytes(transfer, ' ')).toUpper());
}

} // namespace simpanel
