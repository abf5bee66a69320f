#include "shell/DeviceDocument.h"

std::optional<std::uint16_t> DeviceDocument::typeWord() const
{
    return record_ ? std::optional(record_->typeWord()) : std::nullopt;
}

void DeviceDocument::install(const RecordBytes& bytes)
{
    record_ = ConfigRecord{bytes};
    state_ = RecordState::Loaded;
    emit recordReplaced();
}

void DeviceDocument::installBlank(const ConfigRecord& blank)
{
    record_ = blank;
    state_ = RecordState::Blank;
    emit recordReplaced();
}

void DeviceDocument::drop()
{
    record_.reset();
    state_ = RecordState::None;
    fileName_ = DefaultFileName;
    emit recordReplaced();
}

OpenedConfig DeviceDocument::read(const QString& fileName)
{
    fileName_ = fileName;
    return openConfigFile(fileName_, crc_);
}

std::optional<SaveFileResult> DeviceDocument::save()
{
    if (!record_)
        return std::nullopt;
    return saveConfigFile(fileName_, *record_, crc_);
}

void DeviceDocument::stampCrc()
{
    if (record_)
        ::stampCrc(crc_, *record_);
}

WriteRequest DeviceDocument::writeRequest() const
{
    return record_ ? answerWriteRequest(*record_, level_) : WriteRequest{};
}
