#include "models/RecordJson.h"

#include <algorithm>

#include <QJsonValue>
#include <QRegularExpression>

#include "models/DieId.h"
#include "models/RecordDiff.h"

namespace {

const QString FormatName = QStringLiteral("r4xx-config");

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

QString hexOf(const std::uint8_t* bytes, int size)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), size).toHex());
}

// The bytes of a hexadecimal text of exactly size bytes.
std::optional<QByteArray> bytesOfHex(const QJsonValue& value, int size)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]*$"));
    const QString text = value.toString();
    if (!value.isString() || text.size() != 2 * size || !hex.match(text).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(text.toLatin1());
}

QJsonObject identityJson(const ConfigRecord& record)
{
    const IdentityWords words = identityWords(record.data(Blocks::Identity));
    return {{QStringLiteral("controller"), controllerText(record.typeWord())},
            {QStringLiteral("dieId"), dieIdKey(dieIdOf(words))},
            {QStringLiteral("chipId"), chipIdText(words)},
            {QStringLiteral("stored"), hexOf(record.data(Blocks::Identity), Blocks::Identity.size)}};
}

QJsonObject blockJson(const ConfigRecord& record, const EditorBlockInfo& info)
{
    QJsonObject fields;
    for (const FieldReading& reading : describeBlock(record, info.block, recordJsonView()))
        fields[key(reading.field->key)] = reading.shown;
    return {{QStringLiteral("caption"), info.caption},
            {QStringLiteral("stored"), hexOf(record.data(info.span), info.span.size)},
            {QStringLiteral("fields"), fields}};
}

// Collects the refusals of one import.
class Import {
public:
    Import(const QJsonObject& document, const QDate& today)
        : document_(document)
        , today_(today)
    {
    }

    JsonImport run(const std::optional<ConfigRecord>& base);

private:
    bool checkFormat();
    std::optional<ConfigRecord> ownBase();
    std::optional<std::uint16_t> namedTypeWord(const QJsonObject& identity);
    void readBlocks(const QJsonValue& value);
    void applyBlock(const EditorBlockInfo& info, const QJsonObject& fields);
    std::vector<std::pair<const Field*, QString>> namedValues(const EditorBlockInfo& info,
                                                              const QJsonObject& fields);
    void confirmShown(const EditorBlockInfo& info,
                      const std::vector<std::pair<const Field*, QString>>& values,
                      const std::vector<FieldReading>& readings);
    void refuse(const QString& text) { refusals_ << text; }

    const QJsonObject& document_;
    QDate today_;
    ConfigRecord record_;
    QStringList refusals_;
};

QString fieldName(const EditorBlockInfo& info, const QString& fieldKey)
{
    return key(info.key) + u'.' + fieldKey;
}

bool Import::checkFormat()
{
    if (document_.value(QStringLiteral("format")).toString() != FormatName) {
        refuse(QStringLiteral("Документ не является конфигурацией R-410/R-420: нет \"format\": \"%1\"")
                   .arg(FormatName));
        return false;
    }
    const QJsonValue version = document_.value(QStringLiteral("version"));
    if (version.toInt(-1) != RecordJsonVersion) {
        refuse(QStringLiteral("Версия формата %1 не поддерживается: известна версия %2")
                   .arg(version.isDouble() ? QString::number(version.toDouble())
                                           : QStringLiteral("\"%1\"").arg(version.toVariant().toString()),
                        QString::number(RecordJsonVersion)));
        return false;
    }
    return true;
}

std::optional<std::uint16_t> Import::namedTypeWord(const QJsonObject& identity)
{
    const QString named = identity.value(QStringLiteral("controller")).toString();
    for (const std::uint16_t typeWord : {0x1000, 0x1001, 0x2000, 0x2001})
        if (controllerText(typeWord) == named)
            return typeWord;
    refuse(QStringLiteral("Неизвестный контроллер \"%1\" в \"identity\": допустимы R-410ZA, "
                          "R-410ZB, R-420ZA, R-420ZB, или его байты в \"stored\"")
               .arg(named));
    return std::nullopt;
}

