#pragma once

#include <cstdint>

#include "editors/EditorForm.h"
#include "models/AudioModel.h"

// The audio amplifier editor "Усилитель НЧ": gain level and modulation of the amplifier block.
class TFAudio final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Усилитель НЧ"), Target::Audio,
                                        TaskEvent::AmplifierTest, TestStyle::Continuous, 68};

    // The tree node "Усилитель НЧ": opens the editor on the record's amplifier block, or brings
    // the open one to the front.
    static TFAudio* open(const EditorPlace& place, std::uint8_t* amplifierBlock);

    TFAudio(const EditorPlace& place, std::uint8_t* amplifierBlock);

protected:
    EditorModel& model() override { return model_; }

private:
    AudioModel model_;
};
