#include <QCheckBox>

#include "sim/Simulator.h"
#include "support/DeviceFormFixture.h"
#include "tasks/LogView.h"

namespace {

constexpr int WaitMs = 20000;

// The terminal with its real worker and tasks on the simulated controller, its live traffic
// stopped so that only the frames a test puts on the channels are traced.
class TraceCommand : public DeviceFormFixture {
protected:
    TraceCommand()
        : DeviceFormFixture(deviceTasks())
    {
        trace().setLiveRate(0);
    }
    static void SetUpTestSuite() { sim::Simulator::instance().reset(); }
    void TearDown() override
    {
        form.reset();
        sim::Simulator::instance().reset();
    }
    static sim::TraceQueues& trace()
    {
        return sim::Simulator::instance().controller()->devices().trace;
    }
    void runTraceNode()
    {
        selectNode("Trace");
        QTest::keyClick(tree(), Qt::Key_Return);
    }
    QMdiSubWindow* traceWindow() const
    {
        for (QMdiSubWindow* child : children())
            if (child->windowTitle() == "Трассировщик")
                return child;
        return nullptr;
    }
};

TEST_F(TraceCommand, TraceNodeOfBothTraceLevelsOpensOneWindowAtTheTopLeft)
{
    // Another window first, so that the trace window is not the only one.
    const std::pair<const char*, const char*> levels[]{{"Probe_Orchard", "Прочитать"},
                                                       {"Core_Orchard", "Кодек"}};
    for (const auto& [code, other] : levels) {
        enterServiceCode(QString::fromLatin1(code));
        selectNode(QString::fromUtf8(other));
        QTest::keyClick(tree(), Qt::Key_Return);
        ASSERT_EQ(children().size(), 1) << code;
        runTraceNode();
        ASSERT_NE(traceWindow(), nullptr) << code;
        EXPECT_EQ(traceWindow()->pos(), QPoint(0, 0)) << code;
        runTraceNode();
        EXPECT_EQ(children().size(), 2) << code << ": the open window is only brought forward";
        EXPECT_EQ(form->clientArea()->activeSubWindow(), traceWindow()) << code;
        form->CloseConfig();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(children().isEmpty()) << code;
    }
}

TEST_F(TraceCommand, TicksAndStartTraceTheControllersFrames)
{
    enterServiceCode("Probe_Orchard");
    runTraceNode();
    QMdiSubWindow* window = traceWindow();
    ASSERT_NE(window, nullptr);
    window->findChild<QCheckBox*>("LinkRx")->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return trace().mask() == 4; }, WaitMs));

    trace().pass(sim::TraceChannel::LinkRx, {0x01, 0xA5});
    trace().pass(sim::TraceChannel::BusRx, {0x55});
    QTest::mouseClick(window->findChild<QPushButton*>("ButRun"), Qt::LeftButton);
    auto* log = window->findChild<LogView*>("Log");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->lines().count() == 2; }, WaitMs));
    EXPECT_TRUE(log->lines().line(1).endsWith(" Link(RxD): 0x01; 0xA5; "))
        << log->lines().line(1).toStdString();

    trace().pass(sim::TraceChannel::LinkRx, {0x02});
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->lines().count() == 3; }, WaitMs))
        << "the timer keeps polling";
    EXPECT_TRUE(log->lines().line(2).endsWith(" Link(RxD): 0x02; "));
    EXPECT_TRUE(logLines().isEmpty()) << "a working trace writes nothing in the message log";
}

} // namespace
