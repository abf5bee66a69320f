#include <algorithm>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "config/FirmwareFile.h"

namespace {

QByteArray patterned(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 + i / 256 + 5);
    return bytes;
}

std::vector<std::uint8_t> asVector(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}

// A device that hands out some bytes and then fails, as a file on a failing disk does.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 goodBytes)
        : goodBytes_(goodBytes)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, goodBytes_ - given_);
        if (count <= 0)
            return -1;
        std::fill(data, data + count, 'x');
        given_ += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 goodBytes_;
    qint64 given_ = 0;
};

TEST(FirmwareFile, ReadsExactlyTheSizeOrNothing)
{
    QByteArray data = patterned(1000);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const auto whole = readWhole(buffer, 1000);
    ASSERT_TRUE(whole);
    EXPECT_EQ(*whole, asVector(data));

    buffer.seek(0);
    EXPECT_FALSE(readWhole(buffer, 1001)) << "shorter than its size";
    FailingDevice failing(300);
    EXPECT_FALSE(readWhole(failing, 1000)) << "read error";
    EXPECT_FALSE(readWhole(buffer, LargestFirmwareImage + 1)) << "too large to describe";
    EXPECT_FALSE(readWhole(buffer, -1));
}

TEST(FirmwareFile, AFileIsReadWholeAndAnythingElseNotAtAll)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("image.rom"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(patterned(300));
    file.close();
    const auto image = readFirmwareFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(*image, asVector(patterned(300)));
    EXPECT_FALSE(readFirmwareFile(folder.filePath(QStringLiteral("missing.rom"))));
    EXPECT_FALSE(readFirmwareFile(folder.path())) << "a folder";
}

} // namespace
