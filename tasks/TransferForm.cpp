#include "tasks/TransferForm.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "models/IdentityTexts.h"
#include "tasks/ProgressControls.h"
#include "ui/ChildWindow.h"

namespace {

const QString Unknown = QStringLiteral("-----");

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(Unknown, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TransferForm::TransferForm(const TransferKind& kind, WindowRegistry& registry, TaskEvents& events,
                           QWidget* parent)
    : QMdiSubWindow(parent)
    , link_(registry, events, kind.target, {kind.event})
{
    setUpChildWindow(*this, kind.caption, kind.image);

    auto* content = new QWidget(this);
    SDev = valueLabel(QStringLiteral("SDev"), content);
    SChip = valueLabel(QStringLiteral("SChip"), content);
    SDie = valueLabel(QStringLiteral("SDie"), content);
    const ProgressControls progress = makeProgressControls(content, this, CloseDelayMs);
    CGauge1 = progress.gauge;
    But = progress.button;
    Timer = progress.timer;

    auto* identity = new QFormLayout;
    identity->setHorizontalSpacing(12);
    identity->addRow(kind.deviceLabel, SDev);
    identity->addRow(QStringLiteral("Chip ID:"), SChip);
    identity->addRow(QStringLiteral("Die ID:"), SDie);
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(identity);
    layout->addWidget(CGauge1);
    layout->addWidget(But, 0, Qt::AlignHCenter);
    content->setMinimumWidth(260);
    setWidget(content);
    But->setFocus();

    connect(But, &QPushButton::clicked, this, &TransferForm::ButClick);
    connect(Timer, &QTimer::timeout, this, &TransferForm::TimerTimer);

    link_.enrol(*this, *this);
    link_.events().set(kind.event);
}

void TransferForm::OnDeviceMessage(const TaskReport& report)
{
    std::visit(Overloaded{
                   [this](const Report::Size& size) {
                       setGaugeMaximum(*CGauge1, static_cast<int>(size.maximum));
                   },
                   [this](const Report::Finished&) { showFinished(); },
                   [this](const Report::Identity& identity) { showIdentity(identity); },
                   [this](const Report::Progress& progress) {
                       CGauge1->setValue(static_cast<int>(progress.position));
                   },
                   [](const auto&) {},
               },
               report);
}

void TransferForm::showIdentity(const Report::Identity& identity)
{
    const IdentityWords words = identityWords(identity.block.data());
    SDev->setText(controllerText(words[0]));
    SChip->setText(chipIdText(words));
    SDie->setText(dieIdText(words));
}

void TransferForm::showFinished()
{
    But->setText(QStringLiteral("Закрыть"));
    Timer->start();
}

void TransferForm::ButClick()
{
    close();
}

void TransferForm::TimerTimer()
{
    close();
}

void TransferForm::closeEvent(QCloseEvent* event)
{
    Timer->stop();
    link_.closed(*this);
    QMdiSubWindow::closeEvent(event);
}
