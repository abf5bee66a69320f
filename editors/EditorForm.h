#pragma once

#include <memory>
#include <utility>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSize>
#include <QString>

#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "ui/ChildWindow.h"
#include "ui/FieldBinder.h"
#include "ui/TaskWindowLink.h"
#include "ui/WindowRegistry.h"

class Dialogs;
class EditorModel;
class QCheckBox;
class QPushButton;
class QTabWidget;

// Where the editors live and whom they talk to: the main window's child-window area, its window
// registry, the worker's task events and the dialogs that carry validation messages.
struct EditorPlace {
    QMdiArea& area;
    WindowRegistry& registry;
    TaskEvents& events;
    Dialogs& dialogs;
};

// How an editor tries its settings on the running controller: every change while "Тестирование"
// is ticked, or the whole block once with "Тест".
enum class TestStyle {
    Continuous,
    OneShot,
};

struct EditorKind {
    QString caption;
    Target target;
    TaskEvent event;
    TestStyle style;
    int image; // the picture of the editor's tree node, shown in its caption bar
};

// The window frame and the way of working that every parameter editor shares: pages above the
// buttons "Сброс", "Сохранить" and "Закрыть"; the box "Тестирование" or the button "Тест"; the
// record changed only on "Сохранить"; the payload written on code 9, testing stopped on code 5.
// An editor adds its model and the controls on its pages.
class TFEditor : public QMdiSubWindow, public NotifiedWindow {
public:
    static constexpr QSize ClientSize{357, 328};

    // Makes the working copy from the record and shows it; nothing is pushed.
    void LoadBlock();
    void ButDefaultClick();
    void ButOkClick();
    void ButCancelClick();
    void TestBtnClick();
    void OnDeviceMessage(const TaskReport& report) override;
    // Code 9: the working copy's payload, as the push sends it.
    TaskInput OnDeviceRequest(const TaskRequest& wanted) override;

    bool testing() const;

protected:
    TFEditor(const EditorKind& kind, const EditorPlace& place);

    QWidget* addPage(const QString& title);
    // Shows or hides a page's tab; hiding the page in front brings another one forward.
    void setPageVisible(QWidget* page, bool visible);
    // A control's handler has changed the working copy: push the item while testing.
    void changed(int item);
    // Makes the controls of the model's fields and wires them: each change goes to changed.
    FieldBinder& binder();

    virtual EditorModel& model() = 0;
    // Sets every control from the working copy without running the handlers: the bound ones,
    // then whatever an editor shows beside them.
    virtual void showModel();

    // FormClose: whatever closes the window stops its pushes and withdraws its registration.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFrame();
    void stopTesting();
    void fitFrame();

    EditorKind kind_;
    EditorPlace place_;
    TaskWindowLink link_;
    std::unique_ptr<FieldBinder> binder_;
    QTabWidget* Pages;
    QPushButton* ButDefault;
    QPushButton* ButOk;
    QPushButton* ButCancel;
    QCheckBox* Link = nullptr;      // continuous editors
    QPushButton* TestBtn = nullptr; // one-shot editors
};

// Opens the editor of a kind: creates it, places it at 10 pixels times the number of child windows
// and loads its block, or, when it is open already, only brings it to the front without loading
// again. Returns the editor.
template <typename Editor, typename... Inputs>
Editor* openEditor(const EditorPlace& place, Inputs&&... inputs)
{
    auto* open = dynamic_cast<Editor*>(place.registry.widget(Editor::Kind.target));
    return openChildWindow(
        place.area, open, [&] { return new Editor(place, std::forward<Inputs>(inputs)...); },
        [](Editor& editor) { editor.LoadBlock(); });
}
