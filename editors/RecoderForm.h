#pragma once

#include "editors/EditorForm.h"
#include "models/RecoderModel.h"

class QGroupBox;

// The recorder channel editor: the recorded sources, the signals that control and show the
// recording, the gain of each source and the RX level of the volume control. Every change while
// testing pushes the whole block.
class TFRecoder final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Регистратор"), Target::Recoder,
                                        TaskEvent::RecorderTest, TestStyle::Continuous, 72};

    // The tree node "Регистратор": opens the editor on the record's recorder block, or brings the
    // open one to the front.
    static TFRecoder* open(const EditorPlace& place, const RecoderInputs& inputs);

    TFRecoder(const EditorPlace& place, const RecoderInputs& inputs);

    // One handler for every check box on a bit of the flags word: the volume control's box also
    // shows or hides the "Уровень RX" page. Returns the word changed.
    int FlagClick(RecorderField flag, bool ticked);

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    void buildRecorderPage();
    QGroupBox* flagGroup(QWidget* parent, const QString& title, RecorderField first,
                         RecorderField last);
    QGroupBox* gainGroup(QWidget* parent);
    void buildRxLevelPage();
    void showRxLevelPage();

    RecoderModel model_;
    QWidget* rxLevelPage_ = nullptr;
};
