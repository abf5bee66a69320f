#include "models/RecordFields.h"

#include <iterator>
#include <memory>

#include <QRegularExpression>

#include "models/AudioModel.h"
#include "models/BoardModel.h"
#include "models/CodecModel.h"
#include "models/LinkModel.h"
#include "models/NetModel.h"
#include "models/RecoderModel.h"
#include "models/VocoderModel.h"

namespace {

enum class BoardField { Serial, Date, Description, HardwareAddress };

std::unique_ptr<EditorModel> openModel(EditorBlock block, ConfigRecord& record, AccessLevel level)
{
    const std::uint8_t* identity = record.data(Blocks::Identity);
    switch (block) {
    case EditorBlock::Codec:
        return std::make_unique<CodecModel>(CodecInputs{level, identity, record.data(Blocks::Codec)});
    case EditorBlock::Vocoder:
        return std::make_unique<VocoderModel>(VocoderInputs{identity, record.data(Blocks::Vocoder)});
    case EditorBlock::Recorder:
        return std::make_unique<RecoderModel>(RecoderInputs{identity, record.data(Blocks::Recorder)});
    case EditorBlock::Amplifier:
        return std::make_unique<AudioModel>(record.data(Blocks::Amplifier));
    case EditorBlock::Link:
        return std::make_unique<LinkModel>(LinkInputs{level, identity, record.data(Blocks::Link)});
    case EditorBlock::Net:
        return std::make_unique<NetModel>(
            NetInputs{identity, record.data(Blocks::Net), record.data(Blocks::Board)});
    case EditorBlock::Board:
        break;
    }
    return nullptr;
}

const EditorBlockInfo& infoOf(EditorBlock block)
{
    return editorBlocks()[static_cast<std::size_t>(block)];
}

// Where the bytes of a field that lives in words lie in the record.
BlockSpan wordsSpan(EditorBlock block, const Field& field)
{
    int words = 1;
    if (field.kind == FieldKind::Octets)
        words = 4;
    else if (field.kind == FieldKind::Port)
        words = 2;
    return {infoOf(block).span.offset + 2 * field.place.word, 2 * words};
}

BlockSpan boardSpan(const Field& field)
{
    static constexpr std::array<BoardBlock::TextField, 4> places{
        BoardBlock::Serial, BoardBlock::Date, BoardBlock::Description,
        BoardBlock::TextField{0, 2 * BoardBlock::AddressLength}};
    const BoardBlock::TextField place = places[fieldIndex(boardFields(), field)];
    return {Blocks::Board.offset + place.offset, place.size};
}

QByteArray bytesAt(const ConfigRecord& record, BlockSpan span)
{
    return QByteArray(reinterpret_cast<const char*>(record.bytes.data() + span.offset), span.size);
}

// A label as one line, without the colon that ends it: for messages.
QString plainLabel(const Field& field, const FieldContext& context)
{
    QString label = fieldLabel(field, context).simplified();
    while (label.endsWith(u':'))
        label.chop(1);
    return label.trimmed();
}

QString refusedText(const Field& field, const FieldContext& context, const QString& text)
{
    return QStringLiteral("Недопустимое значение \"%1\" поля \"%2\"")
        .arg(text, plainLabel(field, context));
}

FieldChange refused(QString message)
{
    return {FieldChange::Outcome::Refused, std::move(message)};
}

void describeWords(std::vector<FieldReading>& readings, EditorBlock block,
                   const ConfigRecord& record, const RecordView& view)
{
    ConfigRecord copy = record;
    const std::unique_ptr<EditorModel> model = openModel(block, copy, view.level);
    model->LoadBlock();
    const FieldContext context = model->fieldContext();
    for (const Field& field : model->fields()) {
        if (!model->fieldShown(field))
            continue;
        const int value = model->fieldValue(field);
        const BlockSpan span = wordsSpan(block, field);
        readings.push_back({block, &field, bytesAt(record, span), value,
                            shownText(field, value, context), model->fieldEnabled(field),
                            plainLabel(field, context), span.offset});
    }
}

QString dateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, locale.dateFormat(QLocale::ShortFormat));
}

void describeBoard(std::vector<FieldReading>& readings, const ConfigRecord& record,
                   const RecordView& view)
{
    ConfigRecord copy = record;
    BoardModel model;
    model.LoadBlock({copy.data(Blocks::Identity), copy.data(Blocks::Board)});
    const std::array<QString, 4> shown{model.serialNumber(),
                                       dateText(model.date(view.locale, view.today), view.locale),
                                       model.description(), model.addressText()};
    const auto fields = boardFields();
    const FieldContext context = fieldContextOf(record.typeWord());
    for (std::size_t index = 0; index < fields.size(); ++index) {
        if (static_cast<BoardField>(index) == BoardField::HardwareAddress && !model.addressShown())
            continue;
        const BlockSpan span = boardSpan(fields[index]);
        readings.push_back({EditorBlock::Board, &fields[index], bytesAt(record, span), 0,
                            shown[index], true, plainLabel(fields[index], context), span.offset});
    }
}

