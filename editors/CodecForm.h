#pragma once

#include <array>

#include "editors/EditorControls.h"
#include "editors/EditorForm.h"
#include "models/CodecModel.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;

// The audio codec editor: input and output gains, input, filter and sample-rate settings of the
// codec block, each change pushing the one register write it made.
class TFCodec final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Аудио кодек"), Target::Codec,
                                        TaskEvent::CodecTest, TestStyle::Continuous, 66};

    // The tree node "Кодек": opens the editor on the record's codec block, or brings the open one
    // to the front.
    static TFCodec* open(const EditorPlace& place, const CodecInputs& inputs);

    TFCodec(const EditorPlace& place, const CodecInputs& inputs);

    void RxLev_1Change(int position);
    void RxLev_2Change(int position);
    void TxLev_1Change(int position);
    void TxLev_2Change(int position);
    void SampleClick(int item);
    void DEEMPClick(int index);
    void ADCHPClick(bool checked);
    void MicBoostClick(bool checked);
    void MicMuteClick(bool checked);
    void InSelClick(int index);
    void PowerLineClick(bool checked);
    void PowerMicClick(bool checked);

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    // One gain slider with its value text and name label.
    struct Gain {
        CodecField field;
        QLabel* name;
        QLabel* value;
        QSlider* slider;
    };
    enum GainIndex { In1, In2, Out1, Out2 };

    void buildGainPage();
    static QGroupBox* gainGroup(QWidget* parent, const QString& title, const Gain& left,
                                const Gain& right);
    void buildExtraPage();
    Gain makeGain(QWidget* parent, CodecField field, const QString& valueName,
                  const QString& labelName);
    void gainChange(const Gain& gain, int position);
    void showGain(const Gain& gain, int code);

    CodecModel model_;
    std::array<Gain, 4> gains_{};
    QCheckBox* PwrMic = nullptr;
    QCheckBox* PwrLine = nullptr;
    QCheckBox* MicMute = nullptr;
    QCheckBox* MicBoost = nullptr;
    QCheckBox* ADCHP = nullptr;
    RadioGroup INSEL{};
    RadioGroup DEEMP{};
    RadioGroup Sample{};
};
