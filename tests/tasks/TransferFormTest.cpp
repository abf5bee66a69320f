#include <memory>

#include <QLabel>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "models/IdentityTexts.h"
#include "tasks/ReadForm.h"
#include "tasks/SaveForm.h"

namespace {

TEST(IdentityTexts, HexadecimalHasTwoDigitsAtLeastAndNoMorePadding)
{
    const std::pair<std::uint16_t, const char*> cases[]{
        {0x0000, "00"}, {0x0005, "05"}, {0x00AB, "AB"}, {0x0C00, "C00"}, {0x2345, "2345"},
        {0xFFFF, "FFFF"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(hexDigits(value), text) << value;
}

TEST(IdentityTexts, ControllerNameAndEdition)
{
    EXPECT_EQ(controllerText(0x2000), "R-420ZA");
    EXPECT_EQ(controllerText(0x1FF1), "R-410ZB");
    EXPECT_EQ(controllerText(0x0001), "R-xxxZB");
    EXPECT_EQ(controllerText(0xF000), "R-xxxZA");
}

// Identity block bytes as the worker hands them over: six words, least significant byte first.
std::array<std::uint8_t, 12> identityBlock(const IdentityWords& words)
{
    std::array<std::uint8_t, 12> block{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        block[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
        block[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    return block;
}

struct Kind {
    const char* caption;
    const char* deviceLabel;
    TaskEvent event;
    Target target;
    std::function<TransferForm*(WindowRegistry&, TaskEvents&)> make;
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.caption;
}

class ProgressWindow : public ::testing::TestWithParam<Kind> {
protected:
    ProgressWindow()
        : window(GetParam().make(registry, events))
    {
        window->show();
    }
    ~ProgressWindow() override { delete window.data(); }
    QString text(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QPushButton* button() const { return window->findChild<QPushButton*>("But"); }
    QProgressBar* gauge() const { return window->findChild<QProgressBar*>("CGauge1"); }
    QTimer* timer() const { return window->findChild<QTimer*>("Timer"); }
    bool registered() const { return registry.handler(GetParam().target) == window.data(); }

    WindowRegistry registry;
    TaskEvents events;
    QPointer<TransferForm> window;
};

TEST_P(ProgressWindow, CreationRequestsTheTransferAndShowsNothingYet)
{
    EXPECT_EQ(window->windowTitle(), GetParam().caption);
    EXPECT_TRUE(events.isSet(GetParam().event));
    EXPECT_TRUE(registered());
    bool labelFound = false;
    for (const QLabel* label : window->findChildren<QLabel*>())
        labelFound = labelFound || label->text() == GetParam().deviceLabel;
    EXPECT_TRUE(labelFound);
    for (const char* value : {"SDev", "SChip", "SDie"})
        EXPECT_EQ(text(value), "-----") << value;
    EXPECT_EQ(button()->text(), "Отмена");
    EXPECT_FALSE(timer()->isActive());
}

TEST_P(ProgressWindow, ShowsIdentityAndProgress)
{
    const auto block = identityBlock({0x2000, 0x0001, 0x2345, 0x00AB, 0x0C00, 0x0005});
    window->OnDeviceMessage(Report::Identity{block});
    EXPECT_EQ(text("SDev"), "R-420ZA");
    EXPECT_EQ(text("SChip"), "0x05");
    EXPECT_EQ(text("SDie"), "0x012345ABC00");

    const auto unknown = identityBlock({0x7001, 0, 0, 0, 0, 0x1234});
    window->OnDeviceMessage(Report::Identity{unknown});
    EXPECT_EQ(text("SDev"), "R-xxxZB");
    EXPECT_EQ(text("SChip"), "0x1234");
    EXPECT_EQ(text("SDie"), "0x00000000");

    window->OnDeviceMessage(Report::Size{200});
    window->OnDeviceMessage(Report::Progress{120});
    EXPECT_EQ(gauge()->maximum(), 200);
    EXPECT_EQ(gauge()->value(), 120);
    window->OnDeviceMessage(Report::Text{});
    window->OnDeviceMessage(Report::Counters{});
    EXPECT_EQ(gauge()->value(), 120);
    EXPECT_EQ(button()->text(), "Отмена");
}

TEST_P(ProgressWindow, EndArmsTheTwoSecondCloseAndTheButtonReadsClose)
{
    window->OnDeviceMessage(Report::Finished{200});
    EXPECT_EQ(button()->text(), "Закрыть");
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 2000);
    EXPECT_TRUE(timer()->isSingleShot());

    window->TimerTimer();
    EXPECT_FALSE(registered());
    EXPECT_FALSE(timer()->isActive());
}

TEST_P(ProgressWindow, ClosingWithdrawsTheRequestAndTheRegistration)
{
    QTest::mouseClick(button(), Qt::LeftButton);
    EXPECT_FALSE(events.isSet(GetParam().event));
    EXPECT_EQ(registry.handler(GetParam().target), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "a closed window is destroyed";
}

INSTANTIATE_TEST_SUITE_P(
    TransferWindows, ProgressWindow,
    ::testing::Values(
        Kind{"Чтение конфигурации", "Контроллер: ", TaskEvent::ConfigRead, Target::Read,
             [](WindowRegistry& r, TaskEvents& e) -> TransferForm* { return new TFRead(r, e); }},
        Kind{"Загрузка конфигурации", "Контроллер:", TaskEvent::ConfigWrite, Target::Save,
             [](WindowRegistry& r, TaskEvents& e) -> TransferForm* { return new TFSave(r, e); }}),
    [](const auto& info) { return info.param.target == Target::Read ? "Read" : "Save"; });

} // namespace
