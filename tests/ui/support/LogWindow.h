#pragma once

#include <variant>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/WindowRegistry.h"

// Stands in for the main window's message log: the lines the worker reports, as they read.
class LogWindow : public QWidget, public NotifiedWindow {
public:
    void OnDeviceMessage(const TaskReport& report) override
    {
        if (const auto* line = std::get_if<Report::Text>(&report))
            lines.append(line->text);
        else if (const auto* failure = std::get_if<Report::UsbFailure>(&report))
            lines.append(QStringLiteral("Error: ") + QString::number(failure->result));
    }

    QStringList lines;
};
