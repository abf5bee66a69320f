#include "ui/NumberField.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Dialogs.h"

namespace {

// Room for the longest number with a margin, so it never scrolls: five digits where a field sets
// no limit.
constexpr int WidestDigits = 5;
constexpr int DigitsMargin = 2;
constexpr int SpinnerWidth = 16;

bool isDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

// A key that types a character other than a digit. Keys with control characters (the editing
// shortcuts: select all, copy, paste, undo) keep their work; what they put in is checked like
// typing.
bool typesNonDigit(const QKeyEvent& key)
{
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint() && !isDigit(text.front());
}

bool discarded(const QKeyEvent& key, BackspaceKey backspace)
{
    if (key.key() == Qt::Key_Backspace)
        return backspace == BackspaceKey::Discarded;
    return typesNonDigit(key);
}

} // namespace

NumberField::NumberField(QWidget* parent, const QString& name, NumberRange range,
                         const NumberEntry& entry, Dialogs& dialogs)
    : QWidget(parent)
    , range_(range)
    , entry_(entry)
    , value_(range.minimum)
    , dialogs_(dialogs)
    , edit_(new QLineEdit(this))
{
    setObjectName(name + QStringLiteral("Field"));
    edit_->setObjectName(name);
    // Pasted text is taken only when it is all digits.
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
    edit_->installEventFilter(this);
    if (entry.digits > 0)
        edit_->setMaxLength(entry.digits);
    const int widest = (entry.digits > 0 ? entry.digits : WidestDigits) + DigitsMargin;
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QString(widest, u'0')));
    connect(edit_, &QLineEdit::textChanged, this, &NumberField::textChange);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_);
    if (entry.step != 0)
        layout->addLayout(makeSpinner(name));
    showValue(value_);
}

QVBoxLayout* NumberField::makeSpinner(const QString& name)
{
    up_ = makeSpinButton(name + QStringLiteral("Up"), Qt::UpArrow, 1);
    down_ = makeSpinButton(name + QStringLiteral("Down"), Qt::DownArrow, -1);
    auto* spinner = new QVBoxLayout;
    spinner->setContentsMargins(0, 0, 0, 0);
    spinner->setSpacing(0);
    spinner->addWidget(up_);
    spinner->addWidget(down_);
    return spinner;
}

QToolButton* NumberField::makeSpinButton(const QString& name, Qt::ArrowType arrow, int steps)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(SpinnerWidth, (edit_->sizeHint().height() + 1) / 2);
    // A step as the button goes down, then more while it is held.
    connect(button, &QToolButton::pressed, this, [this, steps] { stepBy(steps); });
    return button;
}

void NumberField::setRange(NumberRange range)
{
    range_ = range;
}

void NumberField::showValue(int value)
{
    value_ = value;
    const QSignalBlocker quiet(edit_);
    edit_->setText(QString::number(value));
}

void NumberField::onChanged(std::function<void(int)> handler)
{
    handler_ = std::move(handler);
}

void NumberField::stepBy(int steps)
{
    if (entry_.step != 0)
        accept(value_ + steps * entry_.step);
}

bool NumberField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (entry_.step != 0 && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
        stepBy(key.key() == Qt::Key_Up ? 1 : -1);
        return true;
    }
    return discarded(key, entry_.backspace);
}

void NumberField::textChange(const QString& text)
{
    if (text.isEmpty() && entry_.emptied == EmptyText::Zero)
        accept(0);
    else if (const std::optional<int> number = wholeNumberOf(text))
        accept(*number);
}

void NumberField::accept(int number)
{
    const FittedNumber fitted = fitToRange(number, range_);
    if (fitted.outside) {
        releaseSpinner();
        dialogs_.inform(window(), rangeMessage(range_));
    }
    value_ = fitted.value;
    if (edit_->text() != QString::number(value_))
        showValue(value_);
    if (handler_)
        handler_(value_);
}

// A held spinner button would go on stepping behind the message; it is let go first.
void NumberField::releaseSpinner()
{
    if (!up_)
        return;
    up_->setDown(false);
    down_->setDown(false);
}
