#pragma once

#include <functional>

#include <QPlainTextEdit>
#include <QString>

class QLineEdit;
class QWidget;

// Text fields that refuse, at input, any text their rule refuses: typed, pasted, dropped or
// composed by an input method. A refused edit leaves the field as it was.

// A one-line field taking only what rule accepts (the text as it would read after the edit).
QLineEdit* makeGuardedLineEdit(QWidget* parent, const QString& name,
                               std::function<bool(const QString&)> rule);

// A multi-line field taking an edit only when rule accepts the text after it, given the text
// before it.
class GuardedTextEdit final : public QPlainTextEdit {
public:
    using Rule = std::function<bool(const QString& before, const QString& after)>;

    GuardedTextEdit(QWidget* parent, const QString& name, Rule rule);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Runs an edit, and puts the text and the cursor back when the rule refuses its result.
    template <typename Edit>
    void guarded(Edit edit);

    Rule rule_;
    int editDepth_ = 0;
};