// A blank record of the document's controller, with the bytes the document keeps.
std::optional<ConfigRecord> Import::ownBase()
{
    ConfigRecord record = ConfigRecord::blank();
    const QJsonObject identity = document_.value(QStringLiteral("identity")).toObject();
    const QJsonValue stored = identity.value(QStringLiteral("stored"));
    if (stored.isUndefined()) {
        const std::optional<std::uint16_t> typeWord = namedTypeWord(identity);
        if (!typeWord)
            return std::nullopt;
        record.setTypeWord(*typeWord);
    } else if (const auto bytes = bytesOfHex(stored, Blocks::Identity.size)) {
        std::copy(bytes->begin(), bytes->end(), record.data(Blocks::Identity));
    } else {
        refuse(QStringLiteral("Неверное значение \"stored\" в \"identity\": нужны %1 байт "
                              "шестнадцатеричными цифрами")
                   .arg(Blocks::Identity.size));
        return std::nullopt;
    }
    const QJsonObject blocks = document_.value(QStringLiteral("blocks")).toObject();
    for (const EditorBlockInfo& info : editorBlocks()) {
        const QJsonValue blockStored = blocks.value(key(info.key)).toObject().value(QStringLiteral("stored"));
        if (blockStored.isUndefined())
            continue;
        const auto bytes = bytesOfHex(blockStored, info.span.size);
        if (!bytes) {
            refuse(QStringLiteral("Неверное значение \"stored\" блока \"%1\": нужны %2 байт "
                                  "шестнадцатеричными цифрами")
                       .arg(key(info.key))
                       .arg(info.span.size));
            continue;
        }
        std::copy(bytes->begin(), bytes->end(), record.data(info.span));
    }
    if (!refusals_.isEmpty())
        return std::nullopt;
    return record;
}

// The values the document gives for a block's fields, in the editor's order; a name that is not
// one of the block's fields, or a value that is no text, is refused.
std::vector<std::pair<const Field*, QString>> Import::namedValues(const EditorBlockInfo& info,
                                                                   const QJsonObject& fields)
{
    const std::vector<FieldReading> readings = describeBlock(record_, info.block, recordJsonView());
    std::vector<std::pair<const Field*, QString>> values;
    for (auto entry = fields.begin(); entry != fields.end(); ++entry) {
        const QJsonValue value = entry.value();
        if (!value.isString() && !value.isDouble()) {
            refuse(QStringLiteral("%1: значение должно быть текстом или числом")
                       .arg(fieldName(info, entry.key())));
            continue;
        }
        const QString text = value.isString() ? value.toString() : value.toVariant().toString();
        const Field* field = nullptr;
        for (const FieldReading& reading : readings)
            if (key(reading.field->key) == entry.key())
                field = reading.field;
        if (!field) {
            // Not shown for this controller, or no such field: the editor's rules say which.
            ConfigRecord trial = record_;
            const FieldChange change = applyFieldText(trial, info.block, entry.key(), text,
                                                      {LevelFull, recordJsonView().locale, today_});
            refuse(QStringLiteral("%1 = \"%2\": %3").arg(fieldName(info, entry.key()), text, change.message));
            continue;
        }
        values.emplace_back(field, text);
    }
    const auto order = [&](const auto& left, const auto& right) {
        const auto position = [&](const Field* field) {
            return std::find_if(readings.begin(), readings.end(),
                                [&](const FieldReading& reading) { return reading.field == field; });
        };
        return position(left.first) < position(right.first);
    };
    std::sort(values.begin(), values.end(), order);
    return values;
}

QString shownIn(const std::vector<FieldReading>& readings, const Field* field)
{
    for (const FieldReading& reading : readings)
        if (reading.field == field)
            return reading.shown;
    return {};
}

