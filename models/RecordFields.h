#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <vector>

#include "config/ConfigRecord.h"
#include "models/Field.h"

// The blocks of the record that an editor shows, in record order.
enum class EditorBlock { Codec, Vocoder, Recorder, Amplifier, Link, Net, Board };

// A block's stable key ("codec", "vocoder", "recorder", "amplifier", "link", "net", "board"), the
// caption of its editor, and its place in the record.
struct EditorBlockInfo {
    EditorBlock block;
    const char* key;
    QString caption;
    BlockSpan span;
};
const std::vector<EditorBlockInfo>& editorBlocks();
const EditorBlockInfo* editorBlockOf(const QString& key);

// The board block's fields: serial number, date, description and hardware address.
std::span<const Field> boardFields();

// What the record and its reader stand on: the access level the editors are opened in (it decides
// which fields they let be changed), the locale of the texts, and the day a date that does not
// parse is shown as.
struct RecordView {
    AccessLevel level = LevelFull;
    QLocale locale;
    QDate today = QDate::currentDate();
};

// One field of a record as its editor shows it once opened.
struct FieldReading {
    EditorBlock block;
    const Field* field;
    QByteArray stored; // the record's bytes the field lives in, as stored
    int value = 0;     // the value the editor's control holds (for the board's texts: 0)
    QString shown;     // its text as the editor shows it
    bool enabled = true;
    QString label;     // its label on one line, without the closing colon
    int offset = 0;    // where its bytes begin in the record
};

// Every field of every block, in the editors' words, for the record's model and edition: a field
// that the editor does not have for this controller is left out.
std::vector<FieldReading> describeRecord(const ConfigRecord& record, const RecordView& view = {});
// The same for one block.
std::vector<FieldReading> describeBlock(const ConfigRecord& record, EditorBlock block,
                                        const RecordView& view = {});

// What became of a value applied to a field.
struct FieldChange {
    enum class Outcome {
        Taken,   // stored as given
        Fitted,  // outside its range: stored as the nearer bound, as the editor does
        Refused, // not stored; the record is as it was
    };
    Outcome outcome = Outcome::Refused;
    QString message; // what the editor says (empty when taken)
};

// Applies a value, written as its editor shows it, to one field, through the editor's rules, and
// saves the block as "Сохранить" (or "OK") does. The CRC is not touched.
FieldChange applyFieldText(ConfigRecord& record, EditorBlock block, const QString& fieldKey,
                           const QString& text, const RecordView& view = {});
