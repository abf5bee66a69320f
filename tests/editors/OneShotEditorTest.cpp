#include <QAbstractButton>
#include <QCheckBox>

#include "editors/BlockModel.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

using OneShotEditor = EditorBench;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The smallest one-shot editor: the link block as host-order words, no controls. It shows that an
// editor made of a model and a window gets "Тест" and the whole-block push from the pattern.
class LinkWords final : public BlockModel<Blocks::Link.size> {
public:
    explicit LinkWords(std::uint8_t* block)
        : BlockModel(block, WordOrder::Host)
    {
    }
    void LoadBlock() override { copyIn(); }
    void setDefaults() override { copy_.fill(0); }
    void raiseFirstWord() { ++copy_[0]; }
};

class LinkWordsForm final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Соединение"), Target::Link,
                                        TaskEvent::LinkLoad, TestStyle::OneShot, 74};

    LinkWordsForm(const EditorPlace& place, std::uint8_t* block)
        : TFEditor(Kind, place)
        , model_(block)
    {
        addPage(QStringLiteral("Соединение"));
    }
    void raiseFirstWord() { model_.raiseFirstWord(); }

protected:
    EditorModel& model() override { return model_; }
    void showModel() override {}

private:
    LinkWords model_;
};

Bytes linkBlockOf(const ConfigRecord& record)
{
    return bytesOf(record, Blocks::Link);
}

} // namespace

TEST_F(OneShotEditor, HasTheTestButtonAndNoTestingBox)
{
    auto* window = openEditor<LinkWordsForm>(*place, record.data(Blocks::Link));
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("Link")), nullptr);
    EXPECT_EQ(button(window, "TestBtn")->text(), QStringLiteral("Тест"));
}

TEST_F(OneShotEditor, TestPushesTheWholeWorkingCopyInRecordOrder)
{
    for (int i = 0; i < Blocks::Link.size; ++i)
        record.data(Blocks::Link)[i] = static_cast<std::uint8_t>(0x10 + i);
    const Bytes stored = linkBlockOf(record);
    auto* window = openEditor<LinkWordsForm>(*place, record.data(Blocks::Link));
    window->raiseFirstWord();
    click(button(window, "TestBtn"));
    runWorker();

    Bytes pushed = stored;
    ++pushed[1]; // the low byte of the first word, which comes second in record order
    EXPECT_EQ(sim::Simulator::instance().controller()->devices().parameters.block(10), pushed);
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Параметры соединения загружены.")});
    EXPECT_EQ(linkBlockOf(record), stored) << "a test does not save";
}

TEST_F(OneShotEditor, ClosingWithdrawsATestNotYetTaken)
{
    auto* window = openEditor<LinkWordsForm>(*place, record.data(Blocks::Link));
    click(button(window, "TestBtn"));
    click(button(window, "ButCancel"));
    runWorker();
    EXPECT_TRUE(requests().empty());
}
