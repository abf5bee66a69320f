#include "tasks/TraceForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "models/FileTexts.h"
#include "tasks/LogFile.h"
#include "tasks/LogView.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"

namespace {

constexpr int TraceImage = 49;
const QString RunText = QStringLiteral("Старт");
const QString StopText = QStringLiteral("Стоп");
const QString SaveDialogName = QStringLiteral("trace.txt");

struct ChannelBox {
    TraceChannel channel;
    const char* name;
    QString caption;
};

const std::array<ChannelBox, TraceChannelCount>& channelBoxes()
{
    static const std::array<ChannelBox, TraceChannelCount> boxes{{
        {TraceChannel::BusRx, "BusRx", QStringLiteral("Bus+ (RxD)")},
        {TraceChannel::BusTx, "BusTx", QStringLiteral("Bus+ (TxD)")},
        {TraceChannel::LinkRx, "LinkRx", QStringLiteral("Link (RxD)")},
        {TraceChannel::LinkTx, "LinkTx", QStringLiteral("Link (TxD)")},
    }};
    return boxes;
}

QStringList logFileFilters()
{
    return {QStringLiteral("Текстовый файл (*.txt)"), QStringLiteral("все файлы (*)")};
}

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* created = new QPushButton(text, parent);
    created->setObjectName(QString::fromLatin1(name));
    return created;
}

} // namespace

TFTrace::TFTrace(WindowRegistry& registry, TaskEvents& events, Dialogs& dialogs, QWidget* parent)
    : QMdiSubWindow(parent)
    , link_(registry, events, Target::Trace, {TaskEvent::TracePoll, TaskEvent::TraceSelection})
    , events_(events)
    , dialogs_(dialogs)
{
    setUpChildWindow(*this, QStringLiteral("Трассировщик"), TraceImage);

    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setChildrenCollapsible(false);
    Log = new LogView(Splitter);
    Log->setObjectName(QStringLiteral("Log"));
    Splitter->addWidget(Log);
    Splitter->addWidget(buildChannelPanel());
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 0);
    setWidget(Splitter);
    resize(640, 420);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(PollIntervalMs);
    connect(Timer, &QTimer::timeout, this, &TFTrace::TimerTimer);

    link_.enrol(*this, *this);
}

QWidget* TFTrace::buildChannelPanel()
{
    auto* panel = new QWidget(Splitter);
    auto* group = new QGroupBox(QStringLiteral("Канал"), panel);
    auto* boxes = new QVBoxLayout(group);
    for (const ChannelBox& box : channelBoxes()) {
        auto* check = new QCheckBox(box.caption, group);
        check->setObjectName(QString::fromLatin1(box.name));
        boxes->addWidget(check);
        channels_[static_cast<std::size_t>(box.channel)] = check;
        connect(check, &QCheckBox::toggled, this,
                [this, channel = box.channel](bool ticked) { ChannelClick(channel, ticked); });
    }
    ButRun = button(RunText, "ButRun", panel);
    ButSave = button(QStringLiteral("Сохранить..."), "ButSave", panel);
    ButClose = button(QStringLiteral("Закрыть"), "ButClose", panel);
    ButClose->setDefault(true);
    connect(ButRun, &QPushButton::clicked, this, &TFTrace::ButRunClick);
    connect(ButSave, &QPushButton::clicked, this, &TFTrace::ButSaveClick);
    connect(ButClose, &QPushButton::clicked, this, &TFTrace::ButCloseClick);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(group);
    layout->addStretch(1);
    for (QPushButton* each : {ButRun, ButSave, ButClose})
        layout->addWidget(each);
    return panel;
}

bool TFTrace::running() const
{
    return Timer->isActive();
}

void TFTrace::ChannelClick(TraceChannel channel, bool ticked)
{
    mask_ = withChannel(mask_, channel, ticked);
    events_.set(TaskEvent::TraceSelection);
}

void TFTrace::ButRunClick()
{
    if (running()) {
        events_.reset(TaskEvent::TracePoll);
        ButRun->setText(RunText);
        Timer->stop();
        return;
    }
    events_.set(TaskEvent::TracePoll);
    ButRun->setText(StopText);
    Timer->start();
}

void TFTrace::TimerTimer()
{
    if (mask_ != 0)
        events_.set(TaskEvent::TracePoll);
}

void TFTrace::ButSaveClick()
{
    const std::optional<QString> name =
        dialogs_.saveFileName(this, SaveDialogName, logFileFilters());
    if (!name)
        return;
    const SaveFileResult result = saveLogFile(*name, Log->lines());
    if (const std::optional<QString> failure = saveFailureText(result, *name))
        dialogs_.inform(this, *failure);
}

void TFTrace::ButCloseClick()
{
    close();
}

void TFTrace::OnDeviceMessage(const TaskReport& report)
{
    std::visit(Overloaded{
                   [this](const Report::TraceLines& run) { Log->appendLines(run.lines); },
                   [this](const Report::Finished&) { stopTrace(); },
                   [](const auto&) {},
               },
               report);
}

TaskInput TFTrace::OnDeviceRequest(const TaskRequest& wanted)
{
    if (!std::holds_alternative<Ask::ChannelMask>(wanted))
        return emptyInput(wanted);
    return Ask::ChannelMask::Mask{mask_};
}

// The trace failed: no channel is traced any more, without telling the controller. A running
// window keeps its timer, which polls again once a box is ticked.
void TFTrace::stopTrace()
{
    for (QCheckBox* box : channels_) {
        const QSignalBlocker quiet(box);
        box->setChecked(false);
    }
    mask_ = 0;
    events_.reset(TaskEvent::TraceSelection);
    events_.reset(TaskEvent::TracePoll);
}

void TFTrace::closeEvent(QCloseEvent* event)
{
    Timer->stop();
    link_.closed(*this);
    QMdiSubWindow::closeEvent(event);
}
