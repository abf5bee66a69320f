#include "editors/RecoderForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

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
        const auto flag = static_cast<RecorderField>(index);
        layout->addWidget(binder().flag(box, recorderField(flag), [this, flag](int ticked) {
            return FlagClick(flag, ticked != 0);
        }));
    }
    return box;
}

// The gains side by side, each a name label over a value text over its slider.
QGroupBox* TFRecoder::gainGroup(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Усиление по каналам (дБ)"), parent);
    auto* layout = new QGridLayout(group);
    int column = 0;
    for (RecorderField field : {RecorderField::MicGain, RecorderField::RxGain}) {
        const Field& gain = recorderField(field);
        const QString valueName = QString::fromLatin1(gain.control) + QStringLiteral("Val");
        const LevelControls controls =
            binder().level(group, gain, {valueName, QString(), 1, GainPageStep});
        layout->addWidget(controls.name, 0, column);
        layout->addWidget(controls.value, 1, column);
        layout->addWidget(controls.slider, 2, column, Qt::AlignHCenter);
        binder().show(gain, LayoutGainStep);
        ++column;
    }
    layout->setRowStretch(2, 1);
    return group;
}

void TFRecoder::buildRxLevelPage()
{
    rxLevelPage_ = addPage(QStringLiteral("Уровень RX"));
    auto* group = new QGroupBox(QStringLiteral("Уровень RX"), rxLevelPage_);
    const Field& level = recorderField(RecorderField::RxLevel);
    const LevelControls RxLvl = binder().level(
        group, level, {QStringLiteral("RxLvlVal"), std::nullopt, 1, RxLevelPageStep});
    binder().show(level, LayoutRxLevel);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(RxLvl.value);
    groupLayout->addWidget(RxLvl.slider, 1, Qt::AlignHCenter);

    auto* layout = new QHBoxLayout(rxLevelPage_);
    layout->addWidget(group);
    layout->addStretch(1);
}

int TFRecoder::FlagClick(RecorderField flag, bool ticked)
{
    const RecorderWord changedWord = model_.set(flag, ticked ? 1 : 0);
    showRxLevelPage();
    return changedWord;
}

void TFRecoder::showModel()
{
    setWindowTitle(model_.caption());
    TFEditor::showModel();
    showRxLevelPage();
}

void TFRecoder::showRxLevelPage()
{
    setPageVisible(rxLevelPage_, model_.rxLevelShown());
}
