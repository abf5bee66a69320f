#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QDateTime>
#include <QMdiSubWindow>

#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "models/ReportHistory.h"
#include "models/ReportPages.h"
#include "ui/TaskWindowLink.h"
#include "ui/WindowRegistry.h"

class Dialogs;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class ReportPlot;

// "Статистика работы": the controller's traffic and load counters. "Старт" asks for them at
// once and then every report period until "Стоп"; "Сброс" asks for them to be reset. Each answer
// fills the three pages of figures and adds a sample to the plots of the page "График", whose
// samples can be saved as a CSV file.
class TFReport : public QMdiSubWindow, public NotifiedWindow {
public:
    using Now = std::function<QDateTime()>;

    TFReport(WindowRegistry& registry, TaskEvents& events, Dialogs& dialogs,
             Now now = [] { return QDateTime::currentDateTime(); }, QWidget* parent = nullptr);

    // Takes the model from the identity block (host order, TypeWord first); the main window
    // hands it over every time the window is opened from the tree.
    void LoadIdentity(const std::uint8_t* identity);

    void OnDeviceMessage(const TaskReport& report) override;
    void BRunClick();
    void BRstClick();
    void BCloseClick();
    void BSaveClick();
    void TimerTimer();

    // Polling runs exactly while the timer does.
    bool running() const;

protected:
    // FormClose: whatever closes the window withdraws its requests and its registration.
    void closeEvent(QCloseEvent* event) override;

private:
    QTabWidget* buildPages(QWidget* parent);
    QHBoxLayout* buildButtons(QWidget* parent);
    // Adds a page of labels and value fields; the rows come from the window's tables.
    QFormLayout* addFiguresPage(const QString& title, const std::vector<ReportFigureRow>& rows);
    void alignLabelColumns(const std::vector<QFormLayout*>& pages);
    QWidget* buildPlotPage();
    void start();
    void stop();
    void showPeriodLabels();
    void showCounters(const std::uint8_t* record);
    void redrawPlotIfShown();

    TaskWindowLink link_;
    TaskEvents& events_;
    Dialogs& dialogs_;
    Now now_;
    int model_ = ModelR420;
    ReportHistory history_;

    QTabWidget* Pages;
    std::map<QString, QLabel*> fields_;
    std::map<QString, QLabel*> labels_; // the labels the window changes
    QFormLayout* audioRows_ = nullptr;
    QLabel* LDelay = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* mTime = nullptr;
    QWidget* plotPage_ = nullptr;
    ReportPlot* plot_ = nullptr;
    QPushButton* BSave = nullptr;
    QPushButton* BRst;
    QPushButton* BRun;
    QPushButton* BClose;
    QTimer* Timer;
};
