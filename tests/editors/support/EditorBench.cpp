#include "support/EditorBench.h"

#include <cstdio>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "editors/AudioForm.h"
#include "editors/CodecForm.h"
#include "sim/Simulator.h"

EditorBench::EditorBench()
{
    sim::Simulator::instance().reset();
    device = std::make_unique<TDevice>(bridge, clock);
    place = std::make_unique<EditorPlace>(EditorPlace{area, registry, device->events(), dialogs});
    registry.enrol(Target::Device, log, log);
    area.resize(1000, 800);
    area.show();
}

EditorBench::~EditorBench()
{
    area.closeAllSubWindows();
    device.reset();
    sim::Simulator::instance().reset();
}

TFAudio* EditorBench::openAudio()
{
    return TFAudio::open(*place, record.data(Blocks::Amplifier));
}

TFCodec* EditorBench::openCodec(AccessLevel level)
{
    return TFCodec::open(*place, CodecInputs{level, record.data(Blocks::Identity),
                                             record.data(Blocks::Codec)});
}

void EditorBench::runWorker()
{
    device->runPass();
}

std::vector<std::pair<int, int>> EditorBench::codecWrites() const
{
    return sim::Simulator::instance().controller()->devices().codec.writes();
}

std::vector<std::uint8_t> EditorBench::amplifierCommands() const
{
    return sim::Simulator::instance().controller()->devices().amplifier.commands();
}

std::vector<std::string> EditorBench::requests() const
{
    std::vector<std::string> sent;
    for (const sim::Transfer& transfer : sim::Simulator::instance().traffic()) {
        if (transfer.direction != sim::Transfer::Direction::Out)
            continue;
        std::string text;
        for (std::uint8_t byte : transfer.bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", byte);
            text += hex;
        }
        sent.push_back(text);
    }
    return sent;
}

namespace {

template <typename Control>
Control* named(QWidget* window, const char* name)
{
    auto* control = window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << "no control " << name;
    return control;
}

} // namespace

QSlider* slider(QWidget* window, const char* name)
{
    return named<QSlider>(window, name);
}

QLabel* label(QWidget* window, const char* name)
{
    return named<QLabel>(window, name);
}

QCheckBox* checkBox(QWidget* window, const char* name)
{
    return named<QCheckBox>(window, name);
}

QAbstractButton* button(QWidget* window, const char* name)
{
    return named<QAbstractButton>(window, name);
}

QAbstractButton* radioButton(QWidget* window, const char* group, const QString& text)
{
    for (QRadioButton* radio : named<QGroupBox>(window, group)->findChildren<QRadioButton*>())
        if (radio->text() == text)
            return radio;
    ADD_FAILURE() << "no item " << text.toStdString() << " in " << group;
    return nullptr;
}

QString chosenIn(QWidget* window, const char* group)
{
    for (QRadioButton* radio : named<QGroupBox>(window, group)->findChildren<QRadioButton*>())
        if (radio->isChecked())
            return radio->text();
    return {};
}

void click(QAbstractButton* control)
{
    ASSERT_NE(control, nullptr);
    // Near the left edge: on a check box or radio button that is where its box and text are.
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
}

void showPage(QWidget* window, const QString& title)
{
    auto* pages = named<QTabWidget>(window, "Pages");
    for (int index = 0; index < pages->count(); ++index)
        if (pages->tabText(index) == title)
            pages->setCurrentIndex(index);
}

std::vector<std::uint8_t> bytesOf(const ConfigRecord& record, BlockSpan block)
{
    const std::uint8_t* first = record.data(block);
    return {first, first + block.size};
}

void toggleAccessibly(QAbstractButton* control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(accessible, nullptr);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
}
