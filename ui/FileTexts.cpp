#include "ui/FileTexts.h"

QString cannotCreateText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName + QStringLiteral(" не удается создать");
}

QString cannotWriteText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName + QStringLiteral(" не удается записать");
}
