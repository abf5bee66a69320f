#include "cli/Commands.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "cli/RecordSource.h"
#include "config/ConfigFile.h"
#include "models/RecordJson.h"

namespace {
const QString OutputOption = QStringLiteral("output");
const QString BaseOption = QStringLiteral("base");
// A record's document is some 5 KB; a file far larger is no record's, and is not read into
// memory whole.
constexpr qint64 LargestDocument = 1024 * 1024;

// The document of a file, or why there is none.
std::variant<QJsonObject, ExitStatus> openDocument(CommandContext& context, const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(context, QStringLiteral("Файл %1 не удается открыть").arg(name),
                      ExitStatus::Refused);
    const QByteArray text = file.read(LargestDocument + 1);
    if (text.size() > LargestDocument)
        return refuse(context,
                      QStringLiteral("Файл %1 больше 1 МБ: это не конфигурация R-410/R-420").arg(name),
                      ExitStatus::Refused);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(context,
                      QStringLiteral("Файл %1 не является документом JSON: %2 (символ %3)")
                          .arg(name, error.errorString())
                          .arg(error.offset),
                      ExitStatus::Refused);
    if (!document.isObject())
        return refuse(context, QStringLiteral("Файл %1 не является конфигурацией R-410/R-420").arg(name),
                      ExitStatus::Refused);
    return document.object();
}

}

// The record as JSON into the file -o names, or on standard output without it.
ExitStatus exportCommand(CommandContext& context)
{
    auto records = namedRecords(context, 1);
    if (const auto* status = std::get_if<ExitStatus>(&records))
        return *status;
    const QJsonObject document = recordJson(std::get<std::vector<ConfigRecord>>(records).front());
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    if (context.isSet(OutputOption))
        return saveBytes(context, context.value(OutputOption), text);
    if (context.json)
        context.document[QStringLiteral("record")] = document;
    else
        context.console.out << text << Qt::flush;
    return ExitStatus::Success;
}

// A configuration file made from the JSON, over the base file when one is given; nothing is
// written when any value is refused.
ExitStatus importCommand(CommandContext& context)
{
    if (!context.isSet(OutputOption))
        return refuse(context, QStringLiteral("Не указан файл: -o ФАЙЛ.rcf"), ExitStatus::Usage);
    const auto document = openDocument(context, context.arguments().front());
    if (const auto* status = std::get_if<ExitStatus>(&document))
        return *status;
    std::optional<ConfigRecord> base;
    if (context.isSet(BaseOption)) {
        const auto opened = fileRecord(context, context.value(BaseOption));
        if (const auto* status = std::get_if<ExitStatus>(&opened))
            return *status;
        base = std::get<ConfigRecord>(opened);
    }
    JsonImport imported = recordFromJson(std::get<QJsonObject>(document), base);
    if (!imported.record) {
        for (const QString& refusal : imported.refusals)
            logLine(context.console, refusal);
        context.document[QStringLiteral("refusals")] = QJsonArray::fromStringList(imported.refusals);
        return ExitStatus::Refused;
    }
    const QString name = context.value(OutputOption);
    return reportSave(context, name, saveConfigFile(name, *imported.record, TCrc()));
}
