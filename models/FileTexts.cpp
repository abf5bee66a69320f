#include "models/FileTexts.h"

QString cannotCreateText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName + QStringLiteral(" не удается создать");
}

QString cannotWriteText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName + QStringLiteral(" не удается записать");
}

std::optional<QString> saveFailureText(SaveFileResult result, const QString& fileName)
{
    switch (result) {
    case SaveFileResult::Saved:
        break;
    case SaveFileResult::CannotCreate:
        return cannotCreateText(fileName);
    case SaveFileResult::WriteFailed:
        return cannotWriteText(fileName);
    }
    return std::nullopt;
}
