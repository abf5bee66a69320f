#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
#include <QStringList>

#include <gtest/gtest.h>

#include "ui/Dialogs.h"

// Answers the terminal's dialogs from a script and remembers what was asked. A modal dialog is
// shown without a modal loop, handed to its script (which works its controls), and closed by its
// close box if the script left it open.
class ScriptedDialogs final : public Dialogs {
public:
    using ModalScript = std::function<void(QDialog&)>;

    std::vector<QString> informed;
    std::vector<QString> questions;
    std::vector<QString> modalTitles;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<QString>> fileNames;
    std::deque<ModalScript> modalScripts;
    QString openTitle;
    QString saveInitialName;
    QStringList filters;

    // Runs while a message is up, to look at what the user sees behind it.
    std::function<void()> whileInforming;

    void inform(QWidget*, const QString& text) override
    {
        informed.push_back(text);
        if (whileInforming)
            whileInforming();
    }

    bool confirm(QWidget*, const QString& question) override
    {
        questions.push_back(question);
        if (confirmAnswers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return false;
        }
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }

    std::optional<QString> openFileName(QWidget*, const QString& title,
                                        const QStringList& offered) override
    {
        openTitle = title;
        filters = offered;
        return nextFileName();
    }

    std::optional<QString> saveFileName(QWidget*, const QString& initialName,
                                        const QStringList& offered) override
    {
        saveInitialName = initialName;
        filters = offered;
        return nextFileName();
    }

    int runModal(QDialog& dialog) override
    {
        modalTitles.push_back(dialog.windowTitle());
        dialog.show();
        if (!modalScripts.empty()) {
            const ModalScript script = modalScripts.front();
            modalScripts.pop_front();
            script(dialog);
        }
        if (dialog.isVisible())
            dialog.close();
        return dialog.result();
    }

private:
    std::optional<QString> nextFileName()
    {
        if (fileNames.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        const std::optional<QString> name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};
