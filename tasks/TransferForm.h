#pragma once

#include <QMdiSubWindow>

#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "ui/TaskWindowLink.h"
#include "ui/WindowRegistry.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// What tells the read window from the write window.
struct TransferKind {
    QString caption;
    QString deviceLabel;
    TaskEvent event;
    Target target;
    int image; // of the image list
};

// A configuration transfer's progress window. Creating it requests the transfer; it shows which
// controller answered and how far the transfer got, and closes itself 2 s after the end. Closing
// it earlier cancels the transfer.
class TransferForm : public QMdiSubWindow, public NotifiedWindow {
public:
    static constexpr int CloseDelayMs = 2000;

    TransferForm(const TransferKind& kind, WindowRegistry& registry, TaskEvents& events,
                 QWidget* parent = nullptr);

    void OnDeviceMessage(const TaskReport& report) override;
    void ButClick();
    void TimerTimer();

protected:
    // FormClose: whatever closes the window withdraws its request and its registration.
    void closeEvent(QCloseEvent* event) override;

private:
    void showIdentity(const Report::Identity& identity);
    void showFinished();

    TaskWindowLink link_;
    QLabel* SDev;
    QLabel* SChip;
    QLabel* SDie;
    QProgressBar* CGauge1;
    QPushButton* But;
    QTimer* Timer;
};
