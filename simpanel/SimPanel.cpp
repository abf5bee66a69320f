#include "simpanel/SimPanel.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "sim/DemoConfig.h"
#include "sim/Simulator.h"
#include "simpanel/FaultArming.h"
#include "simpanel/IdentityText.h"
#include "simpanel/TrafficFormat.h"
#include "simpanel/TypeWordFields.h"
#include "ui/Dialogs.h"

namespace simpanel {

namespace {
constexpr int RefreshMs = 100;
constexpr int TrafficLines = 5000;
const QString TrafficFileName = QStringLiteral("traffic.txt");

// The models the panel offers, by their model code.
const int ModelCodes[] = {1, 2};

// The numbers of controllers on the bus the panel offers, by their count.
const QStringList ControllerCounts = {
    QStringLiteral("нет"),   QStringLiteral("один"),  QStringLiteral("два"),
    QStringLiteral("три"),   QStringLiteral("четыре"), QStringLiteral("пять"),
    QStringLiteral("шесть"), QStringLiteral("семь"),  QStringLiteral("восемь"),
};

struct FaultItem {
    const char* text;
    FaultKind kind;
};

const FaultItem FaultItems[] = {
    {"Тайм-аут", FaultKind::TimedOut},
    {"Ошибка USB (-5)", FaultKind::UsbFailure},
    {"Короткий ответ", FaultKind::ShortReply},
    {"Неверный код ответа", FaultKind::WrongReplyCode},
    {"Отказ в установке конфигурации", FaultKind::ConfigurationRefused},
    {"Интерфейс занят", FaultKind::InterfaceBusy},
    {"Отключение после N обменов", FaultKind::UnplugAfter},
};

QSpinBox* spinBox(const char* name, int low, int high, const QString& suffix = {})
{
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSuffix(suffix);
    return box;
}

QComboBox* comboBox(const char* name, const QStringList& items)
{
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QLineEdit* hexField(const char* name, const QString& mask)
{
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setInputMask(mask);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return field;
}

QPushButton* button(const char* name, const QString& text)
{
    auto* push = new QPushButton(text);
    push->setObjectName(QString::fromLatin1(name));
    return push;
}

QWidget* pair(QWidget* first, QWidget* second)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(new QLabel(QStringLiteral(".")));
    layout->addWidget(second);
    layout->addStretch();
    return row;
}

sim::Simulator& simulator()
{
    return sim::Simulator::instance();
}
}

SimPanel::SimPanel(const SimSetup& setup, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , dialogs_(dialogs)
    , applied_(setup)
{
    setObjectName(QStringLiteral("SimPanel"));
    auto* tabs = new QTabWidget;
    tabs->addTab(buildControllerPage(), QStringLiteral("Контроллер"));
    tabs->addTab(buildFaultPage(), QStringLiteral("Неисправности"));
    tabs->addTab(buildTrafficPage(), QStringLiteral("Трафик"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tabs);
    show(setup);
    connectControls();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimPanel::refresh);
    timer->start(RefreshMs);
}

QWidget* SimPanel::buildControllerPage()
{
    controllerCount_ = comboBox("ControllerCount", ControllerCounts);
    plugged_ = new QCheckBox(QStringLiteral("Подключен к шине"));
    plugged_->setObjectName(QStringLiteral("Plugged"));
    auto* bus = new QGroupBox(QStringLiteral("Шина USB"));
    auto* busForm = new QFormLayout(bus);
    busForm->addRow(QStringLiteral("Контроллеров:"), controllerCount_);
    busForm->addRow(plugged_);

    model_ = comboBox("Model", {QStringLiteral("R-410"), QStringLiteral("R-420")});
    edition_ = comboBox("Edition", {QStringLiteral("ZA"), QStringLiteral("ZB")});
    softwareMajor_ = spinBox("SoftwareMajor", 0, 3);
    softwareMinor_ = spinBox("SoftwareMinor", 0, 3);
    boardMajor_ = spinBox("BoardMajor", 0, 3);
    boardMinor_ = spinBox("BoardMinor", 0, 3);
    dieId_ = hexField("DieId", QStringLiteral("HHHH:HHHH:HHHH:HHHH"));
    chipId_ = hexField("ChipId", QStringLiteral("HHHH"));
    capacity_ = spinBox("Capacity", 0, 0xFFFF, QStringLiteral(" байт"));
    bootMode_ = new QCheckBox(QStringLiteral("Без рабочего ПО (только boot_mode)"));
    bootMode_->setObjectName(QStringLiteral("BootMode"));
    auto* identity = new QGroupBox(QStringLiteral("Контроллер"));
    auto* identityForm = new QFormLayout(identity);
    identityForm->addRow(QStringLiteral("Модель:"), model_);
    identityForm->addRow(QStringLiteral("Исполнение:"), edition_);
    identityForm->addRow(QStringLiteral("Версия ПО:"), pair(softwareMajor_, softwareMinor_));
    identityForm->addRow(QStringLiteral("Версия ПП:"), pair(boardMajor_, boardMinor_));
    identityForm->addRow(QStringLiteral("Die ID:"), dieId_);
    identityForm->addRow(QStringLiteral("Chip ID:"), chipId_);
    identityForm->addRow(QStringLiteral("Ёмкость пакета:"), capacity_);
    identityForm->addRow(bootMode_);

    latency_ = spinBox("Latency", 0, 60000, QStringLiteral(" мс"));
    traceRate_ = spinBox("TraceRate", 0, 10000, QStringLiteral(" кадр/с"));
    statisticsActivity_ = spinBox("StatisticsActivity", 0, sim::StatisticsCounters::MaxActivity,
                                  QStringLiteral(" %"));
    statisticsActivity_->setToolTip(QStringLiteral("100 % — трафик одного вызова, 0 — контроллер в покое"));
    auto* behaviour = new QGroupBox(QStringLiteral("Поведение"));
    auto* behaviourForm = new QFormLayout(behaviour);
    behaviourForm->addRow(QStringLiteral("Задержка обмена:"), latency_);
    behaviourForm->addRow(QStringLiteral("Кадры трассы:"), traceRate_);
    behaviourForm->addRow(QStringLiteral("Активность статистики:"), statisticsActivity_);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(bus);
    layout->addWidget(identity);
    layout->addWidget(behaviour);
    layout->addStretch();
    return page;
}

QWidget* SimPanel::buildFaultPage()
{
    QStringList kinds;
    for (const FaultItem& item : FaultItems)
        kinds << QString::fromUtf8(item.text);
    faultKind_ = comboBox("FaultKind", kinds);
    faultScope_ = comboBox("FaultScope", {QStringLiteral("на следующий обмен"),
                                          QStringLiteral("на каждый обмен")});
    faultExchanges_ = spinBox("FaultExchanges", 1, 100000);
    faultState_ = new QLabel(QStringLiteral("Неисправностей нет"));
    faultState_->setObjectName(QStringLiteral("FaultState"));
    faultState_->setWordWrap(true);
    auto* arm = button("ArmFault", QStringLiteral("Взвести"));
    auto* clear = button("ClearFaults", QStringLiteral("Снять все"));
    connect(arm, &QPushButton::clicked, this, &SimPanel::armChosenFault);
    connect(clear, &QPushButton::clicked, this, &SimPanel::clearArmedFaults);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(arm);
    buttons->addWidget(clear);

    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Неисправность:"), faultKind_);
    form->addRow(QStringLiteral("Когда:"), faultScope_);
    form->addRow(QStringLiteral("N обменов:"), faultExchanges_);
    form->addRow(buttons);
    form->addRow(faultState_);
    return page;
}

QWidget* SimPanel::buildTrafficPage()
{
    traffic_ = new QPlainTextEdit;
    traffic_->setObjectName(QStringLiteral("Traffic"));
    traffic_->setReadOnly(true);
    traffic_->setLineWrapMode(QPlainTextEdit::NoWrap);
    traffic_->setMaximumBlockCount(TrafficLines);
    traffic_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* clear = button("ClearTraffic", QStringLiteral("Очистить"));
    auto* save = button("SaveTraffic", QStringLiteral("Сохранить..."));
    connect(clear, &QPushButton::clicked, this, &SimPanel::clearTraffic);
    connect(save, &QPushButton::clicked, this, &SimPanel::saveTraffic);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch();

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(traffic_);
    layout->addLayout(buttons);
    return page;
}

void SimPanel::show(const SimSetup& setup)
{
    const TypeWordFields fields = fieldsOf(setup.settings.typeWord);
    const auto modelIndex = std::find(std::begin(ModelCodes), std::end(ModelCodes), fields.model)
        - std::begin(ModelCodes);
    controllerCount_->setCurrentIndex(setup.controllers);
    plugged_->setChecked(true);
    model_->setCurrentIndex(modelIndex < std::ssize(ModelCodes) ? static_cast<int>(modelIndex) : 1);
    edition_->setCurrentIndex(fields.edition);
    softwareMajor_->setValue(fields.softwareMajor);
    softwareMinor_->setValue(fields.softwareMinor);
    boardMajor_->setValue(fields.boardMajor);
    boardMinor_->setValue(fields.boardMinor);
    dieId_->setText(dieIdText(setup.settings.dieId));
    chipId_->setText(hexWordText(setup.settings.chipId));
    capacity_->setValue(setup.settings.capacity);
    bootMode_->setChecked(!setup.settings.firmwareRuns);
    latency_->setValue(static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(setup.latency).count()));
    traceRate_->setValue(setup.traceRate);
    statisticsActivity_->setValue(setup.statisticsActivity);
    showFaultScope();
}

void SimPanel::connectControls()
{
    connect(controllerCount_, &QComboBox::currentIndexChanged, this, &SimPanel::rebuildBus);
    connect(plugged_, &QCheckBox::toggled, this, &SimPanel::plug);
    for (QComboBox* box : {model_, edition_})
        connect(box, &QComboBox::currentIndexChanged, this, &SimPanel::applySettings);
    for (QSpinBox* box : {softwareMajor_, softwareMinor_, boardMajor_, boardMinor_, capacity_})
        connect(box, &QSpinBox::valueChanged, this, &SimPanel::applySettings);
    for (QLineEdit* field : {dieId_, chipId_})
        connect(field, &QLineEdit::textChanged, this, &SimPanel::applySettings);
    connect(bootMode_, &QCheckBox::toggled, this, &SimPanel::applySettings);
    connect(latency_, &QSpinBox::valueChanged, this, &SimPanel::applyLatency);
    connect(traceRate_, &QSpinBox::valueChanged, this, &SimPanel::applyTraceRate);
    connect(statisticsActivity_, &QSpinBox::valueChanged, this, &SimPanel::applyStatisticsActivity);
    connect(faultKind_, &QComboBox::currentIndexChanged, this, &SimPanel::showFaultScope);
}

// What the controls say.
SimSetup SimPanel::setupOfControls() const
{
    SimSetup setup = applied_;
    setup.controllers = controllerCount_->currentIndex();
    TypeWordFields fields;
    fields.model = ModelCodes[model_->currentIndex()];
    fields.edition = edition_->currentIndex();
    fields.softwareMajor = softwareMajor_->value();
    fields.softwareMinor = softwareMinor_->value();
    fields.boardMajor = boardMajor_->value();
    fields.boardMinor = boardMinor_->value();
    setup.settings.typeWord = withFields(setup.settings.typeWord, fields);
    if (const auto dieId = dieIdOf(dieId_->text()))
        setup.settings.dieId = *dieId;
    if (const auto chipId = hexWordOf(chipId_->text()))
        setup.settings.chipId = *chipId;
    setup.settings.capacity = static_cast<std::uint16_t>(capacity_->value());
    setup.settings.firmwareRuns = !bootMode_->isChecked();
    setup.latency = std::chrono::milliseconds(latency_->value());
    setup.traceRate = traceRate_->value();
    setup.statisticsActivity = statisticsActivity_->value();
    return setup;
}

// A new bus with the chosen number of controllers: as if the old ones were pulled out and new
// ones plugged in.
void SimPanel::rebuildBus()
{
    applied_ = setupOfControls();
    applySetup(applied_);
    const QSignalBlocker blocker(plugged_);
    plugged_->setChecked(true);
    faultState_->setText(QStringLiteral("Неисправностей нет"));
}

// A controller of another model or edition gets the demo configuration of its kind. Each keeps a
// Die ID of its own.
void SimPanel::applySettings()
{
    applied_ = setupOfControls();
    int index = 0;
    simulator().forEachController([&](sim::SimController& controller) {
        const sim::ControllerSettings settings = settingsOfController(applied_, index++);
        const bool otherKind = fieldsOf(controller.settings.typeWord).model
                != fieldsOf(settings.typeWord).model
            || fieldsOf(controller.settings.typeWord).edition != fieldsOf(settings.typeWord).edition;
        controller.settings = settings;
        if (otherKind)
            sim::fillDemoConfiguration(controller);
    });
}

void SimPanel::applyLatency()
{
    const std::chrono::microseconds latency = std::chrono::milliseconds(latency_->value());
    simulator().forEachController(
        [&](sim::SimController& controller) { controller.faults.latency = latency; });
}

void SimPanel::applyTraceRate()
{
    const int rate = traceRate_->value();
    simulator().forEachController(
        [&](sim::SimController& controller) { controller.devices().trace.setLiveRate(rate); });
}

void SimPanel::applyStatisticsActivity()
{
    const int activity = statisticsActivity_->value();
    simulator().forEachController([&](sim::SimController& controller) {
        controller.devices().statistics.setActivity(activity);
    });
}

// Plugged in again, a controller forgets an unplugging it had been armed with.
void SimPanel::plug(bool plugged)
{
    simulator().forEachController([&](sim::SimController& controller) {
        if (plugged)
            controller.faults.disconnectAfterExchanges.reset();
        controller.setConnected(plugged);
    });
}

void SimPanel::armChosenFault()
{
    FaultChoice choice;
    choice.kind = FaultItems[faultKind_->currentIndex()].kind;
    choice.scope = faultScope_->currentIndex() == 0 ? FaultScope::NextExchange
                                                    : FaultScope::EveryExchange;
    choice.exchanges = faultExchanges_->value();
    simulator().forEachController(
        [&](sim::SimController& controller) { armFault(controller, choice); });
    QString text = QStringLiteral("Взведено: ") + faultKind_->currentText();
    text += choice.kind == FaultKind::UnplugAfter
        ? QStringLiteral(", N = %1").arg(choice.exchanges)
        : QStringLiteral(", ") + faultScope_->currentText();
    faultState_->setText(text);
}

void SimPanel::clearArmedFaults()
{
    simulator().forEachController([](sim::SimController& controller) { clearFaults(controller); });
    faultState_->setText(QStringLiteral("Неисправностей нет"));
}

void SimPanel::showFaultScope()
{
    const bool unplug = FaultItems[faultKind_->currentIndex()].kind == FaultKind::UnplugAfter;
    faultScope_->setEnabled(!unplug);
    faultExchanges_->setEnabled(unplug);
}

// Shows the transfers made since the last look, and whether the controller is still plugged in.
void SimPanel::refresh()
{
    if (simulator().trafficCount() < shownTransfers_) {
        traffic_->clear();
        shownTransfers_ = 0;
    }
    const std::vector<sim::Transfer> transfers = simulator().trafficFrom(shownTransfers_);
    if (!transfers.empty()) {
        QStringList lines;
        for (const sim::Transfer& transfer : transfers)
            lines << trafficText(transfer);
        traffic_->appendPlainText(lines.join(u'\n'));
        // Newest last and read from its start: direction, endpoint and result come first.
        QTextCursor cursor = traffic_->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::StartOfBlock);
        traffic_->setTextCursor(cursor);
        shownTransfers_ += transfers.size();
    }
    bool connected = false;
    simulator().forEachController(
        [&](sim::SimController& controller) { connected = connected || controller.connected(); });
    const QSignalBlocker blocker(plugged_);
    plugged_->setChecked(connected);
}

void SimPanel::clearTraffic()
{
    simulator().clearTraffic();
    traffic_->clear();
    shownTransfers_ = 0;
}

// The whole record of the simulator, not only the lines the view still holds.
void SimPanel::saveTraffic()
{
    const std::optional<QString> name = dialogs_.saveFileName(
        this, TrafficFileName,
        {QStringLiteral("Текстовый файл (*.txt)"), QStringLiteral("все файлы (*)")});
    if (!name)
        return;
    QFile file(*name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        dialogs_.inform(this, QStringLiteral("Не удалось создать файл %1").arg(*name));
        return;
    }
    QByteArray text;
    for (const sim::Transfer& transfer : simulator().traffic())
        text += trafficText(transfer).toUtf8() + '\n';
    if (file.write(text) != text.size())
        dialogs_.inform(this, QStringLiteral("Не удалось записать файл %1").arg(*name));
}

} // namespace simpanel
