#pragma once

#include <array>

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include "tasks/LogLines.h"

class QMenu;

// A multi-line text field for a log that grows without end: lines are added at the bottom at a
// cost that does not depend on how many are there, only the visible lines are drawn, and a line
// costs about the bytes of its text. Its text can be selected, copied and edited like any text
// field's. While the view shows the last line it follows new lines; scrolled up, it stays put.
class LogView : public QAbstractScrollArea {
public:
    explicit LogView(QWidget* parent = nullptr);

    void appendLines(const QStringList& lines);
    const LogLines& lines() const { return lines_; }
    // The whole text, lines joined by "\n".
    QString toPlainText() const;

    LogPosition cursorPosition() const { return cursor_; }
    LogPosition anchorPosition() const { return anchor_; }
    void setCursorPosition(LogPosition position);
    // Selects from the anchor to the caret, which is shown.
    void setSelection(LogPosition anchor, LogPosition cursor);
    QString selectedText() const;
    bool hasSelection() const { return anchor_ != cursor_; }
    void selectAll();
    void copy() const;
    void cut();
    void paste();
    void deleteSelection();
    // Puts text in place of the text between two positions, in either order; the caret follows it.
    void replace(LogPosition from, LogPosition to, const QString& text);
    // The first line shown at the top.
    qsizetype firstVisibleLine() const;
    // Scrolls as little as needed to show a position.
    void ensureVisible(LogPosition position);
    // In viewport coordinates: the position nearest a point, and the box of the character at a
    // position (as wide as that character, empty at the end of a line).
    LogPosition positionAt(const QPoint& point) const;
    QRect characterRect(LogPosition position) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

private:
    bool moveByKey(QKeyEvent* event);
    bool editByKey(QKeyEvent* event);
    void moveCursor(LogPosition position, bool keepAnchor);
    void insertText(const QString& text);
    void removeText(LogPosition from, LogPosition to);
    void noteWidth(const QStringList& lines);
    int lineWidth(const QString& text) const;
    void measureAscii();
    void updateScrollBars();
    void restartBlink();
    QMenu* contextMenu();

    int lineHeight() const;
    int fullRows() const;
    int textLeft() const;
    int xOf(LogPosition position) const;
    int rowTop(qsizetype line) const;
    qsizetype columnAt(qsizetype lineIndex, int x) const;
    QRect cursorRect() const;
    QRect selectionRect(qsizetype line, const QString& text, const QRect& row) const;

    LogPosition step(LogPosition position, int direction) const;
    LogPosition wordStep(LogPosition position, int direction) const;
    LogPosition verticalStep(LogPosition position, qsizetype rows) const;

    LogLines lines_;
    LogPosition cursor_;
    LogPosition anchor_;
    std::array<int, 128> asciiAdvance_{};
    int widest_ = 0;
    bool cursorShown_ = false;
    QBasicTimer blink_;
};
