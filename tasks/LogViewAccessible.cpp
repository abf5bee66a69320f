#include "tasks/LogViewAccessible.h"

#include <algorithm>
#include <climits>

#include "tasks/LogView.h"

namespace {

// An offset as the accessibility interfaces count, which a log past 2^31 characters outgrows.
int narrowed(qsizetype offset)
{
    return static_cast<int>(std::min<qsizetype>(offset, INT_MAX));
}

QAccessibleInterface* logViewInterface(const QString&, QObject* object)
{
    auto* view = dynamic_cast<LogView*>(object);
    return view ? new LogViewAccessible(view) : nullptr;
}

// A change of the selection, or of a selection's ends, as a text edit reports it: moving a caret
// that selects nothing is no change of the selection.
bool selectionChanged(LogPosition anchorBefore, LogPosition cursorBefore, LogPosition anchor,
                      LogPosition cursor)
{
    const bool before = anchorBefore != cursorBefore;
    const bool now = anchor != cursor;
    return before != now || (now && (anchor != anchorBefore || cursor != cursorBefore));
}

// The text attributes of a font, in the names and order of a plain text edit.
QString fontAttributes(const QFont& font)
{
    QString family = font.family();
    for (const char16_t special : {u'\\', u':', u',', u'=', u';', u'"'})
        family.replace(QChar(special), QString(u'\\') + QChar(special));
    QString attributes = QStringLiteral("font-family:\"%1\";").arg(family);
    if (font.pointSize() > 0)
        attributes += QStringLiteral("font-size:%1pt;").arg(font.pointSize());
    attributes += font.weight() > QFont::Normal ? QStringLiteral("font-weight:bold;")
                                                : QStringLiteral("font-weight:normal;");
    attributes += font.style() == QFont::StyleItalic    ? QStringLiteral("font-style:italic;")
        : font.style() == QFont::StyleOblique ? QStringLiteral("font-style:oblique;")
                                              : QStringLiteral("font-style:normal;");
    return attributes + QStringLiteral("text-position:baseline;text-align:left;");
}

} // namespace

LogViewAccessible::LogViewAccessible(LogView* view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void LogViewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(logViewInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void LogViewAccessible::announceSelection(LogView& view, LogPosition anchorBefore,
                                          LogPosition cursorBefore)
{
    const LogLines& lines = view.lines();
    const LogPosition anchor = view.anchorPosition();
    const LogPosition cursor = view.cursorPosition();
    const int caret = narrowed(lines.offsetOf(cursor));
    if (cursor != cursorBefore) {
        QAccessibleTextCursorEvent moved(&view, caret);
        QAccessible::updateAccessibility(&moved);
    }
    if (!selectionChanged(anchorBefore, cursorBefore, anchor, cursor))
        return;
    QAccessibleTextSelectionEvent selected(&view,
                                           narrowed(lines.offsetOf(std::min(anchor, cursor))),
                                           narrowed(lines.offsetOf(std::max(anchor, cursor))));
    selected.setCursorPosition(caret);
    QAccessible::updateAccessibility(&selected);
}

void LogViewAccessible::announceInsert(LogView& view, qsizetype offset, const QString& text)
{
    QAccessibleTextInsertEvent inserted(&view, narrowed(offset), text);
    QAccessible::updateAccessibility(&inserted);
}

void LogViewAccessible::announceRemoval(LogView& view, qsizetype offset, const QString& text)
{
    QAccessibleTextRemoveEvent removed(&view, narrowed(offset), text);
    QAccessible::updateAccessibility(&removed);
}

LogView& LogViewAccessible::view() const
{
    return *static_cast<LogView*>(widget());
}

const LogLines& LogViewAccessible::lines() const
{
    return view().lines();
}

LogPosition LogViewAccessible::positionAt(int offset) const
{
    return lines().positionAt(offset);
}

int LogViewAccessible::offsetOf(LogPosition position) const
{
    return narrowed(lines().offsetOf(position));
}

bool LogViewAccessible::holds(int offset) const
{
    return offset >= 0 && offset <= characterCount();
}

QAccessible::State LogViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.selectableText = true;
    state.editable = true;
    return state;
}

QString LogViewAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return lines().text({}, lines().end());
    return QAccessibleWidget::text(type);
}

