#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "models/BlockModel.h"
#include "ui/DottedField.h"
#include "ui/FieldBinder.h"

#include "support/EditorBench.h"
#include "support/ScriptedDialogs.h"

namespace {

// A block of eight words holding one field of each kind the binder makes.
enum SampleWord { FlagWord, ChoiceWord, NumberWord, LevelWord, AddressWord };
enum SampleField { Flag, List, Group, Number, Level, Address };
constexpr std::size_t SampleBytes = 16;
using SampleWords = std::array<std::uint16_t, SampleBytes / 2>;

QStringList choiceItems(const FieldContext&)
{
    return { QStringLiteral("первый"), QStringLiteral("второй"), QStringLiteral("третий") };
}

QString levelText(int value, const FieldContext&)
{
    return QString::number(value) + QStringLiteral(" ед.");
}

// The level's name follows the flag.
QString levelLabel(const FieldContext& context)
{
    return !context.words.empty() && (context.words[FlagWord] & 1) != 0
        ? QStringLiteral("Уровень (вкл.)")
        : QStringLiteral("Уровень");
}

std::span<const Field> sampleFields()
{
    static const std::array<Field, 6> fields { {
        { .key = "flag",
            .control = "Flag",
            .label = QStringLiteral("Флажок"),
            .kind = FieldKind::Flag,
            .place = { FlagWord, 0x0001 } },
        { .key = "list",
            .control = "List",
            .label = QStringLiteral("Список"),
            .kind = FieldKind::Choice,
            .place = { ChoiceWord, 0x0003 },
            .items = choiceItems },
        { .key = "group",
            .control = "Group",
            .label = QStringLiteral("Выбор"),
            .kind = FieldKind::Choice,
            .place = { ChoiceWord, 0x0030 },
            .items = choiceItems },
        { .key = "number",
            .control = "Number",
            .label = QStringLiteral("Число"),
            .kind = FieldKind::Number,
            .place = { NumberWord },
            .range = { 10, 90 },
            .step = 5 },
        { .key = "level",
            .control = "Level",
            .label = QStringLiteral("Уровень"),
            .kind = FieldKind::Level,
            .place = { LevelWord },
            .range = { 0, 31 },
            .text = levelText,
            .labelOf = levelLabel },
        { .key = "address",
            .control = "Addr",
            .label = QStringLiteral("Адрес"),
            .kind = FieldKind::Octets,
            .place = { AddressWord, 0x00FF, 0xFFFF },
            .range = { 0, 223 } },
    } };
    return fields;
}

const Field& sample(SampleField field)
{
    return sampleFields()[static_cast<std::size_t>(field)];
}

// The rules an editor adds to its table: the flag is locked while the list shows its last item,
// and the number takes at most 50 while the flag is ticked. Every value stored is noted.
class SampleModel final : public BlockModel<SampleBytes> {
public:
    explicit SampleModel(std::uint8_t* block)
        : BlockModel(block, 0x2000)
    {
    }

    void LoadBlock() override { copyIn(); }
    void setDefaults() override { }
    std::span<const Field> fields() const override { return sampleFields(); }

    int changeField(const Field& field, int value) override
    {
        stored.push_back(QString::fromLatin1(field.control) + u'=' + QString::number(value));
        return BlockModel::changeField(field, value);
    }

    bool fieldEnabled(const Field& field) const override
    {
        return &field != &sample(Flag) || value(sample(List)) != 2;
    }

    NumberRange fieldLimits(const Field& field) const override
    {
        if (&field == &sample(Number) && value(sample(Flag)) != 0)
            return { 10, 50 };
        return BlockModel::fieldLimits(field);
    }

