#include "config/FirmwareFile.h"

#include <new>

#include <QFile>
#include <QFileInfo>

std::shared_ptr<const FirmwareImage> readWhole(QIODevice& device, qint64 size)
{
    if (size < 0 || size > LargestFirmwareImage)
        return nullptr;
    std::shared_ptr<FirmwareImage> image;
    try {
        image = std::make_shared<FirmwareImage>(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 got = device.read(reinterpret_cast<char*>(image->data()) + done, size - done);
        if (got <= 0)
            return nullptr;
        done += got;
    }
    return image;
}

std::shared_ptr<const FirmwareImage> readFirmwareFile(const QString& fileName)
{
    // A pipe or a device would block or never end; only a file has a size to read.
    if (!QFileInfo(fileName).isFile())
        return nullptr;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return readWhole(file, file.size());
}
