#include "editors/CodecForm.h"

#include <QButtonGroup>
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

QString controlName(CodecField field)
{
    return QString::fromLatin1(codecField(field).control);
}

RadioGroup makeChoice(QWidget* parent, CodecField field, int columns)
{
    const Field& described = codecField(field);
    return makeRadioGroup(parent, controlName(field), described.label,
                          fieldItems(described, {}), columns);
}

QCheckBox* makeFlag(QWidget* parent, CodecField field)
{
    return makeCheckBox(parent, controlName(field), codecField(field).label);
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

    connect(gains_[In1].slider, &QSlider::valueChanged, this, &TFCodec::RxLev_1Change);
    connect(gains_[In2].slider, &QSlider::valueChanged, this, &TFCodec::RxLev_2Change);
    connect(gains_[Out1].slider, &QSlider::valueChanged, this, &TFCodec::TxLev_1Change);
    connect(gains_[Out2].slider, &QSlider::valueChanged, this, &TFCodec::TxLev_2Change);
    Sample.onChosen(this, [this](int item) { SampleClick(item); });
    DEEMP.onChosen(this, [this](int index) { DEEMPClick(index); });
    onToggled(ADCHP, this, [this](bool checked) { ADCHPClick(checked); });
    onToggled(MicBoost, this, [this](bool checked) { MicBoostClick(checked); });
    onToggled(MicMute, this, [this](bool checked) { MicMuteClick(checked); });
    INSEL.onChosen(this, [this](int index) { InSelClick(index); });
    onToggled(PwrLine, this, [this](bool checked) { PowerLineClick(checked); });
    onToggled(PwrMic, this, [this](bool checked) { PowerMicClick(checked); });
}

TFCodec::Gain TFCodec::makeGain(QWidget* parent, CodecField field, const QString& valueName,
                                const QString& labelName)
{
    const Field& described = codecField(field);
    const int ticks = tickInterval(field);
    Gain gain{field, makeNameLabel(parent, labelName), makeValueText(parent, valueName),
              makeVerticalSlider(parent, controlName(field), described.range.minimum,
                                 described.range.maximum, ticks, ticks)};
    // The window starts at 0 dB until the block is loaded.
    showGain(gain, fieldDefault(described, {}));
    return gain;
}

void TFCodec::buildGainPage()
{
    QWidget* page = addPage(QStringLiteral("Усилители"));
    gains_[In1] = makeGain(page, CodecField::In1, QStringLiteral("InLev1"), QStringLiteral("LabelIn1"));
    gains_[In2] = makeGain(page, CodecField::In2, QStringLiteral("InLev2"), QStringLiteral("LabelIn2"));
    gains_[Out1] = makeGain(page, CodecField::Out1, QStringLiteral("OutLev1"),
                            QStringLiteral("LabelOut1"));
    gains_[Out2] = makeGain(page, CodecField::Out2, QStringLiteral("OutLev2"),
                            QStringLiteral("LabelOut2"));

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(gainGroup(page, QStringLiteral("Усиление по входу (дБ)"), gains_[In1],
                                gains_[In2]));
    layout->addWidget(gainGroup(page, QStringLiteral("Усиление по выходу (дБ)"), gains_[Out1],
                                gains_[Out2]));
}