    std::vector<QString> stored;
};

// Flag ticked, list "второй", group "третий", number 35, level 7, address 192.168.1.10.
constexpr SampleWords Opened { 1, 0x0021, 35, 7, 192, 168, 1, 10 };

// What a control shows, in one line.
QString shown(QWidget* control)
{
    if (auto* box = qobject_cast<QCheckBox*>(control))
        return box->text() + (box->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]"));
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        QStringList items;
        for (int index = 0; index < list->count(); ++index)
            items.append(list->itemText(index));
        return items.join(u'|') + QStringLiteral(" : ") + list->currentText();
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        QStringList items;
        for (QRadioButton* radio : group->findChildren<QRadioButton*>())
            items.append(radio->text() + (radio->isChecked() ? QStringLiteral("*") : QString()));
        return group->title() + QStringLiteral(": ") + items.join(u'|');
    }
    if (auto* slider = qobject_cast<QSlider*>(control))
        return QStringLiteral("%1 of %2..%3, page %4")
            .arg(slider->value())
            .arg(slider->minimum())
            .arg(slider->maximum())
            .arg(slider->pageStep());
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (dynamic_cast<DottedField*>(control))
        return QStringLiteral("DottedField");
    return QString::fromLatin1(control->metaObject()->className());
}

struct Shown {
    const char* control;
    QString text;
};

// A window of the sample block's controls, as an editor lays them out.
class Binder : public ::testing::Test {
public:
    Binder()
    {
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(binder.flag(&host, sample(Flag)));
        layout->addWidget(binder.dropDown(&host, sample(List)));
        layout->addWidget(binder.radioGroup(&host, sample(Group), 1).box);
        layout->addWidget(binder.number(&host, sample(Number),
            NumberEntry { 5, 0, EmptyText::KeepsNumber, BackspaceKey::Deletes }));
        const LevelControls level = binder.level(&host, sample(Level),
            { QStringLiteral("LevelVal"), QStringLiteral("LevelName"), 1, 4 });
        layout->addWidget(level.name);
        layout->addWidget(level.value);
        layout->addWidget(level.slider);
        layout->addWidget(binder.octets(&host, sample(Address)));
        open(Opened);
        host.show();
    }

    // The block as the record holds it, opened and shown.
    void open(const SampleWords& words)
    {
        for (std::size_t index = 0; index < words.size(); ++index)
            qToBigEndian<std::uint16_t>(words[index], block.data() + 2 * index);
        model.LoadBlock();
        binder.showAll();
    }

    // Opened, with nothing noted yet.
    void reopen(const SampleWords& words)
    {
        open(words);
        model.stored.clear();
        items.clear();
        dialogs.informed.clear();
    }

