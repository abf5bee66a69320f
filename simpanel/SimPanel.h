#pragma once

#include <cstddef>

#include <QWidget>

#include "simpanel/SimSetup.h"

class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace simpanel {

// The simulated controller's control panel: the bus, the controller's identity and behaviour,
// armed faults and the traffic. It reaches the controller only through the simulator's
// thread-safe control interface, so it never waits for the terminal's worker.
class SimPanel : public QWidget {
public:
    SimPanel(const SimSetup& setup, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    QWidget* buildControllerPage();
    QWidget* buildFaultPage();
    QWidget* buildTrafficPage();
    void show(const SimSetup& setup);
    void connectControls();

    SimSetup setupOfControls() const;
    void rebuildBus();
    void applySettings();
    void applyLatency();
    void applyTraceRate();
    void applyStatisticsActivity();
    void plug(bool plugged);
    void armChosenFault();
    void clearArmedFaults();
    void showFaultScope();
    void refresh();
    void clearTraffic();
    void saveTraffic();

    Dialogs& dialogs_;
    // The setup last given to the simulator; an identifier typed only in part keeps its value.
    SimSetup applied_;
    std::size_t shownTransfers_ = 0;

    QComboBox* controllerCount_;
    QCheckBox* plugged_;
    QComboBox* model_;
    QComboBox* edition_;
    QSpinBox* softwareMajor_;
    QSpinBox* softwareMinor_;
    QSpinBox* boardMajor_;
    QSpinBox* boardMinor_;
    QLineEdit* dieId_;
    QLineEdit* chipId_;
    QSpinBox* capacity_;
    QCheckBox* bootMode_;
    QSpinBox* latency_;
    QSpinBox* traceRate_;
    QSpinBox* statisticsActivity_;
    QComboBox* faultKind_;
    QComboBox* faultScope_;
    QSpinBox* faultExchanges_;
    QLabel* faultState_;
    QPlainTextEdit* traffic_;
};

} // namespace simpanel
