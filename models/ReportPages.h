#pragma once

#include <optional>
#include <vector>

#include <QString>

// The three pages of figures of the statistics window, each row a label and the value field it
// names (the fields of reportFields()).

// A row's label is named when the window changes it: by the model or by the report period.
struct ReportFigureRow {
    const char* labelName;
    QString text;
    const char* field;
};

struct ReportPage {
    QString title;
    std::vector<ReportFigureRow> rows;
};

// "Общая", "Канал управления", "Канал аудио", with the labels the window opens with.
const std::vector<ReportPage>& reportPages();

// The label a row shows for a model and a report period, or nothing when the model has no such
// figure (the R-410 has no frame delay).
std::optional<QString> reportRowLabel(const ReportFigureRow& row, int model,
                                      const QString& periodText);
