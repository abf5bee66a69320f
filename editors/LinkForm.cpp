#include "editors/LinkForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "editors/EditorControls.h"
#include "editors/NumberField.h"

namespace {

constexpr int GapBetweenFields = 8;
constexpr int GapBeforeControls = 12;
const QString InitialLossTime = QStringLiteral("100");

// A page laid out as rows: each label of one or two lines with its control beside the last
// line, the controls lined up in one column.
class PageRows {
public:
    explicit PageRows(QWidget* page)
        : page_(page)
        , grid_(new QGridLayout(page))
    {
        grid_->setVerticalSpacing(0);
        grid_->setHorizontalSpacing(GapBeforeControls);
        grid_->setColumnStretch(0, 1);
    }

    // The label's lines are named "L" + the control's name + "_0" and "_1".
    std::array<QLabel*, 2> add(const QString& name, const QString& label, QWidget* control)
    {
        const LinkLabel text = labelLines(label);
        std::array<QLabel*, 2> lines{line(name + QStringLiteral("_0"), text.first), nullptr};
        if (!text.second.isEmpty())
            lines[1] = line(name + QStringLiteral("_1"), text.second);
        grid_->addWidget(control, row_ - 1, 1, Qt::AlignLeft);
        gap();
        return lines;
    }

    void addWide(QWidget* control)
    {
        grid_->addWidget(control, row_++, 0, 1, 2);
        gap();
    }

    void end() { grid_->setRowStretch(row_, 1); }

private:
    QLabel* line(const QString& name, const QString& text)
    {
        auto* label = new QLabel(text, page_);
        label->setObjectName(QStringLiteral("L") + name);
        grid_->addWidget(label, row_++, 0);
        return label;
    }

    void gap() { grid_->setRowMinimumHeight(row_++, GapBetweenFields); }

    QWidget* page_;
    QGridLayout* grid_;
    int row_ = 0;
};

} // namespace

TFLink* TFLink::open(const EditorPlace& place, const LinkInputs& inputs)
{
    return openEditor<TFLink>(place, inputs);
}

TFLink::TFLink(const EditorPlace& place, const LinkInputs& inputs)
    : TFEditor(Kind, place)
    , model_(inputs)
{
    buildPage(QStringLiteral("Счетчики"), LinkNumber::N1, LinkNumber::N4, LinkFlag::Ack,
              place.dialogs);
    buildPage(QStringLiteral("Таймеры"), LinkNumber::T0, LinkNumber::T3, LinkFlag::Tmode,
              place.dialogs);
}

// The fields from first to last with their labels, T4 after T3, then the flag's box.
void TFLink::buildPage(const QString& title, LinkNumber first, LinkNumber last, LinkFlag flag,
                       Dialogs& dialogs)
{
    QWidget* page = addPage(title);
    PageRows rows(page);
    for (int index = static_cast<int>(first); index <= static_cast<int>(last); ++index) {
        const auto changedField = static_cast<LinkNumber>(index);
        const Field& rule = linkField(changedField);
        const QString name = QString::fromLatin1(rule.control);
        // KeyPressN: typed digits only, Backspace discarded too.
        const NumberEntry entry{rule.step, 0, EmptyText::KeepsNumber, BackspaceKey::Discarded};
        auto* number = new NumberField(page, name, rule.range, entry, dialogs);
        number->showValue(rule.range.minimum);
        if (changedField >= LinkNumber::T0)
            number->onChanged([this, changedField](int value) { ChangeT(changedField, value); });
        else
            number->onChanged([this, changedField](int value) { ChangeN(changedField, value); });
        const auto lines = rows.add(name, rule.label, number);
        if (changedField == LinkNumber::T1)
            LT1 = lines;
        field(changedField) = number;
    }
    if (last == LinkNumber::T3) {
        T4 = new QLineEdit(InitialLossTime, page);
        T4->setObjectName(QStringLiteral("T4"));
        T4->setReadOnly(true);
        T4->setFixedWidth(field(LinkNumber::T3)->sizeHint().width());
        rows.add(QStringLiteral("T4"), lossTimeLabel(), T4);
    }
    const Field& rule = linkField(flag);
    QCheckBox* check = makeCheckBox(page, QString::fromLatin1(rule.control), rule.label);
    onToggled(check, this, [this, flag](bool checked) { FlgClick(flag, checked); });
    rows.addWide(check);
    box(flag) = check;
    rows.end();
}

void TFLink::ChangeN(LinkNumber field, int value)
{
    storeNumber(field, value);
}

void TFLink::ChangeT(LinkNumber field, int value)
{
    storeNumber(field, value);
}

void TFLink::FlgClick(LinkFlag flag, bool checked)
{
    model_.setFlag(flag, checked);
    if (flag == LinkFlag::Tmode)
        showT1Label();
}

void TFLink::showModel()
{
    for (int index = 0; index < LinkNumberCount; ++index) {
        const auto shown = static_cast<LinkNumber>(index);
        NumberField* number = field(shown);
        number->setRange(model_.range(shown));
        number->setEnabled(model_.enabled(shown));
        number->showValue(model_.value(shown));
    }
    for (LinkFlag flag : {LinkFlag::Ack, LinkFlag::Tmode})
        showChecked(box(flag), model_.flag(flag));
    showT1Label();
    showLossTime();
}

void TFLink::storeNumber(LinkNumber field, int value)
{
    model_.setNumber(field, value);
    showLossTime();
}

NumberField*& TFLink::field(LinkNumber number)
{
    return fields_[static_cast<std::size_t>(number)];
}

QCheckBox*& TFLink::box(LinkFlag flag)
{
    return flags_[static_cast<std::size_t>(flag)];
}

void TFLink::showLossTime()
{
    T4->setText(QString::number(model_.lossTime()));
}

void TFLink::showT1Label()
{
    const LinkLabel text = labelLines(fieldLabel(linkField(LinkNumber::T1), model_.context()));
    LT1[0]->setText(text.first);
    LT1[1]->setText(text.second);
}
