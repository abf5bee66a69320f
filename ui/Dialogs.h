#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// Every message box, question, file dialog and modal dialog of the terminal goes through here:
// the program shows the real dialogs, tests answer from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void inform(QWidget* parent, const QString& text) = 0;
    // A Yes/No question; true on Yes.
    virtual bool confirm(QWidget* parent, const QString& question) = 0;
    // The chosen name, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                                const QStringList& filters) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& initialName,
                                                const QStringList& filters) = 0;
    // Shows one of the terminal's own dialogs modally and returns its result.
    virtual int runModal(QDialog& dialog) = 0;
};
