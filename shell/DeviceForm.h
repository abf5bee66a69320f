#pragma once

#include <memory>
#include <optional>

#include <QMainWindow>

#include "link/DeviceTask.h"
#include "shell/DeviceDocument.h"
#include "shell/DeviceSession.h"
#include "shell/TaskTree.h"
#include "ui/WindowRegistry.h"

class Clock;
class Dialogs;
class QAction;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QPlainTextEdit;
class QTreeWidget;
struct OpenerPlace;

// The main window: the task tree, the menus and toolbars, the message log and the child windows.
// What it shows belongs to its document (the record, its file and the service level) and its
// session with the controller (the worker and the windows it reports to).
class TFDevice : public QMainWindow, public NotifiedWindow {
public:
    TFDevice(Dialogs& dialogs, Clock& clock, TaskTable tasks = deviceTasks(),
             QWidget* parent = nullptr);
    ~TFDevice() override;

    // Installs a copy of the bytes as the record.
    void SetConfig(const RecordBytes& bytes);
    // Closes every child window and drops the record.
    void CloseConfig();
    // Rebuilds the task tree for the service level (making the blank record of levels 4 and 5).
    void BuildTree();
    int FindNode(const QString& caption) const;
    void SetNodeImage(const QString& caption, int image);

    void OnDeviceMessage(const TaskReport& report) override;
    // Code 9: the byte count and a copy of the record for the write task.
    TaskInput OnDeviceRequest(const TaskRequest& wanted) override;

    void MFileOpenClick();
    void MFileCloseClick();
    void MFileSaveClick();
    void MFileSaveAsClick();
    void MFileOutClick();
    void MTaskGetClick();
    void MTaskSetClick();
    void MServUserClick();
    void MServExtClick();
    void CascadeWinClick();
    void TileVerticalClick();
    void TileHorizontalClick();
    void ArrangeAllClick();
    void MAboutClick();
    void TreeDevDblClick();

    AccessLevel level() const { return document_.level(); }
    const std::optional<ConfigRecord>& record() const { return document_.record(); }
    const QString& fileName() const { return document_.fileName(); }
    WindowRegistry& registry() { return session_->registry(); }
    TaskEvents& taskEvents() { return session_->events(); }
    QMdiArea* clientArea() const { return mdi_; }
    // A further panel at the right side, for a program that brings its own tools.
    QDockWidget* addToolPanel(const QString& title, const char* name, QWidget* content);

protected:
    // FormClose.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                       int imageIndex, void (TFDevice::*command)());
    QAction* addButton(QToolBar* toolbar, const char* name, int imageIndex, const QString& hint,
                       void (TFDevice::*command)());
    void buildMenus();
    void buildToolbars();
    void buildTreePanel();
    void buildLogPanel();
    void applyRecordCommands();
    void showTree(const TaskTree& tree);
    void makeBlankRecord();
    void addLogLine(const QString& prefix, const QString& text);
    void saveToFile(const QString& prefix);
    template <typename Window>
    void openTransferWindow();
    // Brings the open window of the target forward; false when there is none.
    bool showOpen(Target target);
    OpenerPlace openerPlace();

    Dialogs& dialogs_;
    DeviceDocument document_;

    QMdiArea* mdi_;
    QTreeWidget* TreeDev = nullptr;
    QDockWidget* PanelDev = nullptr;
    QDockWidget* PanelLog = nullptr;
    QPlainTextEdit* Log = nullptr;
    QAction* MFileClose = nullptr;
    QAction* MFileSave = nullptr;
    QAction* MFileSaveAs = nullptr;
    QAction* MTaskSet = nullptr;
    QAction* MServUser = nullptr;
    QAction* MServExt = nullptr;
    QAction* ButSave = nullptr;
    QAction* ButSaveAs = nullptr;
    QAction* ButSet = nullptr;

    // Declared last: ended first, while the windows it reports to still exist.
    std::unique_ptr<DeviceSession> session_;
};
