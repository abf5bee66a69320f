#pragma once

#include <array>
#include <cstdint>

#include <QMdiSubWindow>

#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "link/TraceRecord.h"
#include "ui/TaskWindowLink.h"
#include "ui/WindowRegistry.h"

class Dialogs;
class LogView;
class QCheckBox;
class QPushButton;
class QSplitter;
class QTimer;

// "Трассировщик": the controller's traffic on the chosen channels, polled every 100 ms while it
// runs, one line per frame in a log that only grows. The log can be saved as a text file.
class TFTrace : public QMdiSubWindow, public NotifiedWindow {
public:
    static constexpr int PollIntervalMs = 100;

    TFTrace(WindowRegistry& registry, TaskEvents& events, Dialogs& dialogs,
            QWidget* parent = nullptr);

    void OnDeviceMessage(const TaskReport& report) override;
    // Code 9: the channel mask of the ticked boxes.
    TaskInput OnDeviceRequest(const TaskRequest& wanted) override;
    // BusRxClick, BusTxClick, LinkRxClick, LinkTxClick.
    void ChannelClick(TraceChannel channel, bool ticked);
    void ButRunClick();
    void ButSaveClick();
    void ButCloseClick();
    void TimerTimer();

    std::uint16_t channelMask() const { return mask_; }
    bool running() const;

protected:
    // FormClose.
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildChannelPanel();
    void stopTrace();

    TaskWindowLink link_;
    TaskEvents& events_;
    Dialogs& dialogs_;
    std::uint16_t mask_ = 0;

    QSplitter* Splitter;
    LogView* Log;
    std::array<QCheckBox*, TraceChannelCount> channels_{};
    QPushButton* ButRun;
    QPushButton* ButSave;
    QPushButton* ButClose;
    QTimer* Timer;
};
