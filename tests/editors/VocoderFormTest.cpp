#include <cstdio>
#include <functional>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "editors/VocoderForm.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

using Bytes = std::vector<std::uint8_t>;
using Words = std::array<int, 6>;

namespace {

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R420ZA = 0x2000;
constexpr int VocoderCommand = 7;

QComboBox* dropDown(QWidget* window, const char* name)
{
    auto* list = window->findChild<QComboBox*>(QString::fromLatin1(name));
    EXPECT_NE(list, nullptr) << "no list " << name;
    return list;
}

QStringList itemsOf(QComboBox* list)
{
    QStringList items;
    for (int index = 0; index < list->count(); ++index)
        items.append(list->itemText(index));
    return items;
}

QStringList durations(int lastMs)
{
    QStringList texts;
    for (int ms = 0; ms <= lastMs; ms += 20)
        texts.append(QString::number(ms) + QStringLiteral(" мсек."));
    return texts;
}

// Opens the list and clicks the item, as the operator does with the mouse.
void chooseWithMouse(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << "no item " << text.toStdString();
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
}

// Steps through the list with the arrow keys until the item shows.
void chooseWithKeys(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << "no item " << text.toStdString();
    list->setFocus();
    while (list->currentIndex() != index)
        QTest::keyClick(list, list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
}

Words wordsIn(const ConfigRecord& record)
{
    const std::uint8_t* block = record.data(Blocks::Vocoder);
    Words words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::int16_t>(block[2 * i] << 8 | block[2 * i + 1]);
    return words;
}

void storeWords(ConfigRecord& record, const Words& words)
{
    std::uint8_t* block = record.data(Blocks::Vocoder);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto word = static_cast<std::uint16_t>(words[i]);
        block[2 * i] = static_cast<std::uint8_t>(word >> 8);
        block[2 * i + 1] = static_cast<std::uint8_t>(word & 0xFF);
    }
}

std::string hexOf(const Bytes& bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", byte);
        text += hex;
    }
    return text;
}

Bytes bytesOfWords(const Words& words)
{
    ConfigRecord record;
    storeWords(record, words);
    return bytesOf(record, Blocks::Vocoder);
}

class VocoderForm : public EditorBench {
protected:
    TFVocoder* openVocoder(std::uint16_t typeWord, const Words& stored)
    {
        record.setTypeWord(typeWord);
        storeWords(record, stored);
        return TFVocoder::open(*place, VocoderInputs{record.data(Blocks::Identity),
                                                     record.data(Blocks::Vocoder)});
    }

    // The block the simulated controller holds from the vocoder pushes.
    Bytes pushedBlock() const
    {
        return sim::Simulator::instance().controller()->devices().parameters.block(VocoderCommand);
    }
};

// The texts the lists show, in block order.
QStringList shownTexts(QWidget* window)
{
    QStringList texts;
    for (const Field& field : vocoderFields())
        texts.append(dropDown(window, field.control)->currentText());
    return texts;
}

} // namespace

TEST_F(VocoderForm, R410ChoosesOnlyTheBitRateFromItsOwnList)
{
    TFVocoder* window = openVocoder(R410ZA, {7, 1, 2, 30, 1, 8});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Вокодер"));
    EXPECT_EQ(itemsOf(dropDown(window, "BitsMode")),
              (QStringList{"6.0 кбит/с", "7.2 кбит/с", "8.0 кбит/с", "11.0 кбит/с", "11.8 кбит/с",
                           "14.4 кбит/с", "17.6 кбит/с"}));
    for (const Field& field : vocoderFields())
        EXPECT_EQ(dropDown(window, field.control)->isEnabled(), &field == &vocoderField(VocoderList::BitsMode))
            << field.control;
    EXPECT_EQ(shownTexts(window), (QStringList{"14.4 кбит/с", "Отключено", "Постоянно", "20 мсек.",
                                               "Фиксированный", "Откл."}));
    EXPECT_EQ(label(window, "LJBuf")->text(), QStringLiteral("Размер буфера "));

    chooseWithMouse(dropDown(window, "BitsMode"), QStringLiteral("17.6 кбит/с"));
    click(button(window, "ButOk"));
    EXPECT_EQ(wordsIn(record), (Words{8, 0, 0, 1, 0, 0}));
}

