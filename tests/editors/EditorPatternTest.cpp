#include <QAbstractButton>
#include <QCheckBox>
#include <QMdiSubWindow>
#include <QSlider>
#include <QTest>

#include "editors/AudioForm.h"
#include "editors/CodecForm.h"
#include "link/ParameterTasks.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

using EditorPattern = EditorBench;
using Bytes = std::vector<std::uint8_t>;
using Writes = std::vector<std::pair<int, int>>;

namespace {

// A record whose every byte differs from its neighbours, so that any stray write shows.
ConfigRecord patterned()
{
    ConfigRecord record;
    for (std::size_t i = 0; i < record.bytes.size(); ++i)
        record.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    record.setTypeWord(0x1000);
    return record;
}

// The record with one block replaced.
RecordBytes withBlock(RecordBytes bytes, BlockSpan block, const Bytes& content)
{
    std::copy(content.begin(), content.end(), bytes.begin() + block.offset);
    return bytes;
}

} // namespace

TEST(EditorPayload, SizesAgreeWithTheWorkersPushes)
{
    ConfigRecord record = ConfigRecord::blank();
    const AudioModel audio(record.data(Blocks::Amplifier));
    const CodecModel codec({LevelUser, record.data(Blocks::Identity), record.data(Blocks::Codec)});
    EXPECT_EQ(audio.payloadSize(), parameterPush(TFAudio::Kind.event).frame.payloadSize);
    EXPECT_EQ(codec.payloadSize(), parameterPush(TFCodec::Kind.event).frame.payloadSize);
}

TEST_F(EditorPattern, EditorsPlaceThemselvesTenPixelsPerChildWindow)
{
    auto* other = area.addSubWindow(new QWidget);
    other->show();
    TFAudio* audio = openAudio();
    TFCodec* codec = openCodec();
    EXPECT_EQ(audio->pos(), QPoint(10, 10));
    EXPECT_EQ(codec->pos(), QPoint(20, 20));
    EXPECT_EQ(area.activeSubWindow(), codec);
}

TEST_F(EditorPattern, OpeningAnOpenEditorKeepsItsUnsavedChanges)
{
    record.data(Blocks::Amplifier)[0] = 10;
    TFAudio* first = openAudio();
    slider(first, "Lev")->setValue(levelPosition(amplifierField(AmplifierField::Level), 40));
    first->showMinimized();
    TFCodec* codec = openCodec();
    EXPECT_EQ(area.activeSubWindow(), codec);

    record.data(Blocks::Amplifier)[0] = 20;
    TFAudio* again = openAudio();
    EXPECT_EQ(again, first);
    EXPECT_FALSE(again->isMinimized());
    EXPECT_EQ(area.activeSubWindow(), first);
    EXPECT_EQ(slider(again, "Lev")->value(), levelPosition(amplifierField(AmplifierField::Level), 40));
    EXPECT_EQ(area.subWindowList().size(), 2);
}

TEST_F(EditorPattern, CloseAndResetLeaveTheRecordUntouched)
{
    record = patterned();
    const RecordBytes before = record.bytes;
    TFCodec* codec = openCodec();
    QTest::keyClick(slider(codec, "TxLev_2"), Qt::Key_Home);
    click(button(codec, "ButDefault"));
    click(button(codec, "ButCancel"));
    TFAudio* audio = openAudio();
    QTest::keyClick(slider(audio, "Lev"), Qt::Key_End);
    audio->close();
    EXPECT_EQ(record.bytes, before);
    EXPECT_EQ(registry.handler(Target::Codec), nullptr);
    EXPECT_EQ(registry.handler(Target::Audio), nullptr);
}

TEST_F(EditorPattern, SaveChangesOnlyTheEditorsBlock)
{
    record = patterned();
    const RecordBytes before = record.bytes;
    TFAudio* audio = openAudio();
    QTest::keyClick(slider(audio, "Lev"), Qt::Key_Home);
    click(button(audio, "ButOk"));
    EXPECT_EQ(record.bytes, withBlock(before, Blocks::Amplifier, {0x3F, 0x00, 0xD6, 0x00}));

    const RecordBytes afterAudio = record.bytes;
    TFCodec* codec = openCodec();
    click(button(codec, "ButDefault"));
    click(button(codec, "ButOk"));
    EXPECT_EQ(record.bytes,
              withBlock(afterAudio, Blocks::Codec,
                        {0x1E, 0x00, 0x0C, 0x22, 0x08, 0x12, 0x0A, 0x00, 0x10, 0x02, 0x00,
                         0x17, 0x02, 0x17, 0x04, 0x79, 0x06, 0x79, 0x0E, 0x43, 0x12, 0x01}));
}

