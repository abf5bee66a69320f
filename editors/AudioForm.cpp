#include "editors/AudioForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int LevelPageStep = 3;

} // namespace

TFAudio* TFAudio::open(const EditorPlace& place, std::uint8_t* amplifierBlock)
{
    return openEditor<TFAudio>(place, amplifierBlock);
}

TFAudio::TFAudio(const EditorPlace& place, std::uint8_t* amplifierBlock)
    : TFEditor(Kind, place)
    , model_(amplifierBlock)
{
    QWidget* page = addPage(QStringLiteral("УНЧ"));

    auto* gain = new QGroupBox(QStringLiteral("Усиление (дБ)"), page);
    const Field& level = amplifierField(AmplifierField::Level);
    const LevelControls Lev =
        binder().level(gain, level, {QStringLiteral("Level"), std::nullopt, 1, LevelPageStep});
    binder().show(level, AudioModel::DefaultLevel);
    auto* gainLayout = new QVBoxLayout(gain);
    gainLayout->addWidget(Lev.value);
    gainLayout->addWidget(Lev.slider, 1, Qt::AlignHCenter);

    const Field& modulation = amplifierField(AmplifierField::Modulation);
    const RadioGroup Mod = binder().radioGroup(page, modulation, 1);
    binder().show(modulation, AudioModel::Sdm);

    auto* right = new QVBoxLayout;
    right->addWidget(Mod.box);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(gain);
    layout->addLayout(right, 1);
}
