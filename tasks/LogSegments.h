#pragma once

#include <optional>

#include <QAccessible>

#include "tasks/LogLines.h"

// A stretch of the log's text.
struct LogRange {
    LogPosition start;
    LogPosition end;

    bool operator==(const LogRange&) const = default;
};

// The pieces assistive technology reads a log by. A character is what the caret steps over, a
// line break included; a word is a word or the run between two words; a sentence; a line (and a
// paragraph) is a line without its line break; no boundary means the whole text. Only a line break
// read as a character crosses a line break; an empty line is an empty word, sentence and line.
// Each is found in the one line it lies in, so a piece of a long log costs the same as of a short
// one.

// The piece at a position; at the end of a line, the word or sentence that ends there, and the
// line break or nothing as a character.
LogRange segmentAt(const LogLines& lines, LogPosition position,
                   QAccessible::TextBoundaryType type);
// The piece before the one at a position, and the one after it; none at either end of the text.
std::optional<LogRange> segmentBefore(const LogLines& lines, LogPosition position,
                                      QAccessible::TextBoundaryType type);
std::optional<LogRange> segmentAfter(const LogLines& lines, LogPosition position,
                                     QAccessible::TextBoundaryType type);
