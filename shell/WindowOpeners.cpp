#include "shell/WindowOpeners.h"

#include <array>
#include <utility>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "editors/AudioForm.h"
#include "editors/BoardForm.h"
#include "editors/CodecForm.h"
#include "editors/LinkForm.h"
#include "editors/NetForm.h"
#include "editors/RecoderForm.h"
#include "editors/VocoderForm.h"
#include "shell/DeviceDocument.h"
#include "tasks/FlashForm.h"
#include "tasks/InfoForm.h"
#include "tasks/ReportForm.h"
#include "tasks/TraceForm.h"
#include "ui/ChildLayout.h"
#include "ui/ChildWindow.h"

namespace {

EditorPlace editorPlace(const OpenerPlace& place)
{
    return {place.area, place.registry, place.events, place.dialogs};
}

AccessLevel level(const OpenerPlace& place)
{
    return place.document.level();
}

// The window ends itself while being created when no file is chosen or read.
void openFirmware(const OpenerPlace& place)
{
    if (!place.registry.widget(Target::Flash))
        TFFlash::create({place.area, place.registry, place.events, place.dialogs});
    if (auto* flash = qobject_cast<QMdiSubWindow*>(place.registry.widget(Target::Flash)))
        showInFront(place.area, *flash);
}

// The trace window goes to the top left corner, however many windows are open, and fits the
// client area.
void openTrace(const OpenerPlace& place)
{
    if (auto* open = qobject_cast<QMdiSubWindow*>(place.registry.widget(Target::Trace))) {
        showInFront(place.area, *open);
        return;
    }
    auto* window = new TFTrace(place.registry, place.events, place.dialogs);
    place.area.addSubWindow(window);
    window->move(0, 0);
    window->resize(window->size().boundedTo(place.area.viewport()->size()));
    showInFront(place.area, *window);
}

// Unlike the other windows, an open statistics window takes the identity again.
void openStatistics(const OpenerPlace& place, ConfigRecord& record)
{
    auto* window = dynamic_cast<TFReport*>(place.registry.widget(Target::Report));
    if (!window) {
        const QPoint origin = childWindowOrigin(static_cast<int>(place.area.subWindowList().size()));
        window = new TFReport(place.registry, place.events, place.dialogs);
        place.area.addSubWindow(window);
        window->move(origin);
    }
    window->LoadIdentity(record.data(Blocks::Identity));
    showInFront(place.area, *window);
}

// Stamped every time it is asked for; a window already open keeps what it shows.
void openInfo(const OpenerPlace& place, ConfigRecord& record)
{
    place.document.stampCrc();
    TFInfo::open(place.area, InfoInputs{record.data(Blocks::Board), record.data(Blocks::Identity),
                                        record.storedCrc(), CONFIG_RECORD_SIZE});
}

void openAmplifier(const OpenerPlace& place, ConfigRecord& record)
{
    TFAudio::open(editorPlace(place), record.data(Blocks::Amplifier));
}

void openCodec(const OpenerPlace& place, ConfigRecord& record)
{
    TFCodec::open(editorPlace(place),
                  CodecInputs{level(place), record.data(Blocks::Identity), record.data(Blocks::Codec)});
}

void openRecorder(const OpenerPlace& place, ConfigRecord& record)
{
    TFRecoder::open(editorPlace(place),
                    RecoderInputs{record.data(Blocks::Identity), record.data(Blocks::Recorder)});
}

void openVocoder(const OpenerPlace& place, ConfigRecord& record)
{
    TFVocoder::open(editorPlace(place),
                    VocoderInputs{record.data(Blocks::Identity), record.data(Blocks::Vocoder)});
}

void openLink(const OpenerPlace& place, ConfigRecord& record)
{
    TFLink::open(editorPlace(place),
                 LinkInputs{level(place), record.data(Blocks::Identity), record.data(Blocks::Link)});
}

void openBoard(const OpenerPlace& place, ConfigRecord& record)
{
    TFBoard::open(place.area, place.dialogs,
                  BoardInputs{record.data(Blocks::Identity), record.data(Blocks::Board)});
}

void openNet(const OpenerPlace& place, ConfigRecord& record)
{
    TFNet::open(editorPlace(place), NetInputs{record.data(Blocks::Identity),
                                              record.data(Blocks::Net), record.data(Blocks::Board)});
}

// A window on the record opens only while there is one: the editors keep references into it.
template <void (*Open)(const OpenerPlace&, ConfigRecord&)>
void withRecord(const OpenerPlace& place)
{
    if (std::optional<ConfigRecord>& record = place.document.record())
        Open(place, *record);
}

using Opener = void (*)(const OpenerPlace&);

const std::array<std::pair<TreeCommand, Opener>, 13>& openers()
{
    static const std::array<std::pair<TreeCommand, Opener>, 13> table{{
        {TreeCommand::Read, [](const OpenerPlace& place) { place.read(); }},
        {TreeCommand::Write, [](const OpenerPlace& place) { place.write(); }},
        {TreeCommand::Firmware, openFirmware},
        {TreeCommand::Trace, openTrace},
        {TreeCommand::Statistics, withRecord<openStatistics>},
        {TreeCommand::Info, withRecord<openInfo>},
        {TreeCommand::Amplifier, withRecord<openAmplifier>},
        {TreeCommand::Codec, withRecord<openCodec>},
        {TreeCommand::Recorder, withRecord<openRecorder>},
        {TreeCommand::Vocoder, withRecord<openVocoder>},
        {TreeCommand::Link, withRecord<openLink>},
        {TreeCommand::BoardInfo, withRecord<openBoard>},
        {TreeCommand::Net, withRecord<openNet>},
    }};
    return table;
}

} // namespace

void runTreeCommand(TreeCommand command, const OpenerPlace& place)
{
    for (const auto& [nodeCommand, open] : openers())
        if (nodeCommand == command)
            open(place);
}
