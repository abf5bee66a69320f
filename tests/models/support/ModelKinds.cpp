#include "support/ModelKinds.h"

#include "models/AudioModel.h"
#include "models/BoardModel.h"
#include "models/CodecModel.h"
#include "models/LinkModel.h"
#include "models/NetModel.h"
#include "models/RecoderModel.h"
#include "models/VocoderModel.h"

const std::vector<ModelKind>& modelKinds()
{
    static const std::vector<ModelKind> kinds{
        {"amplifier", Blocks::Amplifier,
         [](ConfigRecord& r, AccessLevel) {
             return std::make_unique<AudioModel>(r.data(Blocks::Amplifier));
         }},
        {"codec", Blocks::Codec,
         [](ConfigRecord& r, AccessLevel level) {
             return std::make_unique<CodecModel>(
                 CodecInputs{level, r.data(Blocks::Identity), r.data(Blocks::Codec)});
         }},
        {"vocoder", Blocks::Vocoder,
         [](ConfigRecord& r, AccessLevel) {
             return std::make_unique<VocoderModel>(
                 VocoderInputs{r.data(Blocks::Identity), r.data(Blocks::Vocoder)});
         }},
        {"recorder", Blocks::Recorder,
         [](ConfigRecord& r, AccessLevel) {
             return std::make_unique<RecoderModel>(
                 RecoderInputs{r.data(Blocks::Identity), r.data(Blocks::Recorder)});
         }},
        {"link", Blocks::Link,
         [](ConfigRecord& r, AccessLevel level) {
             return std::make_unique<LinkModel>(
                 LinkInputs{level, r.data(Blocks::Identity), r.data(Blocks::Link)});
         }},
        {"network", Blocks::Net,
         [](ConfigRecord& r, AccessLevel) {
             return std::make_unique<NetModel>(
                 NetInputs{r.data(Blocks::Identity), r.data(Blocks::Net), r.data(Blocks::Board)});
         }},
    };
    return kinds;
}

RecordBytes openedAndSaved(const ModelKind& kind, const RecordBytes& bytes, AccessLevel level)
{
    ConfigRecord record;
    record.bytes = bytes;
    const std::unique_ptr<EditorModel> model = kind.make(record, level);
    model->LoadBlock();
    model->save();
    return record.bytes;
}

namespace {
BoardEntries shownEntries(const BoardModel& model, BoardEntry entry, const QLocale& locale,
                          const QDate& today)
{
    BoardEntries entries{model.serialNumber(), model.date(locale, today),
                         model.storedDescription()};
    if (entry == BoardEntry::Untouched)
        return entries;
    // Typed anew, the description's line breaks are entered ones: CR LF.
    const StoredText typed = StoredText::entered(model.description());
    if (acceptsDescription(typed))
        entries.description = typed;
    return entries;
}
}

std::optional<RecordBytes> boardOpenedAndSaved(const RecordBytes& bytes, BoardEntry entry,
                                               const QLocale& locale, const QDate& today)
{
    ConfigRecord record;
    record.bytes = bytes;
    BoardModel model;
    model.LoadBlock({record.data(Blocks::Identity), record.data(Blocks::Board)});
    if (entry == BoardEntry::EnteredAsShown && model.addressShown())
        model.setAddressText(model.addressText());
    if (model.save(shownEntries(model, entry, locale, today), locale))
        return std::nullopt;
    return record.bytes;
}
