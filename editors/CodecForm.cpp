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

constexpr int MicrophoneInputItem = 1;

QStringList sampleRateItems()
{
    const auto& texts = sampleRateTexts();
    return QStringList(texts.begin(), texts.end());
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

TFCodec::Gain TFCodec::makeGain(QWidget* parent, CodecRegister reg, const QString& sliderName,
                                const QString& valueName, const QString& labelName)
{
    const GainScale& scale = gainScaleOf(reg);
    const int top = gainPositionOf(scale, scale.highestCode);
    const int bottom = gainPositionOf(scale, scale.lowestCode);
    Gain gain{reg, makeNameLabel(parent, labelName), makeValueText(parent, valueName),
              makeVerticalSlider(parent, sliderName, top, bottom, scale.tickInterval,
                                 scale.tickInterval)};
    // The window starts at 0 dB until the block is loaded.
    gain.slider->setValue(gainPositionOf(scale, scale.zeroCode));
    gain.value->setText(gainText(scale, scale.zeroCode));
    return gain;
}

void TFCodec::buildGainPage()
{
    QWidget* page = addPage(QStringLiteral("Усилители"));
    gains_[In1] = makeGain(page, LeftLineInput, QStringLiteral("RxLev_1"), QStringLiteral("InLev1"),
                           QStringLiteral("LabelIn1"));
    gains_[In2] = makeGain(page, RightLineInput, QStringLiteral("RxLev_2"), QStringLiteral("InLev2"),
                           QStringLiteral("LabelIn2"));
    gains_[Out1] = makeGain(page, LeftHeadphone, QStringLiteral("TxLev_1"),
                            QStringLiteral("OutLev1"), QStringLiteral("LabelOut1"));
    gains_[Out2] = makeGain(page, RightHeadphone, QStringLiteral("TxLev_2"),
                            QStringLiteral("OutLev2"), QStringLiteral("LabelOut2"));

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
    PwrMic = makeCheckBox(power, QStringLiteral("PwrMic"),
                          QStringLiteral("Усилитель микрофонного входа"));
    PwrLine = makeCheckBox(power, QStringLiteral("PwrLine"),
                           QStringLiteral("Усилитель линейного входа"));
    auto* powerLayout = new QVBoxLayout(power);
    powerLayout->addWidget(PwrMic);
    powerLayout->addWidget(PwrLine);

    INSEL = makeRadioGroup(page, QStringLiteral("INSEL"), QStringLiteral("Селектор входных каналов"),
                           {QStringLiteral("Линейный вход"), QStringLiteral("Микрофонный вход")}, 1);

    auto* microphone = new QGroupBox(QStringLiteral("Микрофонный усилитель"), page);
    MicMute = makeCheckBox(microphone, QStringLiteral("MicMute"), QStringLiteral("Режим молчания"));
    MicBoost = makeCheckBox(microphone, QStringLiteral("MicBoost"),
                            QStringLiteral("Дополнительное усиление +20 дБ"));
    ADCHP = makeCheckBox(microphone, QStringLiteral("ADCHP"), QStringLiteral("АЦП ВЧ фильтр "));
    auto* microphoneLayout = new QVBoxLayout(microphone);
    microphoneLayout->addWidget(MicMute);
    microphoneLayout->addWidget(MicBoost);
    microphoneLayout->addWidget(ADCHP);

    DEEMP = makeRadioGroup(page, QStringLiteral("DEEMP"), QStringLiteral("Фильтр частотной коррекции"),
                           {QStringLiteral("Откл."), QStringLiteral("32 кГц"),
                            QStringLiteral("44.1 кГц"), QStringLiteral("48 кГц")},
                           4);
    Sample = makeRadioGroup(page, QStringLiteral("Sample"), QStringLiteral("Ацп/Цап"),
                            sampleRateItems(), 2);

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
    changed(model_.setSampleRate(item));
}

void TFCodec::DEEMPClick(int index)
{
    changed(model_.setDeemphasis(index));
}

void TFCodec::ADCHPClick(bool checked)
{
    changed(model_.setHighPassFilter(checked));
}

void TFCodec::MicBoostClick(bool checked)
{
    changed(model_.setMicrophoneBoosted(checked));
}

void TFCodec::MicMuteClick(bool checked)
{
    changed(model_.setMicrophoneMuted(checked));
}

void TFCodec::InSelClick(int index)
{
    changed(model_.setMicrophoneInput(index == MicrophoneInputItem));
}

void TFCodec::PowerLineClick(bool checked)
{
    changed(model_.setLineInputPowered(checked));
}

void TFCodec::PowerMicClick(bool checked)
{
    changed(model_.setMicrophoneInputPowered(checked));
}

void TFCodec::gainChange(const Gain& gain, int position)
{
    const int code = gainCodeAt(gainScaleOf(gain.reg), position);
    gain.value->setText(gainText(gainScaleOf(gain.reg), code));
    changed(model_.setGainCode(gain.reg, code));
}

void TFCodec::showModel()
{
    setWindowTitle(model_.caption());
    const CodecLabels labels = model_.labels();
    gains_[In1].name->setText(labels.in1);
    gains_[In2].name->setText(labels.in2);
    gains_[Out1].name->setText(labels.out1);
    gains_[Out2].name->setText(labels.out2);
    for (const Gain& gain : gains_)
        showGain(gain, model_.gainCode(gain.reg));

    Sample.box->setEnabled(model_.sampleRateSelectable());
    Sample.choose(model_.sampleRate());
    showChecked(ADCHP, model_.highPassFilter());
    DEEMP.choose(model_.deemphasis());
    INSEL.choose(model_.microphoneInput() ? MicrophoneInputItem : 0);
    showChecked(MicMute, model_.microphoneMuted());
    showChecked(MicBoost, model_.microphoneBoosted());
    showChecked(PwrLine, model_.lineInputPowered());
    showChecked(PwrMic, model_.microphoneInputPowered());
}

// A code below the slider's range (the chip's mute range) leaves the slider at its bottom end.
void TFCodec::showGain(const Gain& gain, int code)
{
    showPosition(gain.slider, gainPositionOf(gainScaleOf(gain.reg), code));
    gain.value->setText(gainText(gainScaleOf(gain.reg), code));
}
