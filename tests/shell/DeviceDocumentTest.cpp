#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "shell/DeviceDocument.h"

namespace {

RecordBytes recordOf(std::uint16_t typeWord)
{
    ConfigRecord record = ConfigRecord::blank();
    record.setTypeWord(typeWord);
    record.bytes[0] = 0x5A;
    return record.bytes;
}

TEST(DeviceDocument, InstallingAndDroppingTellTheWindowAndKeepTheFileNameRule)
{
    DeviceDocument document;
    QSignalSpy replaced(&document, &DeviceDocument::recordReplaced);
    EXPECT_EQ(document.state(), RecordState::None);
    EXPECT_EQ(document.fileName(), "Rxx.rcf");
    EXPECT_FALSE(document.typeWord());

    document.setFileName("/tmp/a.rcf");
    document.install(recordOf(0x2001));
    EXPECT_EQ(document.state(), RecordState::Loaded);
    EXPECT_EQ(document.typeWord(), 0x2001);
    EXPECT_EQ(document.fileName(), "/tmp/a.rcf") << "a read keeps the file name";

    document.drop();
    EXPECT_EQ(document.state(), RecordState::None);
    EXPECT_FALSE(document.record());
    EXPECT_EQ(document.fileName(), "Rxx.rcf");

    document.installBlank(ConfigRecord::blank());
    EXPECT_EQ(document.state(), RecordState::Blank);
    EXPECT_EQ(replaced.count(), 3);
}

TEST(DeviceDocument, WriteRequestFollowsTheLevelAndIsEmptyWithoutARecord)
{
    DeviceDocument document;
    EXPECT_EQ(document.writeRequest().count, 0);
    document.install(recordOf(0x2000));
    EXPECT_EQ(document.writeRequest().count, 110);
    EXPECT_EQ(document.writeRequest().record, document.record()->bytes);
    document.setLevel(LevelBoard);
    EXPECT_EQ(document.writeRequest().count, 200);
}

TEST(DeviceDocument, SavedFileReadsBackWithItsCrcAndAFileThatDoesNotOpenIsNamedAnyway)
{
    QTemporaryDir folder;
    DeviceDocument document;
    EXPECT_FALSE(document.save()) << "nothing to save without a record";
    document.install(recordOf(0x2000));
    document.setFileName(folder.filePath("saved.rcf"));
    ASSERT_EQ(document.save(), SaveFileResult::Saved);

    DeviceDocument other;
    const OpenedConfig opened = other.read(folder.filePath("saved.rcf"));
    ASSERT_EQ(opened.result, OpenFileResult::Opened);
    EXPECT_EQ(opened.record.bytes, document.record()->bytes) << "the CRC was stamped on saving";
    EXPECT_FALSE(other.record()) << "the caller installs what was read";

    EXPECT_EQ(other.read(folder.filePath("missing.rcf")).result, OpenFileResult::CannotOpen);
    EXPECT_EQ(other.fileName(), folder.filePath("missing.rcf"));
}

} // namespace