// Two gains side by side, each a name label over a value text over its slider.
QGroupBox* TFCodec::gainGroup(QWidget* parent, const QString& title, const Gain& left,
                              const Gain& right)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QGridLayout(group);
    int column = 0;
    for (const Gain* gain : {&left, &right}) {
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

    auto* power = new QGroupBox(QStringLiteral("Питание входных усилителей"), page);
    PwrMic = makeFlag(power, CodecField::MicPower);
    PwrLine = makeFlag(power, CodecField::LinePower);
    auto* powerLayout = new QVBoxLayout(power);
    powerLayout->addWidget(PwrMic);
    powerLayout->addWidget(PwrLine);

    INSEL = makeChoice(page, CodecField::Input, 1);

    auto* microphone = new QGroupBox(QStringLiteral("Микрофонный усилитель"), page);
    MicMute = makeFlag(microphone, CodecField::MicMute);
    MicBoost = makeFlag(microphone, CodecField::MicBoost);
    ADCHP = makeFlag(microphone, CodecField::HighPass);
    auto* microphoneLayout = new QVBoxLayout(microphone);
    microphoneLayout->addWidget(MicMute);
    microphoneLayout->addWidget(MicBoost);
    microphoneLayout->addWidget(ADCHP);

    DEEMP = makeChoice(page, CodecField::Deemphasis, 4);
    Sample = makeChoice(page, CodecField::SampleRate, 2);

    auto* layout = new QGridLayout(page);
    layout->addWidget(power, 0, 0);
    layout->addWidget(INSEL.box, 0, 1);
    layout->addWidget(microphone, 1, 0);
    layout->addWidget(Sample.box, 1, 1);
    layout->addWidget(DEEMP.box, 2, 0, 1, 2);
}

void TFCodec::RxLev_1Change(int position)
{
    gainChange(gains_[In1], position);
}

void TFCodec::RxLev_2Change(int position)
{
    gainChange(gains_[In2], position);
}

void TFCodec::TxLev_1Change(int position)
{
    gainChange(gains_[Out1], position);
}

void TFCodec::TxLev_2Change(int position)
{
    gainChange(gains_[Out2], position);
}

void TFCodec::SampleClick(int item)
{
    changed(model_.set(CodecField::SampleRate, item));
}

void TFCodec::DEEMPClick(int index)
{
    changed(model_.set(CodecField::Deemphasis, index));
}

void TFCodec::ADCHPClick(bool checked)
{
    changed(model_.set(CodecField::HighPass, checked));
}

void TFCodec::MicBoostClick(bool checked)
{
    changed(model_.set(CodecField::MicBoost, checked));
}

void TFCodec::MicMuteClick(bool checked)
{
    changed(model_.set(CodecField::MicMute, checked));
}

void TFCodec::InSelClick(int index)
{
    changed(model_.set(CodecField::Input, index));
}

void TFCodec::PowerLineClick(bool checked)
{
    changed(model_.set(CodecField::LinePower, checked));
}

void TFCodec::PowerMicClick(bool checked)
{
    changed(model_.set(CodecField::MicPower, checked));
}

void TFCodec::gainChange(const Gain& gain, int position)
{
    const Field& described = codecField(gain.field);
    const int code = levelAt(described, position);
    gain.value->setText(gainText(described, code));
    changed(model_.set(gain.field, code));
}

void TFCodec::showModel()
{
    setWindowTitle(model_.caption());
    for (const Gain& gain : gains_) {
        gain.name->setText(fieldLabel(codecField(gain.field), model_.context()));
        showGain(gain, model_.value(gain.field));
    }

    Sample.box->setEnabled(model_.sampleRateSelectable());
    Sample.choose(model_.value(CodecField::SampleRate));
    showChecked(ADCHP, model_.value(CodecField::HighPass) != 0);
    DEEMP.choose(model_.value(CodecField::Deemphasis));
    INSEL.choose(model_.value(CodecField::Input));
    showChecked(MicMute, model_.value(CodecField::MicMute) != 0);
    showChecked(MicBoost, model_.value(CodecField::MicBoost) != 0);
    showChecked(PwrLine, model_.value(CodecField::LinePower) != 0);
    showChecked(PwrMic, model_.value(CodecField::MicPower) != 0);
}

// A code below the slider's range (the chip's mute range) leaves the slider at its bottom end.
void TFCodec::showGain(const Gain& gain, int code)
{
    const Field& described = codecField(gain.field);
    showPosition(gain.slider, levelPosition(described, code));
    gain.value->setText(gainText(described, code));
}
