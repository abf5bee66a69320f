#include "ui/Images.h"

#include <QFile>

// The pictures live in a static library, whose resource registration the linker would drop.
static bool registerImages()
{
    Q_INIT_RESOURCE(icons);
    return true;
}

QIcon image(int index)
{
    static const bool registered = registerImages();
    Q_UNUSED(registered);
    const QString name = QStringLiteral(":/icons/%1.png").arg(index, 2, 10, QChar(u'0'));
    if (!QFile::exists(name))
        return {};
    // The @2x variant beside each picture is picked up for high-density screens.
    return QIcon(name);
}
