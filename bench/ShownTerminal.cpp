#include "ShownTerminal.h"

#include <thread>

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "link/DeviceTask.h"
#include "shell/TaskTree.h"
#include "sim/Simulator.h"
#include "simpanel/SimSetup.h"

namespace {
// Often enough to notice the end of a task; rarer looks would leave the figures less of this
// loop's own work.
constexpr std::chrono::milliseconds LookPeriod { 5 };
const QString FullServiceCode = QStringLiteral("Core_Orchard");
QtMessageHandler previousHandler = nullptr;
} // namespace

double secondsBetween(SteadyTime from, SteadyTime to)
{
    return std::chrono::duration<double>(to - from).count();
}

std::optional<QString> BenchDialogs::openFileName(QWidget*, const QString&, const QStringList&)
{
    if (firmwareFile.isEmpty())
        return std::nullopt;
    return firmwareFile;
}

int BenchDialogs::runModal(QDialog& dialog)
{
    // The service-code dialog takes its code; other dialogs (the model choice) close at once.
    if (auto* code = dialog.findChild<QLineEdit*>(QStringLiteral("EAccess"))) {
        dialog.show();
        code->setText(FullServiceCode);
        dialog.findChild<QPushButton*>(QStringLiteral("BClose"))->click();
    }
    return dialog.result();
}

void PollOnlyClock::sleep(std::chrono::milliseconds duration)
{
    if (duration == TDevice::PollInterval)
        std::this_thread::sleep_for(duration);
}

TaskTimes::TaskTimes()
{
    QLoggingCategory::setFilterRules(QStringLiteral("r4xx.tasks.debug=true"));
    previousHandler = qInstallMessageHandler(&TaskTimes::handler);
}

TaskTimes& TaskTimes::instance()
{
    static TaskTimes times;
    return times;
}

void TaskTimes::handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (context.category && QLatin1StringView(context.category) == "r4xx.tasks") {
        instance().note(text);
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

void TaskTimes::note(const QString& text)
{
    const SteadyTime now = std::chrono::steady_clock::now();
    const QStringList words = text.split(u' ');
    if (words.size() < 2)
        return;
    std::lock_guard lock(mutex_);
    if (words[0] == u"begins")
        spans_.push_back({ words[1], now, std::nullopt });
    else if (words[0] == u"ends" && !spans_.empty() && spans_.back().task == words[1])
        spans_.back().end = now;
}

void TaskTimes::clear()
{
    std::lock_guard lock(mutex_);
    spans_.clear();
}

int TaskTimes::ended(const char* task) const
{
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const Span& span : spans_)
        count += span.end && span.task == QLatin1StringView(task);
    return count;
}

std::optional<TaskTimes::Span> TaskTimes::lastEnded(const char* task) const
{
    std::lock_guard lock(mutex_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span)
        if (span->end && span->task == QLatin1StringView(task))
            return *span;
    return std::nullopt;
}

void setUpController(std::chrono::microseconds latency)
{
    sim::Simulator::instance().reset();
    sim::Simulator::instance().forEachController([latency](sim::SimController& controller) {
        controller.settings.capacity = simpanel::SimSetup::DemoCapacity;
        controller.faults.latency = latency;
    });
}

ShownTerminal::ShownTerminal(Clock& clock)
    : form_(std::make_unique<TFDevice>(dialogs, clock))
{
    TaskTimes::instance();
    form_->show();
    form_->MServExtClick();
    // Shown and painted, its worker polling: as the operator finds it before starting a task.
    runEventsFor(std::chrono::milliseconds(150));
}

ShownTerminal::~ShownTerminal()
{
    form_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ShownTerminal::openFromTree(const QString& caption)
{
    auto* tree = form_->findChild<QTreeWidget*>(QStringLiteral("TreeDev"));
    const auto items = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.isEmpty())
        return;
    tree->setCurrentItem(items.front());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(tree, &press);
}

void ShownTerminal::closeChildren()
{
    for (QMdiSubWindow* child : form_->clientArea()->subWindowList())
        child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool ShownTerminal::readConfiguration()
{
    const int before = TaskTimes::instance().ended("ConfigRead");
    form_->MTaskGetClick();
    return runEventsUntil([&] { return TaskTimes::instance().ended("ConfigRead") > before; },
               std::chrono::seconds(10))
        && form_->record().has_value();
}

bool runEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    look.setTimerType(Qt::PreciseTimer);
    bool held = false;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done()) {
            held = true;
            loop.quit();
        }
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    look.start(LookPeriod);
    loop.exec();
    return held;
}

void runEventsFor(std::chrono::milliseconds duration)
{
    runEventsUntil([] { return false; }, duration);
}
