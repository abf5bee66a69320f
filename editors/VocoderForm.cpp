#include "editors/VocoderForm.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Every text a label can show, so that the lists of both groups start at one edge.
int widestLabel(const QFontMetrics& metrics)
{
    int widest = metrics.horizontalAdvance(bufferSizeLabel(1));
    for (const Field& field : vocoderFields())
        widest = std::max(widest, metrics.horizontalAdvance(field.label));
    return widest;
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
        QLabel* label = binder().label(group, field);
        QComboBox* choices = binder().dropDown(
            group, field, [this, which](int position) { return ChangeBox(which, position); });
        label->setBuddy(choices);
        grid->addWidget(label, row, 0);
        grid->addWidget(choices, row, 1);
        if (which == VocoderList::JBufTime)
            label->setObjectName(QStringLiteral("LJBuf"));
    }
    return group;
}

int TFVocoder::ChangeBox(VocoderList which, int position)
{
    const VocoderList stored = model_.choose(which, position);
    showModel();
    return static_cast<int>(stored);
}
