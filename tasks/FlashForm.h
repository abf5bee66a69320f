#pragma once

#include <memory>

#include <QMdiSubWindow>

#include "config/ConfigRecord.h"
#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "ui/TaskWindowLink.h"
#include "ui/WindowRegistry.h"

class Dialogs;
class QCheckBox;
class QLabel;
class QMdiArea;
class QProgressBar;
class QPushButton;
class QTimer;

// Where the firmware window lives and whom it talks to.
struct FlashPlace {
    QMdiArea& area;
    WindowRegistry& registry;
    TaskEvents& events;
    Dialogs& dialogs;
};

// "Загрузка ПО": asks for a firmware file, holds its image for the firmware load task and shows
// the load's phase and progress. Closing it cancels the load; the task keeps its own share of the
// image until it has ended. When the user ticks its check box before the end of a normal-mode
// load, the window goes on to read the memory back and compare it with the image.
class TFFlash : public QMdiSubWindow, public NotifiedWindow {
public:
    static constexpr int CloseDelayMs = 10000;

    // Creates the window: the file dialog, the file read whole, the load requested. Returns the
    // window, placed in the area and not yet shown, or null when it ended itself (dialog
    // cancelled, file unreadable).
    static TFFlash* create(const FlashPlace& place);

    void OnDeviceMessage(const TaskReport& report) override;
    // Code 9: the image, shared, so that it outlives a window closed during the load.
    TaskInput OnDeviceRequest(const TaskRequest& wanted) override;
    void ButClick();
    void TimerTimer();

protected:
    // FormClose: withdraws the request, the registration and the window's hold on the image.
    void closeEvent(QCloseEvent* event) override;

private:
    explicit TFFlash(const FlashPlace& place);
    bool chooseImage();
    void loadFinished();
    void showFinished();
    void showVerified(const Report::Compared& compared);
    void showLoadMode(LoadMode mode);

    FlashPlace place_;
    TaskWindowLink link_;
    std::shared_ptr<const FirmwareImage> image_;
    LoadMode mode_ = LoadMode::Normal;
    QLabel* SComment;
    QProgressBar* CGauge1;
    QCheckBox* CVerify;
    QPushButton* But;
    QTimer* Timer;
};

// The file dialog's filters: firmware files first, then every file.
QStringList firmwareFileFilters();
// The message for a file that cannot be opened or read whole.
QString unreadableFirmwareText(const QString& fileName);