TEST_F(EditorPattern, TickingTestingPushesNothingByItself)
{
    TFCodec* codec = openCodec();
    TFAudio* audio = openAudio();
    click(checkBox(codec, "Link"));
    click(checkBox(audio, "Link"));
    runWorker();
    runWorker();
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(checkBox(codec, "Link")->isChecked());
}

TEST_F(EditorPattern, ChangesWhileNotTestingAreNotPushed)
{
    TFCodec* codec = openCodec();
    slider(codec, "RxLev_1")->setValue(3);
    click(checkBox(codec, "Link"));
    runWorker();
    EXPECT_TRUE(requests().empty());
}

TEST_F(EditorPattern, TwoCodecChangesBeforeTheWorkerPushOnlyTheSecond)
{
    TFCodec* codec = openCodec();
    click(checkBox(codec, "Link"));
    slider(codec, "RxLev_1")->setValue(0);
    slider(codec, "TxLev_2")->setValue(100);
    runWorker();
    runWorker();
    EXPECT_EQ(codecWrites(), (Writes{{3, 75}}));
}

TEST_F(EditorPattern, WithNoControllerAChangeLogsOnceAndStopsTesting)
{
    sim::Simulator::instance().clear();
    TFAudio* audio = openAudio();
    QCheckBox* testing = checkBox(audio, "Link");
    click(testing);
    slider(audio, "Lev")->setValue(5);
    runWorker();
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Контроллер не обнаружен на шине USB")});
    EXPECT_FALSE(testing->isChecked());

    slider(audio, "Lev")->setValue(6);
    EXPECT_FALSE(place->events.isSet(TaskEvent::AmplifierTest));
    runWorker();
    EXPECT_EQ(log.lines.size(), 1);

    click(testing);
    slider(audio, "Lev")->setValue(7);
    EXPECT_TRUE(place->events.isSet(TaskEvent::AmplifierTest));
}

TEST_F(EditorPattern, AFailedTransferStopsTestingAndKeepsTheChanges)
{
    TFCodec* codec = openCodec();
    click(checkBox(codec, "Link"));
    // The probe and identity exchanges succeed; the push itself times out.
    sim::Simulator::instance().controller()->faults.transferResults[4] = sim::UsbError::TimedOut;
    slider(codec, "RxLev_2")->setValue(0);
    runWorker();
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Error: -110")});
    EXPECT_FALSE(checkBox(codec, "Link")->isChecked());
    click(button(codec, "ButOk"));
    EXPECT_EQ(record.data(Blocks::Codec)[13], 31);
}

TEST_F(EditorPattern, ResetAndCloseWithdrawAPushNotYetTaken)
{
    TFCodec* codec = openCodec();
    TFAudio* audio = openAudio();
    click(checkBox(codec, "Link"));
    click(checkBox(audio, "Link"));
    slider(codec, "RxLev_1")->setValue(1);
    slider(audio, "Lev")->setValue(1);
    ASSERT_TRUE(place->events.isSet(TaskEvent::CodecTest));
    ASSERT_TRUE(place->events.isSet(TaskEvent::AmplifierTest));

    click(button(codec, "ButDefault"));
    EXPECT_FALSE(checkBox(codec, "Link")->isChecked());
    audio->close();
    runWorker();
    runWorker();
    EXPECT_TRUE(requests().empty());
}

TEST_F(EditorPattern, UntickingByHandStillMakesAPushAlreadySignalled)
{
    TFAudio* audio = openAudio();
    click(checkBox(audio, "Link"));
    click(radioButton(audio, "Mod", QStringLiteral("ШИМ")));
    click(checkBox(audio, "Link"));
    runWorker();
    EXPECT_EQ(amplifierCommands(), (Bytes{0xD5}));
}

TEST_F(EditorPattern, AClosedEditorIsNoLongerReachedByTheWorker)
{
    TFAudio* audio = openAudio();
    click(checkBox(audio, "Link"));
    slider(audio, "Lev")->setValue(1);
    audio->close();
    place->events.set(TaskEvent::AmplifierTest);
    runWorker();
    EXPECT_TRUE(amplifierCommands().empty());
    EXPECT_TRUE(log.lines.isEmpty());
}
