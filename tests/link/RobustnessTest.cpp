#include "support/SimFixture.h"

#include <random>

#include <QRegularExpression>
#include <QString>

#include "link/DeviceTask.h"

// A controller that answers with random garbage, random lengths and random failures must never
// make a task read or write outside its buffers, hang, or install a record it did not read.
TEST(Robustness, MisbehavingControllerNeverBreaksATask)
{
    std::mt19937 random(20261209);
    const std::vector<TaskEvent> events{TaskEvent::ConfigRead, TaskEvent::ConfigWrite,
                                        TaskEvent::CodecTest,  TaskEvent::AmplifierTest,
                                        TaskEvent::VocoderTest, TaskEvent::RecorderTest,
                                        TaskEvent::NetworkLoad, TaskEvent::LinkLoad};
    const QRegularExpression knownLine(
        "^(Error: -?\\d+|Контроллер не обнаружен на шине USB|Процесс .*|Параметры .*|"
        "Загружаемая конфигурация не соответствует типу контроллера)$");
    for (int round = 0; round < 400; ++round) {
        sim::Simulator::instance().reset();
        auto controller = sim::Simulator::instance().controller();
        controller->settings.capacity = static_cast<std::uint16_t>(random() % 300);
        bool contentChanged = false;
        controller->faults.replyFilter = [&random, &contentChanged](const sim::Request&,
                                                                    std::vector<std::uint8_t>& reply) {
            switch (random() % 4) {
            case 0:
                reply.resize(random() % (reply.size() + 16));
                break;
            case 1:
                for (auto& byte : reply)
                    byte = static_cast<std::uint8_t>(random());
                contentChanged = true;
                break;
            case 2:
                reply.assign(random() % 400, static_cast<std::uint8_t>(random()));
                contentChanged = true;
                break;
            default:
                break;
            }
        };
        if (random() % 5 == 0)
            controller->faults.transferResults[static_cast<int>(random() % 8)] = -5;
        const auto memory = controller->configMemory().read(0, 200);

        RecordingNotifier notifier;
        notifier.writeCount = random() % 2 ? 110 : 200;
        notifier.record.setTypeWord(controller->settings.typeWord);
        TestClock clock;
        {
            TDevice device(notifier, clock);
            device.events().set(events[random() % events.size()]);
            device.runPass();
        }
        for (const std::string& line : notifier.log())
            EXPECT_TRUE(knownLine.match(QString::fromStdString(line)).hasMatch()) << line;
        // Cut replies must never be installed; changed contents are the controller's word.
        for (const RecordBytes& record : notifier.installedRecords()) {
            if (!contentChanged) {
                EXPECT_TRUE(std::equal(memory.begin(), memory.end(), record.begin())) << round;
            }
        }
        EXPECT_EQ(sim::Simulator::instance().openHandleCount(), 0);
    }
}
