#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>

#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "editors/EditorForm.h"
#include "link/DeviceTask.h"
#include "ui/NotificationBridge.h"
#include "shell/RecordCommands.h"
#include "shell/TaskTree.h"
#include "shell/TreeCommand.h"
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

// The main window: the task tree, the menus and toolbars, the message log and the child windows.
// It owns the configuration record, the service level and the worker thread.
class TFDevice : public QMainWindow, public NotifiedWindow {
public:
    static inline const QString DefaultFileName = QStringLiteral("Rxx.rcf");

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

    AccessLevel level() const { return level_; }
    const std::optional<ConfigRecord>& record() const { return record_; }
    const QString& fileName() const { return fileName_; }
    WindowRegistry& registry() { return registry_; }
    TaskEvents& taskEvents() { return device_->events(); }
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
    QDockWidget* addPanel(const QString& title, const char* name, QWidget* content,
                          Qt::DockWidgetArea area);
    void buildLogPanel();
    void applyRecordCommands();
    void showTree(const TaskTree& tree);
    void runTreeCommand(TreeCommand command);
    void makeBlankRecord();
    void addLogLine(const QString& prefix, const QString& text);
    void saveToFile(const QString& prefix);
    void arrangeTiled(std::vector<QRect> (*layout)(const QRect&, int));
    void showChild(QMdiSubWindow* window);
    template <typename Window>
    void openTransferWindow();
    void openTraceWindow();
    void openReportWindow(const std::uint8_t* identity);
    void shutDown();
    // The editors hold references into the record: it stays in place while they are open.
    EditorPlace editorPlace();

    Dialogs& dialogs_;
    TCrc crc_;
    WindowRegistry registry_;
    NotificationBridge bridge_;
    std::optional<ConfigRecord> record_;
    RecordState recordState_ = RecordState::None;
    QString fileName_ = DefaultFileName;
    AccessLevel level_ = LevelUser;

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

    // Declared last: stopped first, while the windows it reports to still exist.
    std::unique_ptr<TDevice> device_;
};
