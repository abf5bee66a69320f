#include "config/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FileSizeLimit.h"

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray toByteArray(const RecordBytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

ConfigRecord patternedRecord()
{
    ConfigRecord record;
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i)
        record.bytes[i] = static_cast<uint8_t>(i * 13 + 5);
    return record;
}

// The file bytes of a valid configuration file.
QByteArray validFileBytes(const TCrc& crc)
{
    ConfigRecord record = patternedRecord();
    stampCrc(crc, record);
    return toByteArray(record.bytes);
}


// Runs `save` in a child process that may write the files of `folder` but not make new entries in
// it: the folder is closed to writing, and a root test run drops to an unprivileged user, for
// whom permissions hold. Returns what `save` returned.
SaveFileResult saveInClosedFolder(const QString& folder, const QString& file,
                                  const std::function<SaveFileResult()>& save)
{
    constexpr uid_t Nobody = 65534;
    const QByteArray folderPath = QFile::encodeName(folder);
    const QByteArray filePath = QFile::encodeName(file);
    if (geteuid() == 0 && chown(filePath.constData(), Nobody, Nobody) != 0)
        return SaveFileResult::CannotCreate;
    chmod(folderPath.constData(), 0555);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(100);
        _exit(static_cast<int>(save()));
    }
    int status = 0;
    waitpid(child, &status, 0);
    chmod(folderPath.constData(), 0700);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 100) << "could not drop to an unprivileged user";
    return static_cast<SaveFileResult>(WEXITSTATUS(status));
}

class ConfigFileTest : public testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList entries() const
    {
        const auto filter = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        return QDir(dir.path()).entryList(filter, QDir::Name);
    }

    QTemporaryDir dir;
    const TCrc crc;
};

} // namespace

TEST_F(ConfigFileTest, OpenRejectsAFileThatIsNot212BytesLong)
{
    const QByteArray valid = validFileBytes(crc);
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"211 bytes", valid.left(211)},
        {"213 bytes", valid + '\0'},
        {"424 bytes", valid + valid},
    };
    for (const Case& c : cases) {
        writeFile("wrong.rcf", c.bytes);
        EXPECT_EQ(openConfigFile(path("wrong.rcf"), crc).result, OpenFileResult::WrongSize)
            << c.name;
    }
}

TEST_F(ConfigFileTest, OpenReportsAFileThatCannotBeOpened)
{
    struct Case { const char* name; QString fileName; };
    const Case cases[] = {
        {"missing file", path("missing.rcf")},
        {"directory", dir.path()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openConfigFile(c.fileName, crc).result, OpenFileResult::CannotOpen) << c.name;
}

TEST_F(ConfigFileTest, OpenRejectsAFileWhoseCrcWordDoesNotMatch)
{
    QByteArray wrongCrcByte = validFileBytes(crc);
    wrongCrcByte[1] = static_cast<char>(wrongCrcByte[1] ^ 0x80);
    QByteArray changedImageByte = validFileBytes(crc);
    changedImageByte[150] = static_cast<char>(changedImageByte[150] ^ 0x01);
    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"212 zero bytes", QByteArray(212, '\0')},
        {"CRC word changed", wrongCrcByte},
        {"image byte changed", changedImageByte},
    };
    for (const Case& c : cases) {
        writeFile("bad.rcf", c.bytes);
        EXPECT_EQ(openConfigFile(path("bad.rcf"), crc).result, OpenFileResult::CrcMismatch)
            << c.name;
    }
}

