#include "ui/GuardedFields.h"

#include <utility>

#include <QLineEdit>
#include <QMetaObject>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

namespace {

// Refuses at input what the rule refuses. setText passes no validator, and the accessibility
// interface's insert, delete and replace go through it: a text the rule refuses is put back at
// once.
class RuleValidator final : public QValidator {
public:
    RuleValidator(QLineEdit* field, std::function<bool(const QString&)> rule)
        : QValidator(field)
        , field_(field)
        , rule_(std::move(rule))
        , taken_(field->text())
    {
        connect(field, &QLineEdit::textChanged, this, &RuleValidator::follow);
    }

    State validate(QString& input, int&) const override
    {
        return rule_(input) ? Acceptable : Invalid;
    }

private:
    void follow(const QString& text)
    {
        if (rule_(text))
            taken_ = text;
        else
            field_->setText(taken_);
    }

    QLineEdit* field_;
    std::function<bool(const QString&)> rule_;
    QString taken_;
};

// The document's text with each line break as "\n". A no-break space stays itself: the
// document's plain text would give a blank for it.
QString fieldText(const QTextDocument& document)
{
    QString text = document.toRawText();
    for (QChar& character : text) {
        if (character == QChar::ParagraphSeparator || character == QChar::LineSeparator)
            character = u'\n';
    }
    return text;
}

} // namespace

QLineEdit* makeGuardedLineEdit(QWidget* parent, const QString& name,
                               std::function<bool(const QString&)> rule)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setValidator(new RuleValidator(field, std::move(rule)));
    return field;
}

GuardedTextEdit::GuardedTextEdit(QWidget* parent, const QString& name, Rule rule)
    : QPlainTextEdit(parent)
    , rule_(std::move(rule))
{
    setObjectName(name);
    connect(document(), &QTextDocument::contentsChanged, this, &GuardedTextEdit::follow);
}

void GuardedTextEdit::setStored(const StoredText& text)
{
    followingSelf_ = true;
    setPlainText(text.shown());
    followingSelf_ = false;
    stored_ = text;
    beforeRemoval_.reset();
}

StoredText GuardedTextEdit::stored() const
{
    return stored_.edited(fieldText(*document()));
}

// Each change of the document, whoever made it: the edit is taken or put back.
void GuardedTextEdit::follow()
{
    if (followingSelf_)
        return;
    const QString before = stored_.shown();
    const QString now = fieldText(*document());
    if (now == before)
        return;
    const TextChange change = textChange(before, now);
    const StoredText edited = stored_.edited(now);
    if (rule_(edited))
        take(edited, change.added == 0);
    else
        takeBack(change.removed == 0 && beforeRemoval_ ? *beforeRemoval_ : stored_);
}

void GuardedTextEdit::take(const StoredText& text, bool removal)
{
    beforeRemoval_.reset();
    if (removal) {
        beforeRemoval_ = stored_;
        QMetaObject::invokeMethod(
            this, [this] { beforeRemoval_.reset(); }, Qt::QueuedConnection);
    }
    stored_ = text;
}

// Puts the text back by undoing only the part that differs, within the refused edit's own undo
// step, so that the cursors keep their places and an undo does not bring the refused text back.
void GuardedTextEdit::takeBack(const StoredText& text)
{
    const QString shown = text.shown();
    const TextChange change = textChange(fieldText(*document()), shown);
    followingSelf_ = true;
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    cursor.setPosition(change.position);
    cursor.setPosition(change.position + change.removed, QTextCursor::KeepAnchor);
    cursor.insertText(shown.mid(change.position, change.added));
    cursor.endEditBlock();
    followingSelf_ = false;
    stored_ = text;
    beforeRemoval_.reset();
    if (inputCursor_)
        inputCursor_->refused = true;
}

// A paste inside a key press or a drop belongs to it; the cursor of the outermost event is put
// back when its edit is refused.
template <typename Handler>
void GuardedTextEdit::input(Handler handle)
{
    if (inputCursor_) {
        handle();
        return;
    }
    beforeRemoval_.reset();
    const QTextCursor cursor = textCursor();
    inputCursor_ = InputCursor{cursor.anchor(), cursor.position(), false};
    handle();
    const InputCursor before = *inputCursor_;
    inputCursor_.reset();
    if (!before.refused)
        return;
    QTextCursor restored(document());
    restored.setPosition(before.anchor);
    restored.setPosition(before.position, QTextCursor::KeepAnchor);
    setTextCursor(restored);
}

void GuardedTextEdit::keyPressEvent(QKeyEvent* event)
{
    input([&] { QPlainTextEdit::keyPressEvent(event); });
}

void GuardedTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    input([&] { QPlainTextEdit::inputMethodEvent(event); });
}

void GuardedTextEdit::dropEvent(QDropEvent* event)
{
    input([&] { QPlainTextEdit::dropEvent(event); });
}

// A drag or a paste of text the field could never take is not offered at all.
bool GuardedTextEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return QPlainTextEdit::canInsertFromMimeData(source)
        && rule_(StoredText::entered(source->text()));
}

// A drag within the field has removed the text it moves by now, in the same edit as the
// insertion: following that removal first keeps the bytes of the text in between.
void GuardedTextEdit::insertFromMimeData(const QMimeData* source)
{
    input([&] {
        follow();
        QPlainTextEdit::insertFromMimeData(source);
    });
}