// A text as the value its control would hold, or why it cannot be one.
struct Parsed {
    std::optional<int> value;
    bool fitted = false;
    QString message;
};

Parsed numberOf(const QString& text, const NumberRange& range)
{
    const std::optional<int> number = wholeNumberOf(text.trimmed());
    if (!number)
        return {};
    const FittedNumber fitted = fitToRange(*number, range);
    return {fitted.value, fitted.outside, fitted.outside ? rangeMessage(range) : QString()};
}

Parsed octetsOf(const QString& text, const Field& field)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != static_cast<qsizetype>(std::tuple_size_v<Octets>))
        return {};
    Octets octets{};
    Parsed parsed;
    const Octets limits = octetLimits(field);
    for (std::size_t index = 0; index < octets.size(); ++index) {
        const Parsed octet = numberOf(parts[static_cast<qsizetype>(index)], {0, limits[index]});
        if (!octet.value)
            return {};
        octets[index] = *octet.value;
        if (octet.fitted && !parsed.fitted)
            parsed = {std::nullopt, true, octet.message};
    }
    parsed.value = addressOf(octets);
    return parsed;
}

Parsed parse(const Field& field, const QString& text, const FieldContext& context)
{
    switch (field.kind) {
    case FieldKind::Flag:
        if (text == flagText(true) || text == QStringLiteral("1"))
            return {1};
        if (text == flagText(false) || text == QStringLiteral("0"))
            return {0};
        return {};
    case FieldKind::Choice: {
        const QStringList items = fieldItems(field, context);
        for (qsizetype index = 0; index < items.size(); ++index)
            if (items[index].simplified() == text.simplified())
                return {static_cast<int>(index)};
        return {};
    }
    case FieldKind::Number:
    case FieldKind::Port:
        return numberOf(text, fieldRange(field, context));
    case FieldKind::Level:
        for (int value = field.range.minimum; value <= field.range.maximum; ++value)
            if (shownText(field, value, context) == text.trimmed())
                return {value};
        return {};
    case FieldKind::Octets:
        return octetsOf(text, field);
    default:
        break;
    }
    return {};
}

FieldChange applyToWords(ConfigRecord& record, EditorBlock block, const QString& key,
                         const QString& text, const RecordView& view)
{
    const std::unique_ptr<EditorModel> model = openModel(block, record, view.level);
    model->LoadBlock();
    const FieldContext context = model->fieldContext();
    for (const Field& field : model->fields()) {
        if (QLatin1StringView(field.key) != key)
            continue;
        // The value the field shows already is kept as it is, even one its control could not
        // set (a gain in the chip's mute range) or one the editor does not let be changed now.
        if (model->fieldShown(field) && text == shownText(field, model->fieldValue(field), context)) {
            model->save();
            return {FieldChange::Outcome::Taken, {}};
        }
        if (!model->fieldShown(field) || !model->fieldEnabled(field))
            return refused(QStringLiteral("Поле \"%1\" нельзя изменить на этом контроллере")
                               .arg(plainLabel(field, context)));
        const Parsed parsed = parse(field, text, context);
        if (!parsed.value)
            return refused(refusedText(field, context, text));
        model->changeField(field, *parsed.value);
        model->save();
        return {parsed.fitted ? FieldChange::Outcome::Fitted : FieldChange::Outcome::Taken,
                parsed.message};
    }
    return refused(QStringLiteral("Нет поля \"%1\" в блоке \"%2\"").arg(key, infoOf(block).caption));
}

