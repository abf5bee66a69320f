#include "tasks/LogView.h"

#include <algorithm>
#include <functional>

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
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}
}

LogView::LogView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
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
    const qsizetype first = lines_.count();
    lines_.append(lines);
    noteWidth(first, lines_.count());
    updateScrollBars();
    if (following)
        bar->setValue(bar->maximum());
    viewport()->update();
}

void LogView::noteWidth(qsizetype fromLine, qsizetype toLine)
{
    const QFontMetrics metrics = fontMetrics();
    for (qsizetype i = fromLine; i < toLine; ++i)
        widest_ = std::max(widest_, metrics.horizontalAdvance(lines_.line(i)));
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
    const LogPosition from = std::min(anchor_, cursor_);
    const LogPosition to = std::max(anchor_, cursor_);
    const QPalette& colours = palette();
    for (qsizetype i = first; i <= last; ++i) {
        const int top = static_cast<int>(i - firstVisibleLine()) * height;
        const QString text = lines_.line(i);
        if (hasSelection() && from.line <= i && i <= to.line) {
            const qsizetype start = i == from.line ? from.column : 0;
            const qsizetype stop = i == to.line ? to.column : text.size();
            const int left = textLeft() + metrics.horizontalAdvance(text.left(start));
            // A selected line break shows as a little space after the line.
            const int right = textLeft() + metrics.horizontalAdvance(text.left(stop))
                + (i < to.line ? metrics.averageCharWidth() / 2 : 0);
            painter.fillRect(QRect(left, top, right - left, height), colours.highlight());
        }
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(textLeft(), top + metrics.ascent(), text);
        if (hasSelection() && from.line <= i && i <= to.line) {
            const qsizetype start = i == from.line ? from.column : 0;
            const qsizetype stop = i == to.line ? to.column : text.size();
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(textLeft() + metrics.horizontalAdvance(text.left(start)),
                             top + metrics.ascent(), text.mid(start, stop - start));
        }
    }
    if (cursorShown_ && hasFocus())
        painter.fillRect(cursorRect(), colours.color(QPalette::Text));
}

int LogView::xOf(LogPosition position) const
{
    return textLeft() + fontMetrics().horizontalAdvance(lines_.line(position.line).left(position.column));
}

QRect LogView::cursorRect() const
{
    const int top = static_cast<int>(cursor_.line - firstVisibleLine()) * lineHeight();
    return {xOf(cursor_), top, CursorWidth, lineHeight()};
}

LogPosition LogView::positionAt(const QPoint& point) const
{
    const qsizetype row = point.y() < 0 ? -1 : point.y() / lineHeight();
    const qsizetype lineIndex =
        std::clamp<qsizetype>(firstVisibleLine() + row, 0, lines_.count() - 1);
    const QString text = lines_.line(lineIndex);
    const QFontMetrics metrics = fontMetrics();
    const int x = point.x() - textLeft();
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
    return {lineIndex, low};
}

void LogView::setCursorPosition(LogPosition position)
{
    moveCursor(position, false);
}

void LogView::moveCursor(LogPosition position, bool keepAnchor)
{
    cursor_ = lines_.clamped(position);
    if (!keepAnchor)
        anchor_ = cursor_;
    ensureCursorVisible();
    restartBlink();
    viewport()->update();
}

void LogView::ensureCursorVisible()
{
    QScrollBar* vertical = verticalScrollBar();
    if (cursor_.line < vertical->value())
        vertical->setValue(static_cast<int>(cursor_.line));
    else if (cursor_.line >= vertical->value() + fullRows())
        vertical->setValue(static_cast<int>(cursor_.line - fullRows() + 1));
    QScrollBar* horizontal = horizontalScrollBar();
    const int x = fontMetrics().horizontalAdvance(lines_.line(cursor_.line).left(cursor_.column))
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
    anchor_ = {};
    cursor_ = lines_.end();
    ensureCursorVisible();
    viewport()->update();
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
    if (!hasSelection())
        return;
    const LogPosition from = std::min(anchor_, cursor_);
    lines_.remove(anchor_, cursor_);
    if (lines_.count() == 1 && lines_.line(0).isEmpty())
        widest_ = 0;
    updateScrollBars();
    moveCursor(from, false);
}

void LogView::insertText(const QString& text)
{
    deleteSelection();
    const qsizetype linesBefore = lines_.count();
    const LogPosition start = cursor_;
    const LogPosition after = lines_.insert(cursor_, text);
    noteWidth(start.line, start.line + 1 + (lines_.count() - linesBefore));
    updateScrollBars();
    moveCursor(after, false);
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

LogPosition LogView::verticalStep(LogPosition position, int rows) const
{
    const qsizetype target = std::clamp<qsizetype>(position.line + rows, 0, lines_.count() - 1);
    const int row = static_cast<int>(target - firstVisibleLine());
    return positionAt(QPoint(xOf(position), row * lineHeight() + lineHeight() / 2));
}

bool LogView::moveByKey(QKeyEvent* event)
{
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    static const Move moves[]{
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
    };
    for (const Move& move : moves) {
        const bool selecting = event->matches(move.select);
        if (!selecting && !event->matches(move.move))
            continue;
        LogPosition to = cursor_;
        switch (move.move) {
        case QKeySequence::MoveToPreviousChar: to = step(cursor_, -1); break;
        case QKeySequence::MoveToNextChar: to = step(cursor_, 1); break;
        case QKeySequence::MoveToPreviousWord: to = wordStep(cursor_, -1); break;
        case QKeySequence::MoveToNextWord: to = wordStep(cursor_, 1); break;
        case QKeySequence::MoveToPreviousLine: to = verticalStep(cursor_, -1); break;
        case QKeySequence::MoveToNextLine: to = verticalStep(cursor_, 1); break;
        case QKeySequence::MoveToPreviousPage: to = verticalStep(cursor_, -fullRows()); break;
        case QKeySequence::MoveToNextPage: to = verticalStep(cursor_, fullRows()); break;
        case QKeySequence::MoveToStartOfLine: to = {cursor_.line, 0}; break;
        case QKeySequence::MoveToEndOfLine: to = {cursor_.line, lines_.line(cursor_.line).size()}; break;
        case QKeySequence::MoveToStartOfDocument: to = {}; break;
        case QKeySequence::MoveToEndOfDocument: to = lines_.end(); break;
        default: break;
        }
        moveCursor(to, selecting);
        return true;
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
        if (!hasSelection())
            anchor_ = step(cursor_, event->key() == Qt::Key_Backspace ? -1 : 1);
        deleteSelection();
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
    anchor_ = {at.line, start};
    cursor_ = {at.line, stop};
    restartBlink();
    viewport()->update();
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
