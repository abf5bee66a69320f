#include "tasks/LogView.h"

#include <algorithm>
#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include "tasks/LogViewAccessible.h"

namespace {
constexpr int Margin = 4;
constexpr int CursorWidth = 1;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Text a key press types, as opposed to the control characters of other keys.
bool isTypedText(const QString& text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}
}

LogView::LogView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    LogViewAccessible::install();
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    measureAscii();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
    updateScrollBars();
}

QSize LogView::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 60, lineHeight() * 16};
}

QString LogView::toPlainText() const
{
    return lines_.text({}, lines_.end());
}

void LogView::appendLines(const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const bool told = QAccessible::isActive();
    const qsizetype end = told ? lines_.characterCount() : 0;
    lines_.append(lines);
    noteWidth(lines);
    updateScrollBars();
    if (following)
        bar->setValue(bar->maximum());
    viewport()->update();
    if (told)
        LogViewAccessible::announceInsert(*this, end, u'\n' + lines.join(u'\n'));
}

void LogView::noteWidth(const QStringList& lines)
{
    for (const QString& text : lines)
        widest_ = std::max(widest_, lineWidth(text));
}

// A line of ASCII text is as wide as its characters' advances together, which saves shaping
// every line of a flood; other text is measured.
int LogView::lineWidth(const QString& text) const
{
    int width = 0;
    for (const QChar c : text) {
        if (c.unicode() >= asciiAdvance_.size())
            return fontMetrics().horizontalAdvance(text);
        width += asciiAdvance_[c.unicode()];
    }
    return width;
}

void LogView::measureAscii()
{
    const QFontMetrics metrics = fontMetrics();
    for (std::size_t c = 0; c < asciiAdvance_.size(); ++c)
        asciiAdvance_[c] = metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

void LogView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() != QEvent::FontChange)
        return;
    measureAscii();
    widest_ = 0;
    for (qsizetype i = 0; i < lines_.count(); ++i)
        widest_ = std::max(widest_, lineWidth(lines_.line(i)));
    updateScrollBars();
}

int LogView::lineHeight() const
{
    return fontMetrics().lineSpacing();
}

int LogView::fullRows() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

int LogView::textLeft() const
{
    return Margin - horizontalScrollBar()->value();
}

qsizetype LogView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

void LogView::updateScrollBars()
{
    const int rows = fullRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::max<qsizetype>(0, lines_.count() - rows)));
    vertical->setPageStep(rows);
    QScrollBar* horizontal = horizontalScrollBar();
    const int contentWidth = widest_ + 2 * Margin + CursorWidth;
    horizontal->setRange(0, std::max(0, contentWidth - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LogView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void LogView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const qsizetype first = firstVisibleLine() + event->rect().top() / height;
    const qsizetype last =
        std::min(lines_.count() - 1, firstVisibleLine() + event->rect().bottom() / height);
    const QPalette& colours = palette();
    for (qsizetype i = first; i <= last; ++i) {
        const QRect row(0, static_cast<int>(i - firstVisibleLine()) * height,
                        viewport()->width(), height);
        const QString text = lines_.line(i);
        const QRect selected = selectionRect(i, text, row);
        const QPoint baseline(textLeft(), row.top() + metrics.ascent());
        painter.setClipRegion(QRegion(row).subtracted(selected));
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(baseline, text);
        if (selected.isEmpty())
            continue;
        painter.setClipRect(selected);
        painter.fillRect(selected, colours.highlight());
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawText(baseline, text);
    }
    painter.setClipping(false);
    if (cursorShown_ && hasFocus())
        painter.fillRect(cursorRect(), colours.color(QPalette::Text));
}

// The selected part of a line's row; a selected line break shows as a little space after the
// line.
QRect LogView::selectionRect(qsizetype line, const QString& text, const QRect& row) const
{
    const LogPosition from = std::min(anchor_, cursor_);
    const LogPosition to = std::max(anchor_, cursor_);
    if (!hasSelection() || line < from.line || line > to.line)
        return {};
    const QFontMetrics metrics = fontMetrics();
    const qsizetype start = line == from.line ? from.column : 0;
    const qsizetype stop = line == to.line ? to.column : text.size();
    const int left = textLeft() + metrics.horizontalAdvance(text.left(start));
    const int right = textLeft() + metrics.horizontalAdvance(text.left(stop))
        + (line < to.line ? metrics.averageCharWidth() / 2 : 0);
    return QRect(QPoint(left, row.top()), QPoint(right - 1, row.bottom()));
}

int LogView::xOf(LogPosition position) const
{
    const QString text = lines_.line(position.line);
    return textLeft() + fontMetrics().horizontalAdvance(text.left(position.column));
}

int LogView::rowTop(qsizetype line) const
{
    return static_cast<int>(line - firstVisibleLine()) * lineHeight();
}

QRect LogView::cursorRect() const
{
    return {xOf(cursor_), rowTop(cursor_.line), CursorWidth, lineHeight()};
}

QRect LogView::characterRect(LogPosition position) const
{
    position = lines_.clamped(position);
    const QString character = lines_.line(position.line).mid(position.column, 1);
    return {xOf(position), rowTop(position.line), fontMetrics().horizontalAdvance(character),
            lineHeight()};
}

// A pointer above the view points at the line just above it, so that dragging there scrolls up a
// line at a time.
LogPosition LogView::positionAt(const QPoint& point) const
{
    const qsizetype row = point.y() < 0 ? -1 : point.y() / lineHeight();
    const qsizetype lineIndex =
        std::clamp<qsizetype>(firstVisibleLine() + row, 0, lines_.count() - 1);
    return {lineIndex, columnAt(lineIndex, point.x())};
}

// The column of a line nearest to x, in viewport coordinates.
qsizetype LogView::columnAt(qsizetype lineIndex, int x) const
{
    const QString text = lines_.line(lineIndex);
    const QFontMetrics metrics = fontMetrics();
    x -= textLeft();
    const auto advance = [&](qsizetype column) {
        return metrics.horizontalAdvance(text.left(column));
    };
    // The first column at or right of x, then the nearer of it and the one before.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (advance(middle) < x)
            low = middle + 1;
        else
            high = middle;
    }
    if (low > 0 && x - advance(low - 1) < advance(low) - x)
        --low;
    return low;
}

