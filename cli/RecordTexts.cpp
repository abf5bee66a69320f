#include "cli/RecordTexts.h"

#include <algorithm>

#include <QJsonArray>

namespace {

const QString Absent = QStringLiteral("—");
const QString Arrow = QStringLiteral(" → ");

QString blockCaption(EditorBlock block)
{
    return editorBlocks()[static_cast<std::size_t>(block)].caption;
}

QString blockKey(EditorBlock block)
{
    return QString::fromLatin1(editorBlocks()[static_cast<std::size_t>(block)].key);
}

// The block a byte of the image belongs to.
QString captionAt(int offset)
{
    for (const EditorBlockInfo& info : editorBlocks())
        if (offset >= info.span.offset && offset < info.span.end())
            return info.caption;
    return {};
}

QString byteText(std::uint8_t value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

// A value of several lines as one: its line breaks written "\n".
QString oneLine(const std::optional<QString>& value)
{
    if (!value)
        return Absent;
    QString text = *value;
    return text.replace(u'\n', QStringLiteral("\\n"));
}

QJsonValue optionalJson(const std::optional<QString>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// The label and, as labels repeat in places the editors tell apart by their groups and pages,
// the field's key: "IP-адрес (remoteIp):".
QString nameOf(const QString& label, const Field& field)
{
    return QStringLiteral("%1 (%2):").arg(label, QString::fromLatin1(field.key));
}

QString nameOf(const FieldReading& reading)
{
    return nameOf(reading.label, *reading.field);
}

void addBlockLines(QStringList& lines, const std::vector<FieldReading>& readings)
{
    qsizetype width = 0;
    for (const FieldReading& reading : readings)
        width = std::max(width, nameOf(reading).size());
    for (const FieldReading& reading : readings) {
        const QString head = QStringLiteral("  ") + nameOf(reading).leftJustified(width) + u' ';
        const QStringList values = reading.shown.split(u'\n');
        lines << head + values.front();
        for (qsizetype index = 1; index < values.size(); ++index)
            lines << QString(head.size(), u' ') + values[index];
    }
}

} // namespace

QStringList recordLines(const ConfigRecord& record, const RecordView& view)
{
    QStringList lines{identityLine(record), QStringLiteral("CRC ") + crcText(record.storedCrc())};
    for (const EditorBlockInfo& info : editorBlocks()) {
        lines << QString() << info.caption;
        addBlockLines(lines, describeBlock(record, info.block, view));
    }
    return lines;
}

QJsonObject recordFieldsJson(const ConfigRecord& record, const RecordView& view)
{
    QJsonArray fields;
    for (const FieldReading& reading : describeRecord(record, view))
        fields.append(QJsonObject{{QStringLiteral("block"), blockKey(reading.block)},
                                  {QStringLiteral("key"), QString::fromLatin1(reading.field->key)},
                                  {QStringLiteral("label"), reading.label},
                                  {QStringLiteral("offset"), reading.offset},
                                  {QStringLiteral("stored"), QString::fromLatin1(reading.stored.toHex())},
                                  {QStringLiteral("shown"), reading.shown}});
    return {{QStringLiteral("identity"), identityLine(record)},
            {QStringLiteral("crc"), crcText(record.storedCrc())},
            {QStringLiteral("fields"), fields}};
}

QStringList differenceLines(const RecordDifferences& differences)
{
    QStringList lines;
    if (differences.identity)
        lines << QStringLiteral("Идентификация: ") + differences.identity->first + Arrow
                + differences.identity->second;
    if (differences.crc)
        lines << QStringLiteral("CRC: ") + crcText(differences.crc->first) + Arrow
                + crcText(differences.crc->second);
    for (const FieldDifference& field : differences.fields)
        lines << blockCaption(field.block) + QStringLiteral(": ") + nameOf(field.label, *field.field)
                + u' ' + oneLine(field.first) + Arrow + oneLine(field.second);
    for (const ByteDifference& byte : differences.bytes)
        lines << QStringLiteral("%1: байт %2: ").arg(captionAt(byte.offset)).arg(byte.offset)
                + byteText(byte.first) + Arrow + byteText(byte.second);
    return lines;
}

QJsonObject differencesJson(const RecordDifferences& differences)
{
    QJsonObject document{{QStringLiteral("equal"), differences.empty()}};
    if (differences.identity)
        document[QStringLiteral("identity")] = QJsonObject{
            {QStringLiteral("first"), differences.identity->first},
            {QStringLiteral("second"), differences.identity->second}};
    if (differences.crc)
        document[QStringLiteral("crc")] = QJsonObject{
            {QStringLiteral("first"), crcText(differences.crc->first)},
            {QStringLiteral("second"), crcText(differences.crc->second)}};
    QJsonArray fields;
    for (const FieldDifference& field : differences.fields)
        fields.append(QJsonObject{{QStringLiteral("block"), blockKey(field.block)},
                                  {QStringLiteral("key"), QString::fromLatin1(field.field->key)},
                                  {QStringLiteral("label"), field.label},
                                  {QStringLiteral("first"), optionalJson(field.first)},
                                  {QStringLiteral("second"), optionalJson(field.second)}});
    QJsonArray bytes;
    for (const ByteDifference& byte : differences.bytes)
        bytes.append(QJsonObject{{QStringLiteral("offset"), byte.offset},
                                 {QStringLiteral("first"), byte.first},
                                 {QStringLiteral("second"), byte.second}});
    document[QStringLiteral("fields")] = fields;
    document[QStringLiteral("bytes")] = bytes;
    return document;
}
