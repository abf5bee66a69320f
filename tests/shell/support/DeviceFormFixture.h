#pragma once

#include <memory>

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "shell/DeviceForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestClocks.h"
#include "support/TreeOutline.h"

// A shown main window whose worker runs the given tasks (none by default), answering its dialogs
// from a script. Its worker pauses a millisecond, or, gated, only when the test lets it.
class DeviceFormFixture : public ::testing::Test {
protected:
    enum class Pauses { Fast, Gated };

    explicit DeviceFormFixture(TaskTable tasks = {}, Pauses pauses = Pauses::Fast)
        : form(std::make_unique<TFDevice>(
            dialogs, pauses == Pauses::Fast ? static_cast<Clock&>(fastClock) : gate,
            std::move(tasks)))
    {
        form->show();
    }
    // A worker on a clock of the test's own, constructed before this fixture.
    DeviceFormFixture(TaskTable tasks, Clock& clock)
        : form(std::make_unique<TFDevice>(dialogs, clock, std::move(tasks)))
    {
        form->show();
    }
    ~DeviceFormFixture() override
    {
        gate.open();
        form.reset();
    }

    QAction* action(const char* name) const
    {
        return form->findChild<QAction*>(QString::fromLatin1(name));
    }
    QTreeWidget* tree() const { return form->findChild<QTreeWidget*>("TreeDev"); }
    QStringList treeOutline() const { return outline(*tree()); }
    QStringList logLines() const
    {
        const QString text = form->findChild<QPlainTextEdit*>("Log")->toPlainText();
        return text.isEmpty() ? QStringList{} : text.split(u'\n');
    }
    // The log lines without their time prefix.
    QStringList logTexts() const
    {
        QStringList texts;
        for (const QString& line : logLines())
            texts << line.mid(line.indexOf(QStringLiteral("-> ")) + 3);
        return texts;
    }
    QList<QMdiSubWindow*> children() const { return form->clientArea()->subWindowList(); }

    // Types the service code into the service-code dialog and closes it with its button.
    void enterServiceCode(const QString& code)
    {
        dialogs.modalScripts.push_back([code](QDialog& dialog) {
            QTest::keyClicks(dialog.findChild<QLineEdit*>("EAccess"), code);
            QTest::mouseClick(dialog.findChild<QPushButton*>("BClose"), Qt::LeftButton);
        });
        form->MServExtClick();
    }
    void selectNode(const QString& caption)
    {
        const auto items = tree()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(items.isEmpty()) << caption.toStdString();
        tree()->setCurrentItem(items.front());
    }
    static RecordBytes recordOf(std::uint16_t typeWord)
    {
        ConfigRecord record;
        for (int i = 0; i < CONFIG_IMAGE_SIZE; ++i)
            record.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
        record.setTypeWord(typeWord);
        return record.bytes;
    }

    FastClock fastClock;
    GatedClock gate;
    ScriptedDialogs dialogs;
    std::unique_ptr<TFDevice> form;
};
