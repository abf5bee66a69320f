#pragma once

#include <QAccessibleWidget>

#include <optional>

#include "tasks/LogLines.h"
#include "tasks/LogSegments.h"

class LogView;

// What assistive technology sees of a LogView: an editable multi-line text, as of a plain text
// edit. Its text is made from the log's lines when asked for; offsets into it map to the log's
// positions through the offsets the log works out on demand.
class LogViewAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit LogViewAccessible(LogView* view);

    // Makes every LogView answer with this interface; once is enough.
    static void install();

    // What the view tells a listening assistive technology. The view asks QAccessible::isActive()
    // first, so that nothing is counted while none listens.
    static void announceSelection(LogView& view, LogPosition anchorBefore,
                                  LogPosition cursorBefore);
    static void announceInsert(LogView& view, qsizetype offset, const QString& text);
    static void announceRemoval(LogView& view, qsizetype offset, const QString& text);

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    LogView& view() const;
    const LogLines& lines() const;
    LogPosition positionAt(int offset) const;
    int offsetOf(LogPosition position) const;
    bool holds(int offset) const;
    QString piece(const std::optional<LogRange>& range, int* startOffset, int* endOffset) const;
};
