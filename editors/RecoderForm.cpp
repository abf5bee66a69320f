#include "editors/RecoderForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "editors/EditorControls.h"

namespace {

// Where the sliders stand until the block is loaded.
constexpr int LayoutGainPosition = 8;
constexpr int LayoutRxLevelPosition = 16;
constexpr int GainPageStep = 2;
constexpr int RxLevelPageStep = 3;

} // namespace

TFRecoder* TFRecoder::open(const EditorPlace& place, const RecoderInputs& inputs)
{
    return openEditor<TFRecoder>(place, inputs);
}

TFRecoder::TFRecoder(const EditorPlace& place, const RecoderInputs& inputs)
    : TFEditor(Kind, place)
    , model_(inputs)
{
    buildRecorderPage();
    buildRxLevelPage();

    for (std::size_t index = 0; index < RecorderFlags.size(); ++index) {
        const RecorderFlag& flag = RecorderFlags[index];
        onToggled(flags_[index], this, [this, &flag](bool ticked) { FlagClick(flag, ticked); });
    }
    for (std::size_t index = 0; index < RecorderGains.size(); ++index)
        connect(gains_[index].slider, &QSlider::valueChanged, this,
                [this, index](int position) { GainChange(index, position); });
    connect(RxLvl, &QSlider::valueChanged, this, &TFRecoder::RxLvlChange);
}

void TFRecoder::buildRecorderPage()
{
    QWidget* page = addPage(QStringLiteral("Регистратор"));
    auto* flags = new QVBoxLayout;
    flags->addWidget(flagGroup(page, QStringLiteral("Селектор каналов"), ChannelSelector));
    flags->addWidget(flagGroup(page, QStringLiteral("Управление каналами"), ChannelControl));
    flags->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(flags);
    layout->addWidget(gainGroup(page), 1);
}

// The check boxes of one group, in the table's order.
QGroupBox* TFRecoder::flagGroup(QWidget* parent, const QString& title, RecorderFlagGroup group)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (std::size_t index = 0; index < RecorderFlags.size(); ++index) {
        const RecorderFlag& flag = RecorderFlags[index];
        if (flag.group != group)
            continue;
        flags_[index] = makeCheckBox(box, QString::fromLatin1(flag.name),
                                     QString::fromUtf8(flag.caption));
        layout->addWidget(flags_[index]);
    }
    return box;
}

// The gains side by side, each a name label over a value text over its slider.
QGroupBox* TFRecoder::gainGroup(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Усиление по каналам (дБ)"), parent);
    auto* layout = new QGridLayout(group);
    for (std::size_t index = 0; index < RecorderGains.size(); ++index) {
        const RecorderGain& table = RecorderGains[index];
        Gain& gain = gains_[index];
        gain.name = makeNameLabel(group, QString());
        gain.name->setText(QString::fromUtf8(table.caption));
        gain.value = makeValueText(group, QString::fromLatin1(table.value));
        gain.slider = makeVerticalSlider(group, QString::fromLatin1(table.slider), 0,
                                         GainPositions - 1, 1, GainPageStep);
        const int column = static_cast<int>(index);
        layout->addWidget(gain.name, 0, column);
        layout->addWidget(gain.value, 1, column);
        layout->addWidget(gain.slider, 2, column, Qt::AlignHCenter);
        showGain(index, LayoutGainPosition);
    }
    layout->setRowStretch(2, 1);
    return group;
}

void TFRecoder::buildRxLevelPage()
{
    rxLevelPage_ = addPage(QStringLiteral("Уровень RX"));
    auto* group = new QGroupBox(QStringLiteral("Уровень RX"), rxLevelPage_);
    RxLvlVal = makeValueText(group, QStringLiteral("RxLvlVal"));
    RxLvl = makeVerticalSlider(group, QStringLiteral("RxLvl"), 0, MaxRxLevel, 1, RxLevelPageStep);
    showRxLevel(LayoutRxLevelPosition);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(RxLvlVal);
    groupLayout->addWidget(RxLvl, 1, Qt::AlignHCenter);

    auto* layout = new QHBoxLayout(rxLevelPage_);
    layout->addWidget(group);
    layout->addStretch(1);
}

void TFRecoder::FlagClick(const RecorderFlag& flag, bool ticked)
{
    const RecorderWord changedWord = model_.setFlag(flag.bit, ticked);
    showRxLevelPage();
    changed(changedWord);
}

void TFRecoder::GainChange(std::size_t index, int position)
{
    gains_[index].value->setText(recorderGainText(position));
    changed(model_.setGainPosition(RecorderGains[index], position));
}

void TFRecoder::RxLvlChange(int position)
{
    RxLvlVal->setText(QString::number(rxLevelWordAt(position)));
    changed(model_.setRxLevelPosition(position));
}

void TFRecoder::showModel()
{
    setWindowTitle(model_.caption());
    for (std::size_t index = 0; index < RecorderFlags.size(); ++index) {
        const int bit = RecorderFlags[index].bit;
        showChecked(flags_[index], model_.flag(bit));
        if (bit == VolumeControlBit)
            flags_[index]->setEnabled(model_.volumeControlAvailable());
    }
    for (std::size_t index = 0; index < RecorderGains.size(); ++index)
        showGain(index, model_.gainPosition(RecorderGains[index]));
    showRxLevel(model_.rxLevelPosition());
    showRxLevelPage();
}

void TFRecoder::showGain(std::size_t index, int position)
{
    showPosition(gains_[index].slider, position);
    gains_[index].value->setText(recorderGainText(position));
}

void TFRecoder::showRxLevel(int position)
{
    showPosition(RxLvl, position);
    RxLvlVal->setText(QString::number(rxLevelWordAt(position)));
}

void TFRecoder::showRxLevelPage()
{
    setPageVisible(rxLevelPage_, model_.rxLevelShown());
}
