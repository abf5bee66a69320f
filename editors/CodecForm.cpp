#include "editors/CodecForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Slider positions between ticks: every step on the inputs, every second on the outputs.
int tickInterval(CodecField gain)
{
    return gain == CodecField::In1 || gain == CodecField::In2 ? 1 : 2;
}

} // namespace

TFCodec* TFCodec::open(const EditorPlace& place, const CodecInputs& inputs)
{
    return openEditor<TFCodec>(place, inputs);
}

TFCodec::TFCodec(const EditorPlace& place, const CodecInputs& inputs)
    : TFEditor(Kind, place)
    , model_(inputs)
{
    buildGainPage();
    buildExtraPage();
}

LevelControls TFCodec::makeGain(QWidget* parent, CodecField field, const QString& valueName,
                                const QString& labelName)
{
    const Field& described = codecField(field);
    const int ticks = tickInterval(field);
    const LevelControls gain =
        binder().level(parent, described, {valueName, labelName, ticks, ticks});
    // The window starts at 0 dB until the block is loaded.
    binder().show(described, fieldDefault(described, {}));
    return gain;
}

void TFCodec::buildGainPage()
{
    QWidget* page = addPage(QStringLiteral("Усилители"));
    const LevelControls in1 = makeGain(page, CodecField::In1, QStringLiteral("InLev1"),
                                       QStringLiteral("LabelIn1"));
    const LevelControls in2 = makeGain(page, CodecField::In2, QStringLiteral("InLev2"),
                                       QStringLiteral("LabelIn2"));
    const LevelControls out1 = makeGain(page, CodecField::Out1, QStringLiteral("OutLev1"),
                                        QStringLiteral("LabelOut1"));
    const LevelControls out2 = makeGain(page, CodecField::Out2, QStringLiteral("OutLev2"),
                                        QStringLiteral("LabelOut2"));

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(gainGroup(page, QStringLiteral("Усиление по входу (дБ)"), in1, in2));
    layout->addWidget(gainGroup(page, QStringLiteral("Усиление по выходу (дБ)"), out1, out2));
}

// Two gains side by side, each a name label over a value text over its slider.
QGroupBox* TFCodec::gainGroup(QWidget* parent, const QString& title, const LevelControls& left,
                              const LevelControls& right)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QGridLayout(group);
    int column = 0;
    for (const LevelControls* gain : {&left, &right}) {
        layout->addWidget(gain->name, 0, column);
        layout->addWidget(gain->value, 1, column);
        layout->addWidget(gain->slider, 2, column, Qt::AlignHCenter);
        ++column;
    }
    layout->setRowStretch(2, 1);
    return group;
}

void TFCodec::buildExtraPage()
{
    QWidget* page = addPage(QStringLiteral("Дополнительно"));

    FieldBinder& fields = binder();
    auto* power = new QGroupBox(QStringLiteral("Питание входных усилителей"), page);
    auto* powerLayout = new QVBoxLayout(power);
    for (CodecField flag : {CodecField::MicPower, CodecField::LinePower})
        powerLayout->addWidget(fields.flag(power, codecField(flag)));

    const RadioGroup INSEL = fields.radioGroup(page, codecField(CodecField::Input), 1);

    auto* microphone = new QGroupBox(QStringLiteral("Микрофонный усилитель"), page);
    auto* microphoneLayout = new QVBoxLayout(microphone);
    for (CodecField flag : {CodecField::MicMute, CodecField::MicBoost, CodecField::HighPass})
        microphoneLayout->addWidget(fields.flag(microphone, codecField(flag)));

    const RadioGroup DEEMP = fields.radioGroup(page, codecField(CodecField::Deemphasis), 4);
    const RadioGroup Sample = fields.radioGroup(page, codecField(CodecField::SampleRate), 2);

    auto* layout = new QGridLayout(page);
    layout->addWidget(power, 0, 0);
    layout->addWidget(INSEL.box, 0, 1);
    layout->addWidget(microphone, 1, 0);
    layout->addWidget(Sample.box, 1, 1);
    layout->addWidget(DEEMP.box, 2, 0, 1, 2);
}

void TFCodec::showModel()
{
    setWindowTitle(model_.caption());
    TFEditor::showModel();
}
