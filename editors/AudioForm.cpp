#include "editors/AudioForm.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

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
    Level = makeValueText(gain, QStringLiteral("Level"));
    Level->setText(QStringLiteral("0"));
    Lev = makeVerticalSlider(gain, QStringLiteral("Lev"), 0, AudioModel::MaxLevel, 1, 3);
    Lev->setValue(16);
    auto* gainLayout = new QVBoxLayout(gain);
    gainLayout->addWidget(Level);
    gainLayout->addWidget(Lev, 1, Qt::AlignHCenter);

    Mod = makeRadioGroup(page, QStringLiteral("Mod"), QStringLiteral("Модуляция"),
                         {QStringLiteral("СДМ"), QStringLiteral("ШИМ")}, 1);
    Mod.choose(AudioModel::Sdm);

    auto* right = new QVBoxLayout;
    right->addWidget(Mod.box);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(gain);
    layout->addLayout(right, 1);

    connect(Lev, &QSlider::valueChanged, this, &TFAudio::LevChange);
    Mod.onChosen(this, [this](int index) { ModClick(index); });
}

void TFAudio::LevChange(int position)
{
    const int level = amplifierLevelAt(position);
    showLevel(level);
    changed(model_.setLevel(level));
}

void TFAudio::ModClick(int index)
{
    changed(model_.setModulation(index == AudioModel::Pwm ? AudioModel::Pwm : AudioModel::Sdm));
}

void TFAudio::showModel()
{
    showPosition(Lev, amplifierPositionOf(model_.level()));
    showLevel(model_.level());
    Mod.choose(model_.modulation());
}

void TFAudio::showLevel(int level)
{
    Level->setText(amplifierLevelText(level));
}
