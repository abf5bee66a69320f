#include "models/FlashVerification.h"

QString verifyOptionText(LoadMode mode)
{
    return mode == LoadMode::Boot ? QStringLiteral("Проверка невозможна в режиме загрузчика")
                                  : QStringLiteral("Проверить после загрузки");
}

bool verifiesAfterLoad(bool asked, LoadMode mode)
{
    return asked && mode == LoadMode::Normal;
}

Ask::FlashRange::Range verificationRange(const std::shared_ptr<const FirmwareImage>& image)
{
    if (!image)
        return {};
    return {0, static_cast<std::int64_t>(image->size()), image};
}
