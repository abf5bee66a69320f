#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

#include "link/DeviceTask.h"
#include "sim/Simulator.h"
#include "support/ScriptedDialogs.h"
#include "tasks/LogView.h"
#include "tasks/TraceForm.h"

namespace {

// Delivers the worker's notifications straight to the registered windows, on the test's thread.
class DirectNotifier final : public Notifier {
public:
    explicit DirectNotifier(WindowRegistry& registry)
        : registry_(registry)
    {
    }
    bool notify(Target target, const TaskReport& report) override
    {
        NotifiedWindow* window = registry_.handler(target);
        if (!window)
            return false;
        window->OnDeviceMessage(report);
        return true;
    }
    std::optional<TaskInput> request(Target target, const TaskRequest& wanted) override
    {
        NotifiedWindow* window = registry_.handler(target);
        if (!window)
            return std::nullopt;
        return window->OnDeviceRequest(wanted);
    }
    bool requestClose(Target target) override
    {
        QWidget* window = registry_.widget(target);
        return window && window->close();
    }

private:
    WindowRegistry& registry_;
};

class InstantClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override {}
};

// The trace window on a worker that runs one pass when the test says, against the simulated
// controller with its live traffic stopped.
class TraceWindow : public ::testing::Test {
protected:
    TraceWindow()
    {
        sim::Simulator::instance().reset();
        trace().setLiveRate(0);
        window = new TFTrace(registry, device.events(), dialogs);
        window->show();
    }
    ~TraceWindow() override
    {
        delete window.data();
        sim::Simulator::instance().reset();
    }

    sim::TraceQueues& trace() { return sim::Simulator::instance().controller()->devices().trace; }
    TaskEvents& events() { return device.events(); }
    QCheckBox* box(const char* name) const
    {
        return window->findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    QPushButton* button(const char* name) const
    {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QTimer* timer() const { return window->findChild<QTimer*>("Timer"); }
    LogView* log() const { return window->findChild<LogView*>("Log"); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void tick(const char* name) { box(name)->click(); }
    // The number of trace fetches the controller received.
    int fetches() const
    {
        int count = 0;
        for (const sim::Transfer& t : sim::Simulator::instance().traffic())
            count += t.direction == sim::Transfer::Direction::Out && t.bytes.size() >= 2
                && t.bytes[0] == 6 && t.bytes[1] == 0;
        return count;
    }
    // Every event the worker would take now, in the order it takes them.
    std::vector<TaskEvent> pendingEvents()
    {
        std::vector<TaskEvent> pending;
        for (int i = 0; i < TaskEventCount; ++i)
            if (events().isSet(static_cast<TaskEvent>(i)))
                pending.push_back(static_cast<TaskEvent>(i));
        return pending;
    }

    WindowRegistry registry;
    ScriptedDialogs dialogs;
    DirectNotifier notifier{registry};
    InstantClock clock;
    TDevice device{notifier, clock};
    QPointer<TFTrace> window;
};

TEST_F(TraceWindow, OpensStoppedWithNoChannelAndAnEditableLog)
{
    EXPECT_EQ(window->windowTitle(), "Трассировщик");
    EXPECT_EQ(registry.handler(Target::Trace), window.data());
    EXPECT_TRUE(pendingEvents().empty());
    EXPECT_EQ(window->channelMask(), 0);

    const char* names[]{"BusRx", "BusTx", "LinkRx", "LinkTx"};
    const char* captions[]{"Bus+ (RxD)", "Bus+ (TxD)", "Link (RxD)", "Link (TxD)"};
    const QList<QCheckBox*> boxes = window->findChild<QGroupBox*>()->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes[i]->objectName(), names[i]);
        EXPECT_EQ(boxes[i]->text(), captions[i]);
        EXPECT_FALSE(boxes[i]->isChecked());
    }
    EXPECT_EQ(window->findChild<QGroupBox*>()->title(), "Канал");
    EXPECT_EQ(button("ButRun")->text(), "Старт");
    EXPECT_EQ(button("ButSave")->text(), "Сохранить...");
    EXPECT_EQ(button("ButClose")->text(), "Закрыть");
    EXPECT_TRUE(button("ButClose")->isDefault());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 100);

    auto* splitter = window->findChild<QSplitter*>("Splitter");
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(0), log()) << "the log on the left, the panel behind the splitter";
    EXPECT_TRUE(splitter->widget(1)->isAncestorOf(box("BusRx")));
    EXPECT_EQ(log()->lines().count(), 1);
    EXPECT_EQ(log()->toPlainText(), "");
    log()->setFocus();
    QTest::keyClicks(log(), "note");
    EXPECT_EQ(log()->toPlainText(), "note");
}

TEST_F(TraceWindow, StartWithNoChannelPollsOnceThenEveryTickOnceABoxIsTicked)
{
    click("ButRun");
    EXPECT_EQ(button("ButRun")->text(), "Стоп");
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 100);
    EXPECT_EQ(pendingEvents(), std::vector{TaskEvent::TracePoll});
    device.runPass();
    for (int i = 0; i < 3; ++i) {
        window->TimerTimer();
        device.runPass();
    }
    EXPECT_EQ(fetches(), 1) << "an empty mask polls only at the start";

    tick("LinkRx");
    EXPECT_EQ(pendingEvents(), std::vector{TaskEvent::TraceSelection});
    device.runPass();
    EXPECT_EQ(trace().selections(), std::vector<std::uint16_t>{4});
    for (int i = 0; i < 3; ++i) {
        window->TimerTimer();
        EXPECT_EQ(pendingEvents(), std::vector{TaskEvent::TracePoll}) << i;
        device.runPass();
    }
    EXPECT_EQ(fetches(), 4);
}