    template <typename Control = QWidget> Control* control(const char* name) const
    {
        auto* found = host.findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    void expectShown(const std::vector<Shown>& expected) const
    {
        for (const Shown& row : expected)
            EXPECT_EQ(shown(control(row.control)).toStdString(), row.text.toStdString())
                << row.control;
    }

    int value(SampleField field) const { return model.fieldValue(sample(field)); }

    std::array<std::uint8_t, SampleBytes> block {};
    SampleModel model { block.data() };
    ScriptedDialogs dialogs;
    std::vector<int> items; // what went to the form's changed
    FieldBinder binder { model, dialogs, [this](int item) { items.push_back(item); } };
    QWidget host;
};

void wheelUp(QWidget* control)
{
    const QPoint centre = control->rect().center();
    QWheelEvent wheel(centre, control->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(control, &wheel);
}

void selectAndType(QLineEdit* edit, int start, int length, const QString& typed)
{
    edit->setFocus();
    edit->setSelection(start, length);
    QTest::keyClicks(edit, typed);
}

void selectAllAndPaste(QLineEdit* edit, const QString& pasted)
{
    QApplication::clipboard()->setText(pasted);
    edit->selectAll();
    edit->paste();
}

} // namespace

TEST_F(Binder, EachKindMakesItsControlUnderItsFieldsNameShowingTheModel)
{
    expectShown({
        { "Flag", QStringLiteral("Флажок [x]") },
        { "List", QStringLiteral("первый|второй|третий : второй") },
        { "Group", QStringLiteral("Выбор: первый|второй|третий*") },
        { "Number", QStringLiteral("35") },
        { "NumberUp", QStringLiteral("QToolButton") },
        { "NumberDown", QStringLiteral("QToolButton") },
        // The highest value at the top: level 7 of 0..31 stands at position 24.
        { "Level", QStringLiteral("24 of 0..31, page 4") },
        { "LevelVal", QStringLiteral("7 ед.") },
        { "LevelName", QStringLiteral("Уровень (вкл.)") },
        { "Addr", QStringLiteral("DottedField") },
        { "Addr1", QStringLiteral("192") },
        { "Addr2", QStringLiteral("168") },
        { "Addr3", QStringLiteral("1") },
        { "Addr4", QStringLiteral("10") },
    });
}

TEST_F(Binder, ShowingTheModelRunsNoHandler)
{
    // Every control shows another value than when the window opened.
    open({ 0, 0x0012, 90, 31, 10, 0, 0, 1 });
    binder.show(sample(Level), 0);

    expectShown({
        { "Flag", QStringLiteral("Флажок [ ]") },
        { "List", QStringLiteral("первый|второй|третий : третий") },
        { "Group", QStringLiteral("Выбор: первый|второй*|третий") },
        { "Number", QStringLiteral("90") },
        { "Level", QStringLiteral("31 of 0..31, page 4") },
        { "LevelVal", QStringLiteral("0 ед.") },
        { "LevelName", QStringLiteral("Уровень") },
        { "Addr1", QStringLiteral("10") },
        { "Addr4", QStringLiteral("1") },
    });
    EXPECT_TRUE(model.stored.empty());
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(dialogs.informed.empty());
    EXPECT_EQ(value(Level), 31) << "a shown value is not stored";
}

TEST_F(Binder, EveryWayOfChangingAControlStoresThroughTheModelAndReportsItsItem)
{
    struct Case {
        const char* way;
        std::function<void(Binder&)> change;
        SampleField field;
        int value;
        int item;
        QString stored;
    };
    const std::vector<Case> cases {
        { "click on the box", [](Binder& b) { click(b.control<QCheckBox>("Flag")); }, Flag, 0,
            FlagWord, QStringLiteral("Flag=0") },
        { "space bar on the box",
            [](Binder& b) {
                b.control("Flag")->setFocus();
                QTest::keyClick(b.control("Flag"), Qt::Key_Space);
            },
            Flag, 0, FlagWord, QStringLiteral("Flag=0") },
        { "accessible toggle of the box",
            [](Binder& b) { toggleAccessibly(b.control<QCheckBox>("Flag")); }, Flag, 0, FlagWord,
            QStringLiteral("Flag=0") },
        { "arrow key on the list",
            [](Binder& b) { QTest::keyClick(b.control("List"), Qt::Key_Down); }, List, 2,
            ChoiceWord, QStringLiteral("List=2") },
        { "click on a radio button",
            [](Binder& b) { click(radioButton(&b.host, "Group", QStringLiteral("первый"))); },
            Group, 0, ChoiceWord, QStringLiteral("Group=0") },
        { "accessible toggle of a radio button",
            [](Binder& b) {
                toggleAccessibly(radioButton(&b.host, "Group", QStringLiteral("второй")));
            },
            Group, 1, ChoiceWord, QStringLiteral("Group=1") },
        { "arrow key on the slider",
            [](Binder& b) { QTest::keyClick(b.control("Level"), Qt::Key_Up); }, Level, 8, LevelWord,
            QStringLiteral("Level=8") },
        { "page key on the slider",
            [](Binder& b) { QTest::keyClick(b.control("Level"), Qt::Key_PageDown); }, Level, 3,
            LevelWord, QStringLiteral("Level=3") },
        { "wheel on the slider", [](Binder& b) { wheelUp(b.control("Level")); }, Level, 10,
            LevelWord, QStringLiteral("Level=10") },
        { "typing a digit",
            [](Binder& b) { selectAndType(b.control<QLineEdit>("Number"), 1, 1, "0"); }, Number, 30,
            NumberWord, QStringLiteral("Number=30") },
        { "the spinner button",
            [](Binder& b) {
                QTest::mousePress(b.control("NumberUp"), Qt::LeftButton);
                QTest::mouseRelease(b.control("NumberUp"), Qt::LeftButton);
            },
            Number, 40, NumberWord, QStringLiteral("Number=40") },
        { "arrow key in the number",
            [](Binder& b) { QTest::keyClick(b.control("Number"), Qt::Key_Down); }, Number, 30,
            NumberWord, QStringLiteral("Number=30") },
        { "typing an octet",
            [](Binder& b) { selectAndType(b.control<QLineEdit>("Addr4"), 0, 2, "7"); }, Address,
            static_cast<int>(0xC0A80107), AddressWord,
            QStringLiteral("Addr=") + QString::number(static_cast<int>(0xC0A80107)) },
    };
    for (const Case& c : cases) {
        reopen(Opened);
        c.change(*this);
        EXPECT_EQ(value(c.field), c.value) << c.way;
        EXPECT_EQ(model.stored, std::vector<QString> { c.stored }) << c.way;
        EXPECT_EQ(items, std::vector<int> { c.item }) << c.way;
    }
}

TEST_F(Binder, AMovedLevelShowsTheTextOfTheValueStored)
{
    QTest::keyClick(control("Level"), Qt::Key_End);
    EXPECT_EQ(value(Level), 0);
    expectShown({ { "LevelVal", QStringLiteral("0 ед.") },
        { "Level", QStringLiteral("31 of 0..31, page 4") } });
}

TEST_F(Binder, ANumberOutsideItsRangeGivesTheMessageAndStoresTheNearerLimit)
{
    struct Case {
        SampleWords opened;
        const char* pasted;
        QString message;
        int stored;
    };
    const QString message = QStringLiteral("Недопустимое значение. Укажите значение в диапазоне ");
    SampleWords flagOff = Opened;
    flagOff[FlagWord] = 0;
    const std::vector<Case> cases {
        { flagOff, "5", message + QStringLiteral("10..90"), 10 },
        { flagOff, "95", message + QStringLiteral("10..90"), 90 },
        // The model narrows the range while the flag is ticked.
        { Opened, "60", message + QStringLiteral("10..50"), 50 },
        { Opened, "50", QString(), 50 },
    };
    for (const Case& c : cases) {
        reopen(c.opened);
        selectAllAndPaste(control<QLineEdit>("Number"), QString::fromLatin1(c.pasted));
        const std::vector<QString> expected
            = c.message.isEmpty() ? std::vector<QString> {} : std::vector<QString> { c.message };
        EXPECT_EQ(dialogs.informed, expected) << c.pasted;
        EXPECT_EQ(value(Number), c.stored) << c.pasted;
        EXPECT_EQ(shown(control("Number")), QString::number(c.stored)) << c.pasted;
        EXPECT_EQ(items, std::vector<int> { NumberWord }) << c.pasted;
    }
}

TEST_F(Binder, ADisabledFieldsControlIsDisabledAsShownAndAsChanged)
{
    struct Case {
        const char* when;
        std::function<void(Binder&)> action;
        bool flagEnabled;
    };
    SampleWords lastItem = Opened;
    lastItem[ChoiceWord] = 0x0002;
    const std::vector<Case> cases {
        { "opened on the list's last item", [&](Binder& b) { b.open(lastItem); }, false },
        { "opened on another item", [](Binder& b) { b.open(Opened); }, true },
        { "the last item chosen",
            [](Binder& b) { QTest::keyClick(b.control("List"), Qt::Key_Down); }, false },
        { "another item chosen", [](Binder& b) { QTest::keyClick(b.control("List"), Qt::Key_Up); },
            true },
    };
    for (const Case& c : cases) {
        c.action(*this);
        EXPECT_EQ(control("Flag")->isEnabled(), c.flagEnabled) << c.when;
        EXPECT_TRUE(control("List")->isEnabled()) << c.when;
    }
}
