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
constexpr int LayoutGainStep = 23;
constexpr int LayoutRxLevel = 47;
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

    for (std::size_t index = 0; index < flags_.size(); ++index) {
        const auto flag = static_cast<RecorderField>(index);
        onToggled(flags_[index], this, [this, flag](bool ticked) { FlagClick(flag, ticked); });
    }
    for (std::size_t index = 0; index < gains_.size(); ++index)
        connect(gains_[index].slider, &QSlider::valueChanged, this,
                [this, index](int position) { GainChange(index, position); });
    connect(RxLvl, &QSlider::valueChanged, this, &TFRecoder::RxLvlChange);
}

void TFRecoder::buildRecorderPage()
{
    QWidget* page = addPage(QStringLiteral("Регистратор"));
    auto* flags = new QVBoxLayout;
    flags->addWidget(flagGroup(page, QStringLiteral("Селектор каналов"), RecorderField::Mic,
                               RecorderField::Rx));
    flags->addWidget(flagGroup(page, QStringLiteral("Управление каналами"), RecorderField::PttBut,
                               RecorderField::RxCtrl));
    flags->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(flags);
    layout->addWidget(gainGroup(page), 1);
}

// The check boxes of one group, from first to last in the table's order.
QGroupBox* TFRecoder::flagGroup(QWidget* parent, const QString& title, RecorderField first,
                                RecorderField last)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (auto index = static_cast<std::size_t>(first); index <= static_cast<std::size_t>(last);
         ++index) {
        const Field& flag = recorderField(static_cast<RecorderField>(index));
        flags_[index] = makeCheckBox(box, QString::fromLatin1(flag.control), flag.label);
        layout->addWidget(flags_[index]);
    }
    return box;
}

// The gains side by side, each a name label over a value text over its slider.
QGroupBox* TFRecoder::gainGroup(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Усиление по каналам (дБ)"), parent);
    auto* layout = new QGridLayout(group);
    const std::array<RecorderField, 2> order{RecorderField::MicGain, RecorderField::RxGain};
    for (std::size_t index = 0; index < gains_.size(); ++index) {
        const Field& table = recorderField(order[index]);
        const QString control = QString::fromLatin1(table.control);
        Gain& gain = gains_[index];
        gain.field = order[index];
        gain.name = makeNameLabel(group, QString());
        gain.name->setText(table.label);
        gain.value = makeValueText(group, control + QStringLiteral("Val"));
        gain.slider = makeVerticalSlider(group, control, table.range.minimum, table.range.maximum,
                                         1, GainPageStep);
        const int column = static_cast<int>(index);
        layout->addWidget(gain.name, 0, column);
        layout->addWidget(gain.value, 1, column);
        layout->addWidget(gain.slider, 2, column, Qt::AlignHCenter);
        showGain(index, LayoutGainStep);
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
    showRxLevel(LayoutRxLevel);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(RxLvlVal);
    groupLayout->addWidget(RxLvl, 1, Qt::AlignHCenter);

    auto* layout = new QHBoxLayout(rxLevelPage_);
    layout->addWidget(group);
    layout->addStretch(1);
}

void TFRecoder::FlagClick(RecorderField flag, bool ticked)
{
    const RecorderWord changedWord = model_.set(flag, ticked ? 1 : 0);
    showRxLevelPage();
    changed(changedWord);
}

void TFRecoder::GainChange(std::size_t index, int position)
{
    const Gain& gain = gains_[index];
    const Field& field = recorderField(gain.field);
    const int step = levelAt(field, position);
    gain.value->setText(shownText(field, step, model_.context()));
    changed(model_.set(gain.field, step));
}

void TFRecoder::RxLvlChange(int position)
{
    const Field& field = recorderField(RecorderField::RxLevel);
    const int level = levelAt(field, position);
    RxLvlVal->setText(shownText(field, level, model_.context()));
    changed(model_.set(RecorderField::RxLevel, level));
}

void TFRecoder::showModel()
{
    setWindowTitle(model_.caption());
    for (std::size_t index = 0; index < flags_.size(); ++index) {
        const Field& flag = recorderField(static_cast<RecorderField>(index));
        showChecked(flags_[index], model_.value(flag) != 0);
        flags_[index]->setEnabled(model_.fieldEnabled(flag));
    }
    for (std::size_t index = 0; index < gains_.size(); ++index)
        showGain(index, model_.value(gains_[index].field));
    showRxLevel(model_.value(RecorderField::RxLevel));
    showRxLevelPage();
}

void TFRecoder::showGain(std::size_t index, int step)
{
    const Field& field = recorderField(gains_[index].field);
    showPosition(gains_[index].slider, levelPosition(field, step));
    gains_[index].value->setText(shownText(field, step, {}));
}

void TFRecoder::showRxLevel(int level)
{
    const Field& field = recorderField(RecorderField::RxLevel);
    showPosition(RxLvl, levelPosition(field, level));
    RxLvlVal->setText(shownText(field, level, {}));
}

void TFRecoder::showRxLevelPage()
{
    setPageVisible(rxLevelPage_, model_.rxLevelShown());
}