void LogViewAccessible::setText(QAccessible::Text type, const QString& text)
{
    if (type == QAccessible::Value)
        view().replace({}, lines().end(), text);
    else
        QAccessibleWidget::setText(type, text);
}

void* LogViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void LogViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
    if (selectionIndex != 0 || !view().hasSelection())
        return;
    const LogPosition anchor = view().anchorPosition();
    const LogPosition cursor = view().cursorPosition();
    *startOffset = offsetOf(std::min(anchor, cursor));
    *endOffset = offsetOf(std::max(anchor, cursor));
}

int LogViewAccessible::selectionCount() const
{
    return view().hasSelection() ? 1 : 0;
}

void LogViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LogViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view().setCursorPosition(view().cursorPosition());
}

void LogViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view().setSelection(positionAt(startOffset), positionAt(endOffset));
}

int LogViewAccessible::cursorPosition() const
{
    return offsetOf(view().cursorPosition());
}

void LogViewAccessible::setCursorPosition(int position)
{
    view().setCursorPosition(positionAt(position));
}

QString LogViewAccessible::text(int startOffset, int endOffset) const
{
    return lines().text(positionAt(startOffset), positionAt(endOffset));
}

// The text of a piece and its offsets; none reads as an empty text from -1 to -1.
QString LogViewAccessible::piece(const std::optional<LogRange>& range, int* startOffset,
                                 int* endOffset) const
{
    if (!range) {
        *startOffset = -1;
        *endOffset = -1;
        return {};
    }
    *startOffset = offsetOf(range->start);
    *endOffset = offsetOf(range->end);
    return lines().text(range->start, range->end);
}

QString LogViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    return piece(holds(offset) ? segmentBefore(lines(), positionAt(offset), boundaryType)
                               : std::nullopt,
                 startOffset, endOffset);
}

QString LogViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const
{
    return piece(holds(offset) ? segmentAfter(lines(), positionAt(offset), boundaryType)
                               : std::nullopt,
                 startOffset, endOffset);
}

QString LogViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const
{
    return piece(holds(offset) ? std::optional(segmentAt(lines(), positionAt(offset), boundaryType))
                               : std::nullopt,
                 startOffset, endOffset);
}

int LogViewAccessible::characterCount() const
{
    return narrowed(lines().characterCount());
}

QRect LogViewAccessible::characterRect(int offset) const
{
    if (!holds(offset))
        return {};
    return view().characterRect(positionAt(offset)).translated(
        view().viewport()->mapToGlobal(QPoint(0, 0)));
}

// The character under the point, where the caret would go to the nearer of its edges.
int LogViewAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint inView = view().viewport()->mapFromGlobal(point);
    if (!view().viewport()->rect().contains(inView))
        return -1;
    LogPosition at = view().positionAt(inView);
    if (at.column > 0 && inView.x() < view().characterRect(at).left())
        --at.column;
    return offsetOf(at);
}

void LogViewAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view().ensureVisible(positionAt(endIndex));
    view().ensureVisible(positionAt(startIndex));
}

// The whole log has one look; its runs are as a plain text edit gives them: a line's text, or a
// line break on its own. -2 asks at the caret, -1 at the end.
QString LogViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    const int count = characterCount();
    if (offset == -2)
        offset = cursorPosition();
    if (offset == -1 || offset == count)
        offset = count - 1;
    if (offset < 0 || offset > count) {
        *startOffset = -1;
        *endOffset = -1;
        return {};
    }
    const LogPosition at = positionAt(offset);
    const qsizetype length = lines().length(at.line);
    const LogRange run = at.column < length ? LogRange{{at.line, 0}, {at.line, length}}
                                            : LogRange{at, {at.line + 1, 0}};
    *startOffset = offsetOf(run.start);
    *endOffset = offsetOf(run.end);
    return fontAttributes(view().font());
}

void LogViewAccessible::deleteText(int startOffset, int endOffset)
{
    view().replace(positionAt(startOffset), positionAt(endOffset), {});
}

void LogViewAccessible::insertText(int offset, const QString& text)
{
    view().replace(positionAt(offset), positionAt(offset), text);
}

void LogViewAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    view().replace(positionAt(startOffset), positionAt(endOffset), text);
}