TEST_F(VocoderForm, FasterRateCutsTheDurationsAndSlowerRateKeepsTheChoice)
{
    TFVocoder* window = openVocoder(R420ZA, {2, 1, 0, 3, 1, 2});
    QComboBox* durationList = dropDown(window, "BitsTime");
    EXPECT_EQ(itemsOf(durationList), durations(660));

    chooseWithMouse(durationList, QStringLiteral("500 мсек."));
    chooseWithMouse(dropDown(window, "BitsMode"), QStringLiteral("18.2 кбит/с"));
    EXPECT_EQ(itemsOf(durationList), durations(200));
    EXPECT_EQ(durationList->currentText(), QStringLiteral("200 мсек."));

    chooseWithKeys(dropDown(window, "BitsMode"), QStringLiteral("6.0  кбит/с"));
    EXPECT_EQ(itemsOf(durationList), durations(660));
    EXPECT_EQ(durationList->currentText(), QStringLiteral("200 мсек."));

    click(button(window, "ButOk"));
    EXPECT_EQ(wordsIn(record), (Words{2, 1, 0, 10, 1, 2}));
}

TEST_F(VocoderForm, StoredValuesOutsideTheListsShowAndStoreTheNearerEnd)
{
    struct Case {
        Words stored;
        QStringList shown;
        Words saved;
    };
    const std::vector<Case> cases{
        {{0, 0, 0, 0, 0, 0},
         {"6.0  кбит/с", "Отключено", "Постоянно", "0 мсек.", "Фиксированный", "Откл."},
         {2, 0, 0, 0, 0, 0}},
        {{12, 1, 2, 10, 1, 8},
         {"18.2 кбит/с", "Контроль РТТ", "VBR", "200 мсек.", "Адаптивный", "160 мсек."},
         {8, 1, 2, 10, 1, 8}},
        {{4, 0, 1, 5, 0, -1},
         {"8.0  кбит/с", "Отключено", "VAD", "100 мсек.", "Фиксированный", "Откл."},
         {4, 0, 1, 5, 0, 0}},
        {{-1, 9, -9, 40, 3, 70},
         {"6.0  кбит/с", "Контроль РТТ", "Постоянно", "660 мсек.", "Адаптивный", "160 мсек."},
         {2, 1, 0, 33, 1, 8}},
    };
    for (const Case& c : cases) {
        TFVocoder* window = openVocoder(R420ZA, c.stored);
        EXPECT_EQ(shownTexts(window), c.shown);
        click(button(window, "ButOk"));
        EXPECT_EQ(wordsIn(record), c.saved);
    }
}

TEST_F(VocoderForm, BufferModeNamesTheSizeLabel)
{
    TFVocoder* window = openVocoder(R420ZA, {8, 1, 0, 2, 1, 2});
    QLabel* sizeLabel = label(window, "LJBuf");
    EXPECT_EQ(sizeLabel->text(), QStringLiteral("Максимальный размер буфера "));
    chooseWithMouse(dropDown(window, "JBufMode"), QStringLiteral("Фиксированный"));
    EXPECT_EQ(sizeLabel->text(), QStringLiteral("Размер буфера "));
    chooseWithKeys(dropDown(window, "JBufMode"), QStringLiteral("Адаптивный"));
    EXPECT_EQ(sizeLabel->text(), QStringLiteral("Максимальный размер буфера "));
}

