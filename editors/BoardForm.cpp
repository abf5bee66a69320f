#include "editors/BoardForm.h"

#include <array>
#include <optional>

#include <QDate>
#include <QDateEdit>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/GuardedFields.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"

namespace {

// Upper case, one hexadecimal digit in each place; the blank marks a place left empty.
const QString AddressMask = QStringLiteral(">HH-HH-HH-HH-HH-HH");
const QString StartAddress = QStringLiteral("FF-FF-FF-FF-FF-FF");
constexpr int DescriptionLines = 4;
constexpr int DescriptionColumns = 34;
constexpr int FieldMargins = 4; // average characters beside a field's text

bool isEnterKey(const QEvent& event)
{
    if (event.type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QLabel* makeTitle(QWidget* parent)
{
    auto* title = new QLabel(parent);
    title->setObjectName(QStringLiteral("SDev"));
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    return title;
}

QDateEdit* makeDatePicker(QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QStringLiteral("sData"));
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    picker->setCalendarPopup(true);
    return picker;
}

QLineEdit* makeAddressField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("Mac"));
    field->setInputMask(AddressMask);
    field->setText(StartAddress);
    return field;
}

GuardedTextEdit* makeDescriptionField(QWidget* parent)
{
    auto* field = new GuardedTextEdit(parent, QStringLiteral("sDescr"), acceptsDescription);
    field->setTabChangesFocus(true);
    const QFontMetrics metrics = field->fontMetrics();
    const int frame =
        2 * (field->frameWidth() + static_cast<int>(field->document()->documentMargin()));
    field->setMinimumWidth(DescriptionColumns * metrics.averageCharWidth() + frame);
    field->setFixedHeight(DescriptionLines * metrics.lineSpacing() + frame);
    return field;
}

// The short fields are as wide as the address needs, with room for the cursor and the frame.
int shortFieldWidth(const QFontMetrics& metrics)
{
    return metrics.horizontalAdvance(StartAddress) + FieldMargins * metrics.averageCharWidth();
}

} // namespace

TFBoard* TFBoard::open(QMdiArea& area, Dialogs& dialogs, const BoardInputs& inputs)
{
    return openChildWindow(
        area, findChildWindow<TFBoard>(area), [&dialogs] { return new TFBoard(dialogs); },
        [&inputs](TFBoard& board) { board.LoadBlock(inputs); });
}

TFBoard::TFBoard(Dialogs& dialogs)
    : QMdiSubWindow(nullptr)
    , dialogs_(dialogs)
{
    setUpChildWindow(*this, Caption, Picture);
    buildControls();
    widget()->installEventFilter(this);
    Mac->installEventFilter(this);
    connect(Mac, &QLineEdit::textChanged, this, &TFBoard::MacChange);
    connect(OKButton, &QPushButton::clicked, this, &TFBoard::OKButtonClick);
}

void TFBoard::buildControls()
{
    auto* content = new QWidget(this);
    SDev = makeTitle(content);
    sData = makeDatePicker(content);
    // The rule holds the field to its 4 bytes: an edit that would make it longer is refused
    // whole, never cut.
    sSerial = makeGuardedLineEdit(content, QStringLiteral("sSerial"), acceptsSerial);
    LMac = new QLabel(QStringLiteral("Физический адрес:"), content);
    LMac->setObjectName(QStringLiteral("LMac"));
    Mac = makeAddressField(content);
    sDescr = makeDescriptionField(content);
    OKButton = new QPushButton(QStringLiteral("OK"), content);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    for (QWidget* field : std::array<QWidget*, 3>{sData, sSerial, Mac})
        field->setFixedWidth(shortFieldWidth(Mac->fontMetrics()));
    layOutControls(content);
    setWidget(content);
}

void TFBoard::layOutControls(QWidget* content)
{
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Дата:"), content), 0, 0);
    fields->addWidget(sData, 0, 1, Qt::AlignLeft);
    fields->addWidget(new QLabel(boardTextLabel(BoardText::Serial), content), 1, 0);
    fields->addWidget(sSerial, 1, 1, Qt::AlignLeft);
    fields->addWidget(LMac, 2, 0);
    fields->addWidget(Mac, 2, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(SDev);
    layout->addLayout(fields);
    layout->addWidget(new QLabel(boardTextLabel(BoardText::Description), content));
    layout->addWidget(sDescr);
    layout->addLayout(buttons);
}

void TFBoard::LoadBlock(const BoardInputs& inputs)
{
    model_.LoadBlock(inputs);
    SDev->setText(model_.title());

    const bool address = model_.addressShown();
    for (QWidget* control : std::array<QWidget*, 2>{LMac, Mac}) {
        control->setVisible(address);
        control->setEnabled(address);
    }
    if (address) {
        const QSignalBlocker quiet(Mac);
        Mac->setText(model_.addressText());
    }
    sSerial->setText(model_.serialNumber());
    sData->setDate(model_.date(QLocale(), QDate::currentDate()));
    sDescr->setStored(model_.storedDescription());
    fitFrame();
}

bool TFBoard::MacKeyPress(const QKeyEvent& event) const
{
    // Shortcuts (a paste among them) and editing and movement keys type no character; what they
    // bring in, the field's mask keeps to hexadecimal digits.
    constexpr Qt::KeyboardModifiers shortcut =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString typed = event.text();
    if ((event.modifiers() & shortcut) || typed.size() != 1 || !typed.front().isPrint())
        return false;
    return !acceptsAddressKey(typed.front());
}

void TFBoard::MacChange(const QString& text)
{
    model_.setAddressText(text);
}

void TFBoard::OKButtonClick()
{
    const std::optional<BoardText> refused =
        model_.save(BoardEntries{sSerial->text(), sData->date(), sDescr->stored()}, QLocale());
    if (refused) {
        dialogs_.inform(this, unstorableTextMessage(*refused));
        return;
    }
    close();
}

bool TFBoard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Mac && event->type() == QEvent::KeyPress
        && MacKeyPress(*static_cast<QKeyEvent*>(event)))
        return true;
    // A key press reaches the window's content when the field it was typed into left it unused.
    if (watched == widget() && isEnterKey(*event)) {
        OKButtonClick();
        return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

// The frame fits its controls: the address row, when hidden, takes no room.
void TFBoard::fitFrame()
{
    // Hiding a control of a window not yet shown leaves the layouts' sizes as they were: the
    // activation measures every layout again.
    widget()->layout()->invalidate();
    widget()->layout()->activate();
    widget()->setFixedSize(widget()->sizeHint());
    adjustSize();
}