TEST_F(TraceWindow, TwoBoxesBeforeTheWorkerTakesTheEventSendOneSelection)
{
    tick("LinkTx");
    tick("BusRx");
    EXPECT_EQ(window->channelMask(), 9);
    device.runPass();
    device.runPass();
    EXPECT_EQ(trace().selections(), std::vector<std::uint16_t>{9});

    tick("LinkTx");
    device.runPass();
    EXPECT_EQ(trace().selections(), (std::vector<std::uint16_t>{9, 1}));
}

TEST_F(TraceWindow, LinesOfEachRunAreAppendedInOrder)
{
    tick("LinkRx");
    tick("BusTx");
    device.runPass();
    trace().pass(sim::TraceChannel::LinkRx, {0x01, 0xA5});
    trace().pass(sim::TraceChannel::BusRx, {0x77});
    trace().pass(sim::TraceChannel::BusTx, {0x34, 0x0C, 0x22});
    click("ButRun");
    device.runPass();
    trace().pass(sim::TraceChannel::LinkRx, {0x02});
    window->TimerTimer();
    device.runPass();

    const QStringList text = log()->toPlainText().split(u'\n');
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[0], "") << "the log's first line stays empty";
    EXPECT_TRUE(text[1].endsWith(" Link(RxD): 0x01; 0xA5; ")) << text[1].toStdString();
    EXPECT_TRUE(text[2].endsWith(" Bus+(TxD): 0x34; 0x0C; 0x22; ")) << text[2].toStdString();
    EXPECT_TRUE(text[3].endsWith(" Link(RxD): 0x02; ")) << text[3].toStdString();

    const TaskReport other[]{Report::UsbFailure{-1}, Report::Size{0}, Report::Counters{},
                             Report::Text{QStringLiteral("not a trace line")}};
    for (const TaskReport& report : other)
        window->OnDeviceMessage(report);
    EXPECT_EQ(log()->lines().count(), 4);
    EXPECT_EQ(window->channelMask(), 6);
}

TEST_F(TraceWindow, FailureUnticksTheBoxesWithoutASelectionAndKeepsTheWindowRunning)
{
    tick("BusRx");
    tick("LinkTx");
    device.runPass();
    click("ButRun");
    window->TimerTimer();
    sim::Simulator::instance().clear(); // the controller is unplugged
    device.runPass();

    for (const char* name : {"BusRx", "BusTx", "LinkRx", "LinkTx"})
        EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_EQ(window->channelMask(), 0);
    EXPECT_TRUE(pendingEvents().empty()) << "no selection follows the failure";
    EXPECT_EQ(button("ButRun")->text(), "Стоп");
    EXPECT_TRUE(timer()->isActive());
    window->TimerTimer();
    EXPECT_TRUE(pendingEvents().empty()) << "an empty mask stops the polls";

    events().set(TaskEvent::TraceSelection);
    events().set(TaskEvent::TracePoll);
    window->OnDeviceMessage(Report::Finished{0});
    EXPECT_TRUE(pendingEvents().empty()) << "code 5 withdraws both requests";
}

TEST_F(TraceWindow, StopThenCloseLeavesNoPollPending)
{
    tick("LinkRx");
    device.runPass();
    click("ButRun");
    click("ButRun");
    EXPECT_EQ(button("ButRun")->text(), "Старт");
    EXPECT_FALSE(timer()->isActive());
    EXPECT_TRUE(pendingEvents().empty());
    click("ButClose");
    EXPECT_TRUE(pendingEvents().empty());
    EXPECT_EQ(registry.handler(Target::Trace), nullptr);
    device.runPass();
    EXPECT_EQ(fetches(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(TraceWindow, ClosingARunningWindowWithdrawsItsRequests)
{
    tick("BusTx");
    click("ButRun");
    EXPECT_EQ(pendingEvents(), (std::vector{TaskEvent::TraceSelection, TaskEvent::TracePoll}));
    window->close();
    EXPECT_TRUE(pendingEvents().empty());
    device.runPass();
    device.runPass();
    EXPECT_TRUE(trace().selections().empty());
    EXPECT_EQ(fetches(), 0);
}

class TraceSave : public TraceWindow {
protected:
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir folder;
};

TEST_F(TraceSave, SavesTheWholeLogAsUtf8AndReplacesAnOlderFile)
{
    const QString name = path("trace.txt");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and longer trace that must not survive\n");
    }
    const QStringList lines{"14:03:27 Link(RxD): 0x01; 0xA5; ", "14:03:28 0xFF; "};
    window->OnDeviceMessage(Report::TraceLines{lines});
    log()->setCursorPosition({0, 0});
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("Проверка"));
    QApplication::sendEvent(log(), &typed);
    dialogs.fileNames.push_back(name);
    click("ButSave");
    EXPECT_EQ(dialogs.saveInitialName, "trace.txt");
    EXPECT_EQ(dialogs.filters, (QStringList{"Текстовый файл (*.txt)", "все файлы (*)"}));
    EXPECT_EQ(contents(name), QStringLiteral("Проверка\n14:03:27 Link(RxD): 0x01; 0xA5; \n"
                                             "14:03:28 0xFF; \n")
                                  .toUtf8());
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(TraceSave, CancelWritesNothingAndAPlaceThatCannotBeCreatedSaysSo)
{
    dialogs.fileNames.push_back(std::nullopt);
    click("ButSave");
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_TRUE(dialogs.informed.empty());

    const QString nowhere = path("missing/trace.txt");
    dialogs.fileNames.push_back(nowhere);
    click("ButSave");
    EXPECT_EQ(dialogs.informed, std::vector<QString>{"Файл " + nowhere + " не удается создать"});
}

} // namespace
