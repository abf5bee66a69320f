#include "tasks/InfoForm.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "ui/ChildLayout.h"
#include "ui/ChildWindow.h"

namespace {

constexpr int InfoImage = 67; // the picture of the "Информация" node
// The longest value a field shows: a Die ID of four four-digit words.
const QString WidestValue = QStringLiteral("0xFFFFFFFFFFFFFFFF");
constexpr int DescriptionLines = 5;
// The line edit's own margins around its text, which its style does not count.
constexpr int LineEditTextMargins = 2 * 2;

int fieldWidthFor(const QLineEdit& field, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    const QMargins margins = field.textMargins() + field.contentsMargins();
    const QSize content(field.fontMetrics().horizontalAdvance(text) + LineEditTextMargins
                            + margins.left() + margins.right(),
                        field.fontMetrics().height());
    return field.style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, &field).width();
}

int textHeightFor(const QPlainTextEdit& field, int lines)
{
    const int margin = static_cast<int>(field.document()->documentMargin());
    return field.fontMetrics().lineSpacing() * lines + 2 * (field.frameWidth() + margin);
}

} // namespace

TFInfo* TFInfo::open(QMdiArea& area, const InfoInputs& inputs)
{
    return openChildWindow(
        area, find(area), [] { return new TFInfo; },
        [&inputs](TFInfo& window) { window.LoadBlock(inputs); });
}

TFInfo* TFInfo::find(QMdiArea& area)
{
    return findChildWindow<TFInfo>(area);
}

TFInfo::TFInfo(QWidget* parent)
    : QMdiSubWindow(parent)
{
    setUpChildWindow(*this, QStringLiteral("Описание контроллера"), InfoImage);

    auto* content = new QWidget(this);
    LName = new QLabel(content);
    LName->setObjectName(QStringLiteral("LName"));
    QFont underlined = LName->font();
    underlined.setUnderline(true);
    LName->setFont(underlined);

    Fields = new QFormLayout;
    Fields->setHorizontalSpacing(12);
    Fields->setLabelAlignment(Qt::AlignRight);
    for (const InfoField& field : infoFields())
        fields_[QString::fromLatin1(field.name)] = addValue(field.label, QString::fromLatin1(field.name));
    QLineEdit* sMac = fields_.at(QStringLiteral("sMac"));
    Fields->labelForField(sMac)->setObjectName(QStringLiteral("LMac"));
    QLineEdit* sDie = fields_.at(QStringLiteral("sDie"));
    // The fields share one column: wide enough for the longest Die ID, they all are.
    sDie->setMinimumWidth(fieldWidthFor(*sDie, WidestValue));

    sDescr = new QPlainTextEdit(content);
    sDescr->setObjectName(QStringLiteral("sDescr"));
    sDescr->setReadOnly(true);
    // A description without blanks still shows whole.
    sDescr->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Room for 64 characters; more lines, from many line breaks, scroll.
    sDescr->setFixedHeight(textHeightFor(*sDescr, DescriptionLines));

    OKButton = new QPushButton(QStringLiteral("Закрыть"), content);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);

    auto* layout = new QVBoxLayout(content);
    layout->addWidget(LName);
    layout->addLayout(Fields);
    layout->addWidget(sDescr);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    setWidget(content);
    OKButton->setFocus();

    connect(OKButton, &QPushButton::clicked, this, &TFInfo::OKButtonClick);
}

QLineEdit* TFInfo::addValue(const QString& label, const QString& name)
{
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(true);
    Fields->addRow(label, field);
    return field;
}

void TFInfo::LoadBlock(const InfoInputs& inputs)
{
    const InfoSheet sheet = infoSheet(inputs);
    LName->setText(sheet.title);
    for (const InfoRow& row : sheet.rows) {
        QLineEdit* field = fields_.at(QString::fromLatin1(row.field->name));
        field->setText(row.value);
        Fields->setRowVisible(field, row.shown);
    }
    sDescr->setPlainText(sheet.description);
    // Without the address row the window is that much shorter.
    widget()->layout()->activate();
    adjustSize();
}

void TFInfo::OKButtonClick()
{
    close();
}

void TFInfo::keyPressEvent(QKeyEvent* event)
{
    // "Закрыть" is the default button: Enter in any of the read-only fields presses it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OKButton->click();
        return;
    }
    QMdiSubWindow::keyPressEvent(event);
}

