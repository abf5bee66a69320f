#include <QLabel>

#include "support/DeviceFormFixture.h"

namespace {

using ReportRouting = DeviceFormFixture;

QString delayLabelOf(QMdiSubWindow* window)
{
    return window->findChild<QLabel*>("LDelay")->text();
}

// The statistics window takes the record's identity every time "Статистика" is run, also when it
// is open already: a record of another model changes its labels.
TEST_F(ReportRouting, StatisticsNodeHandsTheIdentityEveryTime)
{
    form->SetConfig(recordOf(0x2000));
    selectNode("Статистика");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    QMdiSubWindow* window = children()[0];
    EXPECT_EQ(window->windowTitle(), "Статистика работы");
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(delayLabelOf(window), "Cреднее время задержки:");
    EXPECT_FALSE(window->findChild<QLabel*>("sJBufLoad")->isHidden());

    form->SetConfig(recordOf(0x1001));
    selectNode("Статистика");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1) << "the open window, not a second one";
    EXPECT_EQ(children()[0], window);
    EXPECT_EQ(delayLabelOf(window), "Частота синхронизации:");
    EXPECT_TRUE(window->findChild<QLabel*>("sJBufLoad")->isHidden());
    EXPECT_EQ(form->clientArea()->activeSubWindow(), window);
}

TEST_F(ReportRouting, ClosingTheRecordClosesTheStatisticsWindowAndItsRequests)
{
    form->SetConfig(recordOf(0x2000));
    selectNode("Статистика");
    QTest::keyClick(tree(), Qt::Key_Return);
    QTest::mouseClick(children()[0]->findChild<QPushButton*>("BRun"), Qt::LeftButton);
    form->MFileCloseClick();
    EXPECT_EQ(form->registry().handler(Target::Report), nullptr);
    EXPECT_FALSE(form->taskEvents().isSet(TaskEvent::StatisticsReport));
}

} // namespace