TEST_F(ConfigFileTest, OpenIgnoresTheIdentityBlock)
{
    QByteArray bytes = validFileBytes(crc);
    for (int i = 200; i < 212; ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
    writeFile("identity.rcf", bytes);

    const OpenedConfig opened = openConfigFile(path("identity.rcf"), crc);
    EXPECT_EQ(opened.result, OpenFileResult::Opened);
    EXPECT_EQ(toByteArray(opened.record.bytes), bytes);
}

TEST_F(ConfigFileTest, SavedBlankRecordOpensWithTheSameBytes)
{
    ConfigRecord record = ConfigRecord::blank();
    ASSERT_EQ(saveConfigFile(path("blank.rcf"), record, crc), SaveFileResult::Saved);

    const OpenedConfig opened = openConfigFile(path("blank.rcf"), crc);
    EXPECT_EQ(opened.result, OpenFileResult::Opened);
    EXPECT_EQ(opened.record.bytes, record.bytes);
    EXPECT_EQ(opened.record.typeWord(), 0x1000);
}

TEST_F(ConfigFileTest, SaveWritesTheRecordWithTheRecomputedCrc)
{
    ConfigRecord record = patternedRecord();
    record.bytes[0] = 0xDE;
    record.bytes[1] = 0xAD;
    const uint16_t expectedCrc = ConfigCrc(crc, record);

    ASSERT_EQ(saveConfigFile(path("stamped.rcf"), record, crc), SaveFileResult::Saved);

    const QByteArray saved = readFile("stamped.rcf");
    ASSERT_EQ(saved.size(), 212);
    EXPECT_EQ(static_cast<uint8_t>(saved[0]), expectedCrc & 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(saved[1]), expectedCrc >> 8);
    EXPECT_EQ(saved.mid(2), toByteArray(patternedRecord().bytes).mid(2));
    EXPECT_EQ(record.storedCrc(), expectedCrc);
}

TEST_F(ConfigFileTest, SaveUsesTheNameExactlyAsGiven)
{
    ConfigRecord record = ConfigRecord::blank();
    ASSERT_EQ(saveConfigFile(path("config"), record, crc), SaveFileResult::Saved);
    EXPECT_EQ(entries(), QStringList{"config"});
    EXPECT_EQ(readFile("config"), toByteArray(record.bytes));
}

TEST_F(ConfigFileTest, SaveReplacesALongerExistingFile)
{
    writeFile("old.rcf", QByteArray(500, 'x'));
    ConfigRecord record = patternedRecord();
    ASSERT_EQ(saveConfigFile(path("old.rcf"), record, crc), SaveFileResult::Saved);
    EXPECT_EQ(readFile("old.rcf"), toByteArray(record.bytes));
    EXPECT_EQ(entries(), QStringList{"old.rcf"});
}

TEST_F(ConfigFileTest, SaveReportsAFileThatCannotBeCreated)
{
    const QByteArray regular("not a directory");
    writeFile("afile", regular);
    struct Case { const char* name; QString fileName; };
    const Case cases[] = {
        {"parent is a regular file", path("afile/x.rcf")},
        {"parent does not exist", path("nodir/x.rcf")},
        {"name is a directory", dir.path()},
    };
    for (const Case& c : cases) {
        ConfigRecord record = patternedRecord();
        EXPECT_EQ(saveConfigFile(c.fileName, record, crc), SaveFileResult::CannotCreate) << c.name;
        EXPECT_EQ(record.bytes, patternedRecord().bytes) << "the record is left unstamped";
    }
    EXPECT_EQ(readFile("afile"), regular);
    EXPECT_EQ(entries(), QStringList{"afile"});
}

TEST_F(ConfigFileTest, SaveIntoAFolderClosedToNewFilesWritesTheExistingFileDirectly)
{
    writeFile("kept.rcf", QByteArray(212, 'x'));
    ConfigRecord record = patternedRecord();
    const SaveFileResult result = saveInClosedFolder(dir.path(), path("kept.rcf"), [&] {
        return saveConfigFile(path("kept.rcf"), record, crc);
    });
    EXPECT_EQ(result, SaveFileResult::Saved);
    EXPECT_EQ(readFile("kept.rcf"), validFileBytes(crc));
    EXPECT_EQ(entries(), QStringList{"kept.rcf"});

    ConfigRecord another = patternedRecord();
    EXPECT_EQ(saveInClosedFolder(dir.path(), path("kept.rcf"),
                                 [&] { return saveConfigFile(path("new.rcf"), another, crc); }),
              SaveFileResult::CannotCreate)
        << "a new file still cannot be made there";
    EXPECT_EQ(entries(), QStringList{"kept.rcf"});
}

TEST_F(ConfigFileTest, FailedWriteLeavesThePreviousFileAsItWas)
{
    const QByteArray previous = validFileBytes(crc);
    writeFile("kept.rcf", previous);
    ConfigRecord record = ConfigRecord::blank();

    SaveFileResult result;
    {
        const FileSizeLimit limit(100);
        result = saveConfigFile(path("kept.rcf"), record, crc);
    }

    EXPECT_EQ(result, SaveFileResult::WriteFailed);
    EXPECT_EQ(readFile("kept.rcf"), previous);
    EXPECT_EQ(entries(), QStringList{"kept.rcf"});
}
