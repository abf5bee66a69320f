#pragma once

#include "editors/EditorForm.h"
#include "models/CodecModel.h"

class QGroupBox;

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

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    void buildGainPage();
    LevelControls makeGain(QWidget* parent, CodecField field, const QString& valueName,
                           const QString& labelName);
    static QGroupBox* gainGroup(QWidget* parent, const QString& title, const LevelControls& left,
                                const LevelControls& right);
    void buildExtraPage();

    CodecModel model_;
};
