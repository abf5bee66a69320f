#pragma once

#include <functional>
#include <optional>

#include <QPlainTextEdit>
#include <QString>

#include "config/StoredText.h"

class QLineEdit;
class QWidget;

// Text fields that refuse any text their rule refuses, however it arrives: typed, pasted,
// dropped, composed by an input method, or put in through the accessibility interface, whose
// insert, delete and replace pass no validator and no input event. A refused edit leaves the
// field as it was.

// A one-line field taking only what rule accepts (the text as it would read after the edit).
QLineEdit* makeGuardedLineEdit(QWidget* parent, const QString& name,
                               std::function<bool(const QString&)> rule);

// A multi-line field for a text of the board block. It follows each edit of its document with
// the text as the block would store it, so that what an edit left alone keeps its bytes, and
// takes the edit only when rule accepts that stored text.
class GuardedTextEdit final : public QPlainTextEdit {
public:
    using Rule = std::function<bool(const StoredText&)>;

    GuardedTextEdit(QWidget* parent, const QString& name, Rule rule);

    // Shows the text as it is stored.
    void setStored(const StoredText& text);
    // What the field shows, as the block would store it.
    StoredText stored() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    struct InputCursor {
        int anchor;
        int position;
        bool refused;
    };

    template <typename Handler>
    void input(Handler handle);
    void follow();
    void take(const StoredText& text, bool removal);
    void takeBack(const StoredText& text);

    Rule rule_;
    StoredText stored_;
    // The text before the last edit when that edit only removed text, until the next input
    // event or the next turn of the event loop: a replacement through the accessibility
    // interface, and a drag within the field, remove first and insert then, and a refused
    // insertion takes the removal back with it.
    std::optional<StoredText> beforeRemoval_;
    // The cursor before the input event in hand, put back when the event's edit is refused.
    std::optional<InputCursor> inputCursor_;
    bool followingSelf_ = false;
};
