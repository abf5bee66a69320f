#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "config/ConfigFile.h"
#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "shell/RecordCommands.h"

// The main window's document: the one configuration record, which kind of record it is, the file
// it belongs to and the service level it is worked on in. Editors hold references into the
// record, so it is replaced only by installing new bytes in place or dropping it.
class DeviceDocument : public QObject {
    Q_OBJECT
public:
    static inline const QString DefaultFileName = QStringLiteral("Rxx.rcf");

    const std::optional<ConfigRecord>& record() const { return record_; }
    std::optional<ConfigRecord>& record() { return record_; }
    RecordState state() const { return state_; }
    const QString& fileName() const { return fileName_; }
    AccessLevel level() const { return level_; }
    // The record's TypeWord, when there is a record.
    std::optional<std::uint16_t> typeWord() const;

    // A read or an opened file: the record of a controller.
    void install(const RecordBytes& bytes);
    // The record the board service levels prepare from a model and edition.
    void installBlank(const ConfigRecord& blank);
    // Drops the record; the file name goes back to the default.
    void drop();
    void setLevel(AccessLevel level) { level_ = level; }

    // Reads a configuration file, which becomes the document's file whatever the outcome; the
    // record it holds is installed by the caller.
    OpenedConfig read(const QString& fileName);
    // Stamps the CRC and saves the record in its file; nothing to save without a record.
    std::optional<SaveFileResult> save();
    void setFileName(const QString& fileName) { fileName_ = fileName; }
    // Stamps the CRC into the record, before it is written or shown.
    void stampCrc();
    // Code 9 of the write task: the level's byte count and a copy of the record; nothing to write
    // without a record.
    WriteRequest writeRequest() const;

signals:
    // The record was installed or dropped: the commands that need one follow it.
    void recordReplaced();

private:
    TCrc crc_;
    std::optional<ConfigRecord> record_;
    RecordState state_ = RecordState::None;
    QString fileName_ = DefaultFileName;
    AccessLevel level_ = LevelUser;
};
