#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QMdiArea>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include "config/ConfigRecord.h"
#include "editors/EditorForm.h"
#include "link/Clock.h"
#include "link/DeviceTask.h"
#include "ui/NotificationBridge.h"
#include "ui/WindowRegistry.h"

#include "support/LogWindow.h"
#include "support/ScriptedDialogs.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QSlider;
class TFAudio;
class TFCodec;

// The worker's pauses take no time.
class InstantClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override {}
};

// What the main window gives its editors: a child-window area, the window registry, the task
// events and a record. The worker runs pass by pass on the test thread against the simulated
// controller and reports through the notification bridge to the registered windows.
class EditorBench : public ::testing::Test {
protected:
    EditorBench();
    ~EditorBench() override;

    TFAudio* openAudio();
    TFCodec* openCodec(AccessLevel level = LevelFull);
    // One pass of the worker: it takes the lowest task event, if any, and runs its task.
    void runWorker();

    // What reached the simulated controller.
    std::vector<std::pair<int, int>> codecWrites() const;
    std::vector<std::uint8_t> amplifierCommands() const;
    // Every request sent to the controller, as hex bytes.
    std::vector<std::string> requests() const;

    QMdiArea area;
    WindowRegistry registry;
    NotificationBridge bridge{registry};
    LogWindow log;
    InstantClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<TDevice> device;
    ConfigRecord record = ConfigRecord::blank();
    std::unique_ptr<EditorPlace> place;
};

// The window's controls, found by their names.
QSlider* slider(QWidget* window, const char* name);
QLabel* label(QWidget* window, const char* name);
QCheckBox* checkBox(QWidget* window, const char* name);
QAbstractButton* button(QWidget* window, const char* name);
// A radio button of a group, found by its text.
QAbstractButton* radioButton(QWidget* window, const char* group, const QString& text);
// The text of the radio button chosen in a group, empty when none is.
QString chosenIn(QWidget* window, const char* group);
// Clicks a control with the mouse, as the operator does.
void click(QAbstractButton* control);
// Switches a box or radio button through the accessibility interface's "toggle" action, as a
// screen reader does: its state changes without a click.
void toggleAccessibly(QAbstractButton* control);
// Shows the page with the title.
void showPage(QWidget* window, const QString& title);

std::vector<std::uint8_t> bytesOf(const ConfigRecord& record, BlockSpan block);
