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

// The label before each list; the jitter buffer's size label changes with the buffer's mode.
QString labelText(VocoderList list)
{
    switch (list) {
    case VocoderList::BitsMode:
        return QStringLiteral("Кодирование");
    case VocoderList::CtrlMode:
        return QStringLiteral("Управление ");
    case VocoderList::RunMode:
    case VocoderList::JBufMode:
        return QStringLiteral("Режим работы ");
    case VocoderList::BitsTime:
        return QStringLiteral("Длительность аудио пакета");
    case VocoderList::JBufTime:
        return bufferSizeLabel(0);
    }
    return {};
}

// Every text a label can show, so that the lists of both groups start at one edge.
int widestLabel(const QFontMetrics& metrics)
{
    int widest = metrics.horizontalAdvance(bufferSizeLabel(1));
    for (const VocoderField& field : VocoderFields)
        widest = std::max(widest, metrics.horizontalAdvance(labelText(field.list)));
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
    for (const VocoderField& field : VocoderFields)
        onChoice(list(field.list), this,
                 [this, which = field.list](int position) { ChangeBox(which, position); });
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
        const VocoderField& field = VocoderFields.at(slot(first) + static_cast<std::size_t>(row));
        auto* label = new QLabel(labelText(field.list), group);
        QComboBox* choices =
            makeDropDown(group, QString::fromLatin1(field.name), model_.items(field.list));
        label->setBuddy(choices);
        grid->addWidget(label, row, 0);
        grid->addWidget(choices, row, 1);
        lists_[slot(field.list)] = choices;
        if (field.list == VocoderList::JBufTime) {
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
    for (const VocoderField& field : VocoderFields) {
        QComboBox* shown = list(field.list);
        showChoice(shown, model_.items(field.list), model_.position(field.list));
        shown->setEnabled(model_.enabled(field.list));
    }
    LJBuf->setText(model_.bufferLabel());
}
