#include "editors/VocoderForm.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "editors/EditorControls.h"

namespace {

// Every text a label can show, so that the lists of both groups start at one edge.
int widestLabel(const QFontMetrics& metrics)
{
    int widest = metrics.horizontalAdvance(bufferSizeLabel(1));
    for (const Field& field : vocoderFields())
        widest = std::max(widest, metrics.horizontalAdvance(field.label));
    return widest;
}

std::size_t slot(VocoderList list)
{
    return static_cast<std::size_t>(list);
}

} // namespace

TFVocoder* TFVocoder::open(const EditorPlace& place, const VocoderInputs& inputs)
{
    return openEditor<TFVocoder>(place, inputs);
}

TFVocoder::TFVocoder(const EditorPlace& place, const VocoderInputs& inputs)
    : TFEditor(Kind, place)
    , model_(inputs)
{
    buildPage();
    for (int index = 0; index < VocoderListCount; ++index)
        onChoice(list(static_cast<VocoderList>(index)), this,
                 [this, which = static_cast<VocoderList>(index)](int position) {
                     ChangeBox(which, position);
                 });
}

void TFVocoder::buildPage()
{
    QWidget* page = addPage(QStringLiteral("Вокодер"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(listGroup(page, QStringLiteral("Кодер"), VocoderList::BitsMode,
                                VocoderList::BitsTime));
    layout->addWidget(listGroup(page, QStringLiteral("Буфер компенсации джиттера"),
                                VocoderList::JBufMode, VocoderList::JBufTime));
    layout->addStretch();
}

// The lists from first to last, each after its label, the lists filling the group's width.
QGroupBox* TFVocoder::listGroup(QWidget* page, const QString& title, VocoderList first,
                                VocoderList last)
{
    auto* group = new QGroupBox(title, page);
    auto* grid = new QGridLayout(group);
    grid->setColumnMinimumWidth(0, widestLabel(group->fontMetrics()));
    grid->setColumnStretch(1, 1);
    for (int row = 0; row <= static_cast<int>(last) - static_cast<int>(first); ++row) {
        const auto which = static_cast<VocoderList>(static_cast<int>(first) + row);
        const Field& field = vocoderField(which);
        auto* label = new QLabel(field.label, group);
        QComboBox* choices =
            makeDropDown(group, QString::fromLatin1(field.control), model_.items(which));
        label->setBuddy(choices);
        grid->addWidget(label, row, 0);
        grid->addWidget(choices, row, 1);
        lists_[slot(which)] = choices;
        if (which == VocoderList::JBufTime) {
            LJBuf = label;
            LJBuf->setObjectName(QStringLiteral("LJBuf"));
        }
    }
    return group;
}

QComboBox* TFVocoder::list(VocoderList which) const
{
    return lists_[slot(which)];
}

void TFVocoder::ChangeBox(VocoderList which, int position)
{
    const VocoderList stored = model_.choose(which, position);
    // A new bit rate changes the duration list, a new buffer mode the size label.
    showModel();
    changed(static_cast<int>(stored));
}

void TFVocoder::showModel()
{
    for (int index = 0; index < VocoderListCount; ++index) {
        const auto which = static_cast<VocoderList>(index);
        QComboBox* shown = list(which);
        showChoice(shown, model_.items(which), model_.position(which));
        shown->setEnabled(model_.enabled(which));
    }
    LJBuf->setText(model_.bufferLabel());
}
