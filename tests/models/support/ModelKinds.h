#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QDate>
#include <QLocale>

#include "config/ConfigRecord.h"
#include "models/EditorModel.h"

// Opens an editor's model on a record, as its window does when it is created.
struct ModelKind {
    const char* name;
    BlockSpan block;
    std::function<std::unique_ptr<EditorModel>(ConfigRecord&, AccessLevel)> make;
};

// Every editor whose model works on one block as an EditorModel.
const std::vector<ModelKind>& modelKinds();

// The record after the editor was opened on it and "Сохранить" pressed at once.
RecordBytes openedAndSaved(const ModelKind& kind, const RecordBytes& bytes, AccessLevel level);

// How the board identity editor's "OK" is pressed: at once, or after the serial number, date,
// description and (for an R-420) hardware address were each entered again as the window showed
// them, where the window takes that entry (the description typed anew).
enum class BoardEntry { Untouched, EnteredAsShown };

// The record after the board identity editor was opened on it and "OK" pressed, or nothing when
// "OK" refused a text; `today` stands for the date the date picker shows when the stored date
// does not parse.
std::optional<RecordBytes> boardOpenedAndSaved(const RecordBytes& bytes, BoardEntry entry,
                                               const QLocale& locale, const QDate& today);
