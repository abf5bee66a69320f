#include "editors/GuardedFields.h"

#include <utility>

#include <QLineEdit>
#include <QTextCursor>
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
}

// The rule judges the outermost edit when it is over: a paste inside a key press or a drop is
// judged with it, and the document is never replaced while it is in the middle of an edit.
template <typename Edit>
void GuardedTextEdit::guarded(Edit edit)
{
    if (editDepth_ > 0) {
        edit();
        return;
    }
    const QString before = toPlainText();
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    ++editDepth_;
    edit();
    --editDepth_;
    const QString after = toPlainText();
    if (after == before || rule_(before, after))
        return;
    setPlainText(before);
    QTextCursor cursor(document());
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void GuardedTextEdit::keyPressEvent(QKeyEvent* event)
{
    guarded([&] { QPlainTextEdit::keyPressEvent(event); });
}

void GuardedTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    guarded([&] { QPlainTextEdit::inputMethodEvent(event); });
}

void GuardedTextEdit::dropEvent(QDropEvent* event)
{
    guarded([&] { QPlainTextEdit::dropEvent(event); });
}

void GuardedTextEdit::insertFromMimeData(const QMimeData* source)
{
    guarded([&] { QPlainTextEdit::insertFromMimeData(source); });
}
