#pragma once

#include <array>
#include <cstdint>

#include "editors/EditorForm.h"
#include "models/RecoderModel.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;

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

    // One handler for every check box on a bit of the flags word, and one for every gain slider.
    void FlagClick(RecorderField flag, bool ticked);
    // The gain slider of gains_[index].
    void GainChange(std::size_t index, int position);
    void RxLvlChange(int position);

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    // One gain slider with its value text and name label.
    struct Gain {
        RecorderField field;
        QLabel* name;
        QLabel* value;
        QSlider* slider;
    };

    void buildRecorderPage();
    QGroupBox* flagGroup(QWidget* parent, const QString& title, RecorderField first,
                         RecorderField last);
    QGroupBox* gainGroup(QWidget* parent);
    void buildRxLevelPage();
    void showGain(std::size_t index, int step);
    void showRxLevel(int level);
    void showRxLevelPage();

    RecoderModel model_;
    std::array<QCheckBox*, RecorderFlagCount> flags_{};
    std::array<Gain, 2> gains_{};
    QWidget* rxLevelPage_ = nullptr;
    QSlider* RxLvl = nullptr;
    QLabel* RxLvlVal = nullptr;
};