std::optional<QDate> dateOf(const QString& text, const QLocale& locale)
{
    for (const QString& format : {locale.dateFormat(QLocale::ShortFormat), QStringLiteral("yyyy-MM-dd"),
                                  QStringLiteral("dd.MM.yyyy")}) {
        const QDate date = locale.toDate(text.trimmed(), format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

bool isHardwareAddress(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9A-Fa-f]{2}(-[0-9A-Fa-f]{2}){5}$"));
    return form.match(text.trimmed()).hasMatch();
}

FieldChange applyToBoard(ConfigRecord& record, const QString& key, const QString& text,
                         const RecordView& view)
{
    BoardModel model;
    model.LoadBlock({record.data(Blocks::Identity), record.data(Blocks::Board)});
    BoardEntries entries{model.serialNumber(), model.date(view.locale, view.today),
                         model.storedDescription()};
    const auto fields = boardFields();
    const FieldContext context = fieldContextOf(record.typeWord());
    for (std::size_t index = 0; index < fields.size(); ++index) {
        const Field& field = fields[index];
        if (QLatin1StringView(field.key) != key)
            continue;
        switch (static_cast<BoardField>(index)) {
        case BoardField::Serial:
            entries.serial = text;
            break;
        case BoardField::Date: {
            const std::optional<QDate> date = dateOf(text, view.locale);
            if (!date)
                return refused(refusedText(field, context, text));
            entries.date = *date;
            break;
        }
        case BoardField::Description:
            entries.description = StoredText::entered(text);
            break;
        case BoardField::HardwareAddress:
            if (!model.addressShown())
                return refused(QStringLiteral("Поле \"%1\" нельзя изменить на этом контроллере")
                                   .arg(plainLabel(field, context)));
            if (!isHardwareAddress(text))
                return refused(refusedText(field, context, text));
            model.setAddressText(text.trimmed().toUpper());
            break;
        }
        if (const std::optional<BoardText> unstorable = model.save(entries, view.locale))
            return refused(unstorableTextMessage(*unstorable));
        return {FieldChange::Outcome::Taken, {}};
    }
    return refused(QStringLiteral("Нет поля \"%1\" в блоке \"%2\"").arg(key, infoOf(EditorBlock::Board).caption));
}

} // namespace

const std::vector<EditorBlockInfo>& editorBlocks()
{
    static const std::vector<EditorBlockInfo> blocks{
        {EditorBlock::Codec, "codec", QStringLiteral("Аудио кодек"), Blocks::Codec},
        {EditorBlock::Vocoder, "vocoder", QStringLiteral("Вокодер"), Blocks::Vocoder},
        {EditorBlock::Recorder, "recorder", QStringLiteral("Регистратор"), Blocks::Recorder},
        {EditorBlock::Amplifier, "amplifier", QStringLiteral("Усилитель НЧ"), Blocks::Amplifier},
        {EditorBlock::Link, "link", QStringLiteral("Соединение"), Blocks::Link},
        {EditorBlock::Net, "net", QStringLiteral("Сеть"), Blocks::Net},
        {EditorBlock::Board, "board", QStringLiteral("Контроллер ID"), Blocks::Board},
    };
    return blocks;
}

const EditorBlockInfo* editorBlockOf(const QString& key)
{
    for (const EditorBlockInfo& info : editorBlocks())
        if (QLatin1StringView(info.key) == key)
            return &info;
    return nullptr;
}

std::span<const Field> boardFields()
{
    static const std::array<Field, 4> fields{{
        {.key = "serialNumber", .control = "sSerial", .label = boardTextLabel(BoardText::Serial),
         .kind = FieldKind::Text, .place = {BoardBlock::Serial.offset / 2},
         .range = {0, BoardBlock::Serial.size}},
        {.key = "date", .control = "sData", .label = QStringLiteral("Дата:"),
         .kind = FieldKind::Date, .place = {BoardBlock::Date.offset / 2},
         .range = {0, BoardBlock::Date.size}},
        {.key = "description", .control = "sDescr",
         .label = boardTextLabel(BoardText::Description), .kind = FieldKind::Text,
         .place = {BoardBlock::Description.offset / 2}, .range = {0, BoardBlock::Description.size}},
        {.key = "hardwareAddress", .control = "Mac", .label = QStringLiteral("Физический адрес:"),
         .kind = FieldKind::HardwareAddress, .place = {0}, .range = {0, BoardBlock::AddressLength}},
    }};
    return fields;
}

std::vector<FieldReading> describeRecord(const ConfigRecord& record, const RecordView& view)
{
    std::vector<FieldReading> readings;
    for (const EditorBlockInfo& info : editorBlocks()) {
        std::vector<FieldReading> block = describeBlock(record, info.block, view);
        std::move(block.begin(), block.end(), std::back_inserter(readings));
    }
    return readings;
}

std::vector<FieldReading> describeBlock(const ConfigRecord& record, EditorBlock block,
                                        const RecordView& view)
{
    std::vector<FieldReading> readings;
    if (block == EditorBlock::Board)
        describeBoard(readings, record, view);
    else
        describeWords(readings, block, record, view);
    return readings;
}

FieldChange applyFieldText(ConfigRecord& record, EditorBlock block, const QString& fieldKey,
                           const QString& text, const RecordView& view)
{
    if (block == EditorBlock::Board)
        return applyToBoard(record, fieldKey, text, view);
    return applyToWords(record, block, fieldKey, text, view);
}
