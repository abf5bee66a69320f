#pragma once

#include "ui/Dialogs.h"

// The real dialogs.
class QtDialogs final : public Dialogs {
public:
    void inform(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& question) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                        const QStringList& filters) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& initialName,
                                        const QStringList& filters) override;
    int runModal(QDialog& dialog) override;
};