void LogView::setCursorPosition(LogPosition position)
{
    moveCursor(position, false);
}

void LogView::moveCursor(LogPosition position, bool keepAnchor)
{
    setSelection(keepAnchor ? anchor_ : position, position);
}

// Every change of the caret or the selection comes here.
void LogView::setSelection(LogPosition anchor, LogPosition cursor)
{
    const LogPosition anchorBefore = anchor_;
    const LogPosition cursorBefore = cursor_;
    anchor_ = lines_.clamped(anchor);
    cursor_ = lines_.clamped(cursor);
    ensureVisible(cursor_);
    restartBlink();
    viewport()->update();
    if (QAccessible::isActive())
        LogViewAccessible::announceSelection(*this, anchorBefore, cursorBefore);
}

void LogView::ensureVisible(LogPosition position)
{
    position = lines_.clamped(position);
    QScrollBar* vertical = verticalScrollBar();
    if (position.line < vertical->value())
        vertical->setValue(static_cast<int>(position.line));
    else if (position.line >= vertical->value() + fullRows())
        vertical->setValue(static_cast<int>(position.line - fullRows() + 1));
    QScrollBar* horizontal = horizontalScrollBar();
    const int x =
        fontMetrics().horizontalAdvance(lines_.line(position.line).left(position.column))
        + Margin;
    if (x < horizontal->value())
        horizontal->setValue(std::max(0, x - Margin));
    else if (x + CursorWidth > horizontal->value() + viewport()->width())
        horizontal->setValue(x + CursorWidth + Margin - viewport()->width());
}

void LogView::restartBlink()
{
    cursorShown_ = true;
    const int period = QApplication::styleHints()->cursorFlashTime() / 2;
    if (hasFocus() && period > 0)
        blink_.start(period, this);
    else
        blink_.stop();
}

void LogView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != blink_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    cursorShown_ = !cursorShown_;
    viewport()->update(cursorRect());
}

void LogView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

QString LogView::selectedText() const
{
    return lines_.text(anchor_, cursor_);
}

void LogView::selectAll()
{
    setSelection({}, lines_.end());
}

void LogView::copy() const
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void LogView::cut()
{
    copy();
    deleteSelection();
}

void LogView::paste()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        insertText(text);
}

void LogView::deleteSelection()
{
    if (hasSelection())
        removeText(anchor_, cursor_);
}

void LogView::replace(LogPosition from, LogPosition to, const QString& text)
{
    removeText(from, to);
    insertText(text);
}

// Removes the text between two positions, in either order; the caret goes where the text was.
void LogView::removeText(LogPosition from, LogPosition to)
{
    from = lines_.clamped(from);
    to = lines_.clamped(to);
    if (to < from)
        std::swap(from, to);
    if (from != to) {
        const bool told = QAccessible::isActive();
        const qsizetype offset = told ? lines_.offsetOf(from) : 0;
        const QString removed = told ? lines_.text(from, to) : QString();
        lines_.remove(from, to);
        if (lines_.count() == 1 && lines_.line(0).isEmpty())
            widest_ = 0;
        updateScrollBars();
        if (told)
            LogViewAccessible::announceRemoval(*this, offset, removed);
    }
    setSelection(from, from);
}

void LogView::insertText(const QString& text)
{
    deleteSelection();
    if (text.isEmpty())
        return;
    const LogPosition start = cursor_;
    const LogPosition after = lines_.insert(cursor_, text);
    QStringList changed;
    for (qsizetype i = start.line; i <= after.line; ++i)
        changed << lines_.line(i);
    noteWidth(changed);
    updateScrollBars();
    if (QAccessible::isActive())
        LogViewAccessible::announceInsert(*this, lines_.offsetOf(start),
                                          lines_.text(start, after));
    setSelection(after, after);
}

