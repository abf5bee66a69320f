#pragma once

#include "editors/EditorForm.h"
#include "models/VocoderModel.h"

class QGroupBox;

// The vocoder editor: bit rate, push-to-talk control, run mode, audio packet duration and jitter
// buffer of the vocoder block, each choice pushing the whole block.
class TFVocoder final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Вокодер"), Target::Vocoder,
                                        TaskEvent::VocoderTest, TestStyle::Continuous, 71};

    // The tree node "Вокодер": opens the editor on the record's vocoder block, or brings the open
    // one to the front.
    static TFVocoder* open(const EditorPlace& place, const VocoderInputs& inputs);

    TFVocoder(const EditorPlace& place, const VocoderInputs& inputs);

    // The operator chose an item in one of the lists: a new bit rate changes the duration list,
    // a new buffer mode the size label. Returns the list.
    int ChangeBox(VocoderList list, int position);

protected:
    EditorModel& model() override { return model_; }

private:
    void buildPage();
    QGroupBox* listGroup(QWidget* page, const QString& title, VocoderList first, VocoderList last);

    VocoderModel model_;
};