TEST_F(VocoderForm, EveryChoiceWhileTestingPushesTheWholeBlock)
{
    TFVocoder* window = openVocoder(R420ZA, {4, 0, 0, 1, 0, 0});
    click(checkBox(window, "Link"));
    struct Choice {
        const char* list;
        QString item;
        std::function<void(QComboBox*, const QString&)> choose;
        Words words;
    };
    const std::vector<Choice> choices{
        {"BitsMode", "11.8  кбит/с", chooseWithMouse, {6, 0, 0, 1, 0, 0}},
        {"CtrlMode", "Контроль РТТ", chooseWithKeys, {6, 1, 0, 1, 0, 0}},
        {"RunMode", "VBR", chooseWithMouse, {6, 1, 2, 1, 0, 0}},
        {"BitsTime", "320 мсек.", chooseWithKeys, {6, 1, 2, 16, 0, 0}},
        {"JBufMode", "Адаптивный", chooseWithMouse, {6, 1, 2, 16, 1, 0}},
        {"JBufTime", "120 мсек.", chooseWithKeys, {6, 1, 2, 16, 1, 6}},
        {"BitsMode", "18.2 кбит/с", chooseWithKeys, {8, 1, 2, 10, 1, 6}},
    };
    const Bytes stored = bytesOf(record, Blocks::Vocoder);
    for (const Choice& choice : choices) {
        const std::size_t sent = requests().size();
        choice.choose(dropDown(window, choice.list), choice.item);
        runWorker();
        const Bytes block = bytesOfWords(choice.words);
        EXPECT_EQ(pushedBlock(), block) << choice.list;
        ASSERT_GT(requests().size(), sent);
        EXPECT_EQ(requests().back(), "07 00 00 00 00 00 00 00 " + hexOf(block)) << choice.list;
    }
    EXPECT_TRUE(checkBox(window, "Link")->isChecked());
    EXPECT_EQ(bytesOf(record, Blocks::Vocoder), stored) << "testing does not save";
}

TEST_F(VocoderForm, ChoicesBeforeTestingArePushedWithTheNextOne)
{
    TFVocoder* window = openVocoder(R420ZA, {4, 0, 0, 1, 0, 0});
    chooseWithKeys(dropDown(window, "RunMode"), QStringLiteral("VAD"));
    runWorker();
    EXPECT_TRUE(requests().empty());
    click(checkBox(window, "Link"));
    chooseWithMouse(dropDown(window, "JBufTime"), QStringLiteral("80 мсек."));
    runWorker();
    EXPECT_EQ(pushedBlock(), bytesOfWords({4, 0, 1, 1, 0, 4}));
}

TEST_F(VocoderForm, DefaultsByModelLeaveTheRecord)
{
    TFVocoder* r420 = openVocoder(R420ZA, {3, 0, 2, 20, 0, 7});
    click(checkBox(r420, "Link"));
    click(button(r420, "ButDefault"));
    EXPECT_FALSE(checkBox(r420, "Link")->isChecked());
    EXPECT_EQ(shownTexts(r420), (QStringList{"18.2 кбит/с", "Контроль РТТ", "Постоянно", "40 мсек.",
                                             "Адаптивный", "40 мсек."}));
    EXPECT_EQ(itemsOf(dropDown(r420, "BitsTime")), durations(200));
    EXPECT_EQ(label(r420, "LJBuf")->text(), QStringLiteral("Максимальный размер буфера "));
    runWorker();
    EXPECT_TRUE(requests().empty()) << "defaults are not pushed";
    click(button(r420, "ButCancel"));
    EXPECT_EQ(wordsIn(record), (Words{3, 0, 2, 20, 0, 7}));

    TFVocoder* r410 = openVocoder(R410ZA, {3, 0, 2, 20, 0, 7});
    click(button(r410, "ButDefault"));
    EXPECT_EQ(shownTexts(r410), (QStringList{"17.6 кбит/с", "Отключено", "Постоянно", "20 мсек.",
                                             "Фиксированный", "Откл."}));
    click(button(r410, "ButOk"));
    EXPECT_EQ(wordsIn(record), (Words{8, 0, 0, 1, 0, 0}));
}

TEST_F(VocoderForm, SavingChangesOnlyTheVocoderBlock)
{
    for (std::size_t i = 0; i < record.bytes.size(); ++i)
        record.bytes[i] = static_cast<std::uint8_t>(i);
    TFVocoder* window = openVocoder(R420ZA, {5, 1, 1, 4, 0, 3});
    const RecordBytes before = record.bytes;
    chooseWithMouse(dropDown(window, "CtrlMode"), QStringLiteral("Отключено"));
    click(button(window, "ButOk"));
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i < Blocks::Vocoder.offset || i >= Blocks::Vocoder.end()) {
            EXPECT_EQ(record.bytes[i], before[i]) << i;
        }
    }
    EXPECT_EQ(wordsIn(record), (Words{5, 0, 1, 4, 0, 3}));
}