LogPosition LogView::step(LogPosition position, int direction) const
{
    if (direction < 0) {
        if (position.column > 0)
            return {position.line, position.column - 1};
        if (position.line > 0)
            return {position.line - 1, lines_.line(position.line - 1).size()};
        return position;
    }
    if (position.column < lines_.line(position.line).size())
        return {position.line, position.column + 1};
    if (position.line + 1 < lines_.count())
        return {position.line + 1, 0};
    return position;
}

// To the start of the previous word, or past the end of the next one.
LogPosition LogView::wordStep(LogPosition position, int direction) const
{
    const QString text = lines_.line(position.line);
    qsizetype column = position.column;
    if (direction < 0) {
        if (column == 0)
            return step(position, -1);
        while (column > 0 && !isWordChar(text[column - 1]))
            --column;
        while (column > 0 && isWordChar(text[column - 1]))
            --column;
    } else {
        if (column == text.size())
            return step(position, 1);
        while (column < text.size() && !isWordChar(text[column]))
            ++column;
        while (column < text.size() && isWordChar(text[column]))
            ++column;
    }
    return {position.line, column};
}

// The line that many rows away, at the column nearest the same x: found from the line itself, as
// the line may be anywhere, in view or not.
LogPosition LogView::verticalStep(LogPosition position, qsizetype rows) const
{
    const qsizetype target = std::clamp<qsizetype>(position.line + rows, 0, lines_.count() - 1);
    return {target, columnAt(target, xOf(position))};
}

bool LogView::moveByKey(QKeyEvent* event)
{
    using Target = LogPosition (*)(const LogView&);
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Target target;
    };
    static const Move moves[]{
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
         [](const LogView& v) { return v.step(v.cursor_, -1); }},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar,
         [](const LogView& v) { return v.step(v.cursor_, 1); }},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
         [](const LogView& v) { return v.wordStep(v.cursor_, -1); }},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord,
         [](const LogView& v) { return v.wordStep(v.cursor_, 1); }},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine,
         [](const LogView& v) { return v.verticalStep(v.cursor_, -1); }},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine,
         [](const LogView& v) { return v.verticalStep(v.cursor_, 1); }},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage,
         [](const LogView& v) { return v.verticalStep(v.cursor_, -v.fullRows()); }},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage,
         [](const LogView& v) { return v.verticalStep(v.cursor_, v.fullRows()); }},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine,
         [](const LogView& v) { return LogPosition{v.cursor_.line, 0}; }},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine,
         [](const LogView& v) {
             return LogPosition{v.cursor_.line, v.lines_.line(v.cursor_.line).size()};
         }},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument,
         [](const LogView&) { return LogPosition{}; }},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument,
         [](const LogView& v) { return v.lines_.end(); }},
    };
    for (const Move& move : moves) {
        const bool selecting = event->matches(move.select);
        if (selecting || event->matches(move.move)) {
            moveCursor(move.target(*this), selecting);
            return true;
        }
    }
    return false;
}

bool LogView::editByKey(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (hasSelection())
            deleteSelection();
        else
            removeText(step(cursor_, event->key() == Qt::Key_Backspace ? -1 : 1), cursor_);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        insertText(QStringLiteral("\n"));
    } else if (isTypedText(event->text())) {
        insertText(event->text());
    } else {
        return false;
    }
    return true;
}

void LogView::keyPressEvent(QKeyEvent* event)
{
    if (moveByKey(event) || editByKey(event)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LogView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        insertText(event->commitString());
    event->accept();
}

QVariant LogView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle:
        return cursorRect();
    case Qt::ImCursorPosition:
        return static_cast<int>(cursor_.column);
    case Qt::ImSurroundingText:
        return lines_.line(cursor_.line);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void LogView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    moveCursor(positionAt(event->position().toPoint()),
               event->modifiers().testFlag(Qt::ShiftModifier));
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        moveCursor(positionAt(event->position().toPoint()), true);
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const LogPosition at = positionAt(event->position().toPoint());
    const QString text = lines_.line(at.line);
    qsizetype start = at.column;
    qsizetype stop = at.column;
    while (start > 0 && isWordChar(text[start - 1]))
        --start;
    while (stop < text.size() && isWordChar(text[stop]))
        ++stop;
    setSelection({at.line, start}, {at.line, stop});
}

QMenu* LogView::contextMenu()
{
    auto* menu = new QMenu(this);
    const auto add = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                         const std::function<void()>& command) {
        QAction* action = menu->addAction(text, this, command);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    const bool selection = hasSelection();
    add(QStringLiteral("Вырезать"), QKeySequence::Cut, selection, [this] { cut(); });
    add(QStringLiteral("Копировать"), QKeySequence::Copy, selection, [this] { copy(); });
    add(QStringLiteral("Вставить"), QKeySequence::Paste,
        !QApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(QStringLiteral("Удалить"), QKeySequence::Delete, selection, [this] { deleteSelection(); });
    menu->addSeparator();
    add(QStringLiteral("Выделить все"), QKeySequence::SelectAll, true, [this] { selectAll(); });
    return menu;
}

void LogView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = contextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