// Applies the values that differ from what the record shows, in the editor's order, so that a
// list or range that follows an earlier field (the vocoder's lists, T2 up to T1) is the one the
// editor would offer.
void Import::applyBlock(const EditorBlockInfo& info, const QJsonObject& fields)
{
    const auto values = namedValues(info, fields);
    const RecordView applying{LevelFull, recordJsonView().locale, today_};
    std::vector<FieldReading> readings = describeBlock(record_, info.block, recordJsonView());
    for (const auto& [field, text] : values) {
        if (shownIn(readings, field) == text)
            continue;
        const FieldChange change = applyFieldText(record_, info.block, key(field->key), text, applying);
        if (change.outcome != FieldChange::Outcome::Taken)
            refuse(QStringLiteral("%1 = \"%2\": %3").arg(fieldName(info, key(field->key)), text, change.message));
        readings = describeBlock(record_, info.block, recordJsonView());
    }
    confirmShown(info, values, readings);
}

// What a later field's rules changed of an earlier one is refused too: the record made must show
// every value as the document gives it.
void Import::confirmShown(const EditorBlockInfo& info,
                          const std::vector<std::pair<const Field*, QString>>& values,
                          const std::vector<FieldReading>& readings)
{
    if (!refusals_.isEmpty())
        return;
    for (const auto& [field, text] : values) {
        const QString shown = shownIn(readings, field);
        if (shown != text)
            refuse(QStringLiteral("%1 = \"%2\": редактор показывает \"%3\" после остальных полей блока")
                       .arg(fieldName(info, key(field->key)), text, shown));
    }
}

void Import::readBlocks(const QJsonValue& value)
{
    if (!value.isObject() && !value.isUndefined()) {
        refuse(QStringLiteral("\"blocks\" должен быть объектом"));
        return;
    }
    const QJsonObject blocks = value.toObject();
    for (auto entry = blocks.begin(); entry != blocks.end(); ++entry)
        if (!editorBlockOf(entry.key()))
            refuse(QStringLiteral("Нет блока \"%1\"").arg(entry.key()));
    for (const EditorBlockInfo& info : editorBlocks()) {
        const QJsonValue block = blocks.value(key(info.key));
        if (block.isUndefined())
            continue;
        const QJsonValue fields = block.toObject().value(QStringLiteral("fields"));
        if (!block.isObject() || !(fields.isObject() || fields.isUndefined())) {
            refuse(QStringLiteral("Блок \"%1\" должен быть объектом с объектом \"fields\"").arg(key(info.key)));
            continue;
        }
        applyBlock(info, fields.toObject());
    }
}

JsonImport Import::run(const std::optional<ConfigRecord>& base)
{
    if (!checkFormat())
        return {std::nullopt, refusals_};
    const std::optional<ConfigRecord> start = base ? base : ownBase();
    if (!start)
        return {std::nullopt, refusals_};
    record_ = *start;
    readBlocks(document_.value(QStringLiteral("blocks")));
    if (!refusals_.isEmpty())
        return {std::nullopt, refusals_};
    return {record_, {}};
}

} // namespace

RecordView recordJsonView()
{
    return {LevelFull, QLocale(QLocale::Russian, QLocale::Russia), QDate()};
}

QJsonObject recordJson(const ConfigRecord& record)
{
    QJsonObject blocks;
    for (const EditorBlockInfo& info : editorBlocks())
        blocks[key(info.key)] = blockJson(record, info);
    return {{QStringLiteral("format"), FormatName},
            {QStringLiteral("version"), RecordJsonVersion},
            {QStringLiteral("identity"), identityJson(record)},
            {QStringLiteral("crc"), crcText(record.storedCrc())},
            {QStringLiteral("blocks"), blocks}};
}

JsonImport recordFromJson(const QJsonObject& document, const std::optional<ConfigRecord>& base,
                          const QDate& today)
{
    return Import(document, today).run(base);
}
