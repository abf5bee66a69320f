#pragma once

#include <optional>

#include <QDialog>
#include <QString>
#include <QStringList>

#include "ui/Dialogs.h"

// The benchmarks' dialogs: nothing is asked, every question is declined, no file is chosen.
class NoDialogs final : public Dialogs {
public:
    void inform(QWidget*, const QString&) override {}
    bool confirm(QWidget*, const QString&) override { return false; }
    std::optional<QString> openFileName(QWidget*, const QString&, const QStringList&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QStringList&) override
    {
        return std::nullopt;
    }
    int runModal(QDialog&) override { return 0; }
};
