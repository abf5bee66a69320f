#include "editors/LinkForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "ui/NumberField.h"

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
    buildPage(QStringLiteral("Счетчики"), LinkNumber::N1, LinkNumber::N4, LinkFlag::Ack);
    buildPage(QStringLiteral("Таймеры"), LinkNumber::T0, LinkNumber::T3, LinkFlag::Tmode);
}

// The fields from first to last with their labels, T4 after T3, then the flag's box.
void TFLink::buildPage(const QString& title, LinkNumber first, LinkNumber last, LinkFlag flag)
{
    QWidget* page = addPage(title);
    PageRows rows(page);
    NumberField* number = nullptr;
    for (int index = static_cast<int>(first); index <= static_cast<int>(last); ++index) {
        const auto changedField = static_cast<LinkNumber>(index);
        const Field& rule = linkField(changedField);
        // KeyPressN: typed digits only, Backspace discarded too.
        const NumberEntry entry{rule.step, 0, EmptyText::KeepsNumber, BackspaceKey::Discarded};
        number = binder().number(page, rule, entry, [this, changedField](int value) {
            return changedField >= LinkNumber::T0 ? ChangeT(changedField, value)
                                                  : ChangeN(changedField, value);
        });
        const auto lines = rows.add(QString::fromLatin1(rule.control), rule.label, number);
        if (changedField == LinkNumber::T1)
            LT1 = lines;
    }
    if (last == LinkNumber::T3) {
        T4 = new QLineEdit(InitialLossTime, page);
        T4->setObjectName(QStringLiteral("T4"));
        T4->setReadOnly(true);
        T4->setFixedWidth(number->sizeHint().width());
        rows.add(QStringLiteral("T4"), lossTimeLabel(), T4);
    }
    rows.addWide(binder().flag(page, linkField(flag),
                               [this, flag](int checked) { return FlgClick(flag, checked != 0); }));
    rows.end();
}

int TFLink::ChangeN(LinkNumber field, int value)
{
    return storeNumber(field, value);
}

int TFLink::ChangeT(LinkNumber field, int value)
{
    return storeNumber(field, value);
}

int TFLink::FlgClick(LinkFlag flag, bool checked)
{
    const int item = model_.changeField(linkField(flag), checked ? 1 : 0);
    if (flag == LinkFlag::Tmode)
        showT1Label();
    return item;
}

void TFLink::showModel()
{
    TFEditor::showModel();
    showT1Label();
    showLossTime();
}

int TFLink::storeNumber(LinkNumber field, int value)
{
    const int item = model_.changeField(linkField(field), value);
    showLossTime();
    return item;
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
