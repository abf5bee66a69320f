#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "config/BoardBlock.h"
#include "config/ConfigFile.h"
#include "shell/TaskTree.h"
#include "support/DeviceFormFixture.h"
#include "FileSizeLimit.h"

namespace {

using DeviceForm = DeviceFormFixture;

const QStringList EmptyTree{"Задачи (76)", " Прочитать (45)"};
const char* const RecordActions[] = {"MFileClose", "MFileSave", "ButSave", "MFileSaveAs",
                                     "ButSaveAs",  "MTaskSet",  "ButSet"};

TEST_F(DeviceForm, StartsInTheUserLevelWithoutARecord)
{
    EXPECT_EQ(form->windowTitle(), "Терминал контроллеров R-410, R-420");
    // At least its designed size, more with larger text, never past the screen.
    EXPECT_GE(form->width(), 637);
    EXPECT_GE(form->height(), 585);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_EQ(form->size(), form->size().boundedTo(screen));
    QStringList menus;
    for (QAction* menu : form->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"Файл", "Задачи", "Сервис", "Окно", "Справка"}));
    for (const char* name : RecordActions)
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char* name : {"MFileOpen", "ButOpen", "MTaskGet", "ButGet", "MFileOut"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(action("MServUser")->isChecked());
    EXPECT_FALSE(action("MServExt")->isChecked());
    EXPECT_EQ(action("MTaskGet")->toolTip(), "Прочитать  конйигурацию контроллера");
    EXPECT_EQ(action("ButGet")->toolTip(), "Прочитать");
    EXPECT_EQ(treeOutline(), EmptyTree);
    EXPECT_EQ(form->fileName(), "Rxx.rcf");

    auto* pages = form->findChild<QDockWidget*>("PanelLog")->findChild<QTabWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->tabText(0), "Сообщения");
    EXPECT_EQ(pages->tabPosition(), QTabWidget::South);
    EXPECT_TRUE(form->findChild<QPlainTextEdit*>("Log")->isReadOnly());
}

TEST_F(DeviceForm, BoardLevelWithoutARecordMakesABlankOneAndAsksForTheModel)
{
    dialogs.modalScripts.push_back([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("EAccess"), "Plank_Orchard");
        QTest::keyClick(dialog.findChild<QLineEdit*>("EAccess"), Qt::Key_Return);
    });
    form->MServExtClick();

    EXPECT_EQ(dialogs.modalTitles, (std::vector<QString>{"Выбор режима работы", "Выбор контроллера"}));
    EXPECT_TRUE(dialogs.informed.empty());
    EXPECT_EQ(form->level(), LevelBoard);
    ASSERT_TRUE(form->record());
    EXPECT_EQ(form->record()->typeWord(), 0x1000);
    for (const char* name : RecordActions)
        EXPECT_EQ(action(name)->isEnabled(), std::string(name) == "MFileSaveAs") << name;
    EXPECT_TRUE(action("MServExt")->isChecked());
    EXPECT_FALSE(action("MServUser")->isChecked());
    QStringList expected = outline(BuildUserTree(0x1000));
    expected.insert(expected.size() - 1, " Cервис (50)");
    expected.insert(expected.size() - 1, "  Board Info (43)");
    EXPECT_EQ(treeOutline(), expected);
}

TEST_F(DeviceForm, ReadCompletingDuringTheModelChoiceIsKeptAsItCame)
{
    dialogs.modalScripts.push_back([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("EAccess"), "Core_Orchard");
        QTest::keyClick(dialog.findChild<QLineEdit*>("EAccess"), Qt::Key_Return);
    });
    const RecordBytes read = recordOf(0x1001);
    dialogs.modalScripts.push_back([this, &read](QDialog& dialog) {
        form->OnDeviceMessage(Report::Record{read});
        QTest::keyClick(dialog.findChild<QComboBox*>("DevBox"), Qt::Key_Down);
        EXPECT_EQ(dialog.findChild<QComboBox*>("DevBox")->currentText(), "R-420");
    });
    form->MServExtClick();

    ASSERT_TRUE(form->record());
    EXPECT_EQ(form->record()->bytes, read);
    for (const char* name : RecordActions)
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "R-410ZB");
}

TEST_F(DeviceForm, FloatingPanelsCannotBeClosedAway)
{
    for (const char* name : {"PanelDev", "PanelLog"}) {
        auto* panel = form->findChild<QDockWidget*>(name);
        panel->setFloating(true);
        panel->close();
        EXPECT_TRUE(panel->isVisible()) << name;
    }
}

TEST_F(DeviceForm, CloseDropsTheLevelsNodesUntilTheLevelIsChosenAgain)
{
    enterServiceCode("Orchard");
    form->SetConfig(recordOf(0x2000));
    EXPECT_NE(form->FindNode("Загрузка ПО"), -1);

    form->MFileCloseClick();
    EXPECT_EQ(treeOutline(), EmptyTree);
    EXPECT_FALSE(form->record());
    EXPECT_EQ(form->level(), LevelFirmware);

    enterServiceCode("Orchard");
    EXPECT_EQ(treeOutline(), (QStringList{"Задачи (76)", " Прочитать (45)", " Загрузка ПО (51)"}));
}

TEST_F(DeviceForm, ServiceCodesSetTheLevelHoweverTheDialogIsClosed)
{
    struct Case {
        QString typed;
        bool closeBox;
        AccessLevel level;
    };
    const Case cases[]{
        {"Orchard", false, LevelFirmware},   {"Probe_Orchard", true, LevelTrace},
        {"Core_Orchard", false, LevelFull},  {"Plank_Orchard", true, LevelBoard},
        {"probe_Orchard", false, LevelUser}, {"Orchard ", false, LevelUser},
        {"", true, LevelUser},
    };
    for (const Case& c : cases) {
        form->MServUserClick();
        dialogs.informed.clear();
        dialogs.modalScripts.push_back([c](QDialog& dialog) {
            QTest::keyClicks(dialog.findChild<QLineEdit*>("EAccess"), c.typed);
            if (c.closeBox)
                dialog.close();
            else
                QTest::mouseClick(dialog.findChild<QPushButton*>("BClose"), Qt::LeftButton);
        });
        form->MServExtClick();
        EXPECT_EQ(form->level(), c.level) << c.typed.toStdString();
        const std::vector<QString> message{"Ошибка ввода сервисного кода"};
        EXPECT_EQ(dialogs.informed, c.level == LevelUser ? message : std::vector<QString>{})
            << c.typed.toStdString();
        EXPECT_EQ(action("MServUser")->isChecked(), c.level == LevelUser);
    }
}

TEST_F(DeviceForm, EnterAndDoubleClickRunTheSelectedNodesCommand)
{
    const QPoint belowTheNodes(10, tree()->viewport()->height() - 5);
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, belowTheNodes);
    EXPECT_TRUE(children().isEmpty()) << "nothing selected, nothing done";

    selectNode("Прочитать");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children().front()->windowTitle(), "Чтение конфигурации");
    children().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(children().isEmpty());

    const QRect node = tree()->visualItemRect(tree()->currentItem());
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, node.center());
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children().front()->windowTitle(), "Чтение конфигурации");

    selectNode("Задачи");
    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_EQ(children().size(), 1);
}

TEST_F(DeviceForm, SecondReadOnlyBringsTheOpenReadWindowToTheFront)
{
    form->MTaskGetClick();
    ASSERT_EQ(children().size(), 1);
    QMdiSubWindow* read = children().front();
    form->SetConfig(recordOf(0x2000));
    form->MTaskSetClick();
    ASSERT_EQ(children().size(), 2);
    EXPECT_EQ(children().back()->pos(), QPoint(10, 10)) << "placed 10 px per child window";
    EXPECT_EQ(form->clientArea()->activeSubWindow(), children().back());

    form->MTaskGetClick();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(children().size(), 2);
    EXPECT_EQ(form->clientArea()->activeSubWindow(), read);
}

TEST_F(DeviceForm, ReadWithARecordAsksFirstAndCloseEverythingOnYes)
{
    form->SetConfig(recordOf(0x2000));
    dialogs.confirmAnswers = {false, true};
    form->MTaskGetClick();
    EXPECT_TRUE(children().isEmpty());
    EXPECT_TRUE(form->record());
    form->MTaskGetClick();
    EXPECT_EQ(dialogs.questions,
              std::vector<QString>(2, "Не сохраненные данные будут утеряны. Прочитать устройство?"));
    EXPECT_FALSE(form->record());
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children().front()->windowTitle(), "Чтение конфигурации");
}

TEST_F(DeviceForm, LogLinesOfTheWorkersCodes)
{
    const QString text = QStringLiteral("Процесс чтения конфигурации запущен");
    form->OnDeviceMessage(Report::Text{text});
    form->OnDeviceMessage(Report::UsbFailure{-1});
    form->OnDeviceMessage(Report::Received{200});
    form->OnDeviceMessage(Report::Sent{110});
    for (const TaskReport& silent : std::vector<TaskReport>{Report::Size{1}, Report::Finished{1},
                                                           Report::Identity{}, Report::Progress{1},
                                                           Report::Counters{}})
        form->OnDeviceMessage(silent);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4);
    const QString prefix = lines[2].left(lines[2].indexOf("-> ") + 3);
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d\\d:\\d\\d.*-> $").match(prefix).hasMatch())
        << prefix.toStdString();
    EXPECT_EQ(lines[2], prefix + "Получено 200байт.");
    EXPECT_EQ(logTexts(), (QStringList{text, "Error: -1", "Получено 200байт.", "Передано 110байт."}));
}

TEST_F(DeviceForm, RecordFromTheWorkerIsInstalledAsACopy)
{
    Report::Record read{recordOf(0x1001)};
    form->OnDeviceMessage(read);
    read.bytes.fill(0);
    ASSERT_TRUE(form->record());
    EXPECT_EQ(form->record()->bytes, recordOf(0x1001));
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "R-410ZB");
    for (const char* name : RecordActions)
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(DeviceForm, WriteRequestGetsTheLevelsByteCountAndTheRecord)
{
    form->SetConfig(recordOf(0x2000));
    const std::pair<QString, int> cases[]{
        {"", 110}, {"Orchard", 110}, {"Probe_Orchard", 110}, {"Plank_Orchard", 200},
        {"Core_Orchard", 200},
    };
    for (const auto& [code, count] : cases) {
        if (code.isEmpty())
            form->MServUserClick();
        else
            enterServiceCode(code);
        const auto request = std::get<WriteRequest>(form->OnDeviceRequest(Ask::RecordToWrite{}));
        EXPECT_EQ(request.count, count) << code.toStdString();
        EXPECT_EQ(request.record, form->record()->bytes);
    }
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(DeviceForm, SaveAsToAPlaceThatCannotBeCreatedSaysSoAndKeepsTheName)
{
    form->SetConfig(recordOf(0x2000));
    const QString name = QStringLiteral("/nonexistent-folder/config.rcf");
    dialogs.fileNames = {name};
    form->MFileSaveAsClick();
    EXPECT_EQ(dialogs.saveInitialName, "*.rcf");
    EXPECT_EQ(dialogs.filters,
              (QStringList{"Конфигурация контроллера (*.rcf)", "все файлы (*)"}));
    EXPECT_EQ(dialogs.informed,
              std::vector<QString>{"Файл /nonexistent-folder/config.rcf не удается создать"});
    EXPECT_EQ(form->fileName(), name);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(DeviceForm, SaveOnAFullDiskSaysSoAndKeepsThePreviousFile)
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("stand.rcf"));
    QFile previous(name);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write(QByteArray(CONFIG_RECORD_SIZE, 'p'));
    previous.close();
    form->SetConfig(recordOf(0x2000));
    dialogs.fileNames = {name};
    {
        const FileSizeLimit fullDisk(100);
        form->MFileSaveAsClick();
    }
    EXPECT_EQ(dialogs.informed, std::vector<QString>{"Файл " + name + " не удается записать"});
    EXPECT_TRUE(logLines().isEmpty());
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), QByteArray(CONFIG_RECORD_SIZE, 'p'));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"stand.rcf"});
}

TEST_F(DeviceForm, SaveAsNeverCreatesAFileNamedAfterThePattern)
{
    QTemporaryDir folder;
    form->SetConfig(recordOf(0x2000));
    const QString pattern = folder.filePath(QStringLiteral("*.rcf"));
    const QString name = folder.filePath(QStringLiteral("stand"));
    dialogs.fileNames = {pattern, name};
    form->MFileSaveAsClick();
    EXPECT_EQ(dialogs.saveInitialName, pattern);
    EXPECT_FALSE(QFileInfo::exists(pattern));
    EXPECT_EQ(QFileInfo(name).size(), CONFIG_RECORD_SIZE);
    EXPECT_EQ(logTexts(), QStringList{"Файл сохранен " + name});

    dialogs.fileNames = {pattern, std::nullopt};
    form->MFileSaveAsClick();
    EXPECT_EQ(form->fileName(), name);
    EXPECT_FALSE(QFileInfo::exists(pattern));
}

TEST_F(DeviceForm, OpenRejectsAFileWithABadCrcAndKeepsItsName)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("zeros.rcf");
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(CONFIG_RECORD_SIZE, '\0'));
    file.close();

    form->SetConfig(recordOf(0x2000));
    dialogs.confirmAnswers = {true};
    dialogs.fileNames = {name};
    form->MFileOpenClick();
    EXPECT_EQ(dialogs.questions, std::vector<QString>{"Закрыть текущее устройство ?"});
    EXPECT_EQ(dialogs.openTitle, "Открыть");
    EXPECT_FALSE(form->record());
    EXPECT_EQ(form->fileName(), name);
    EXPECT_EQ(logTexts(),
              QStringList{"Файл " + name + " поврежден, либо не соответствует данному устройству "});
}

TEST_F(DeviceForm, SavedBlankRecordOpensAgain)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("blank.rcf");
    enterServiceCode("Core_Orchard");
    dialogs.fileNames = {name};
    form->MFileSaveAsClick();
    dialogs.confirmAnswers = {true};
    dialogs.fileNames = {name};
    form->MFileOpenClick();
    EXPECT_EQ(logTexts(), (QStringList{"Файл сохранен " + name, "Конфигурация контроллера загружена"}));
    ASSERT_TRUE(form->record());
    EXPECT_EQ(form->record()->typeWord(), 0x1000);
    for (const char* name : RecordActions)
        EXPECT_TRUE(action(name)->isEnabled()) << name;
}

TEST_F(DeviceForm, TileCommandsKeepTheirDirections)
{
    form->MTaskGetClick();
    form->SetConfig(recordOf(0x2000));
    form->MTaskSetClick();
    ASSERT_EQ(children().size(), 2);
    form->resize(1200, 900);
    QCoreApplication::processEvents();
    const QRect area = form->clientArea()->viewport()->rect();

    form->TileVerticalClick();
    EXPECT_EQ(children()[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(children()[1]->geometry().left(), area.width() / 2);

    form->TileHorizontalClick();
    EXPECT_EQ(children()[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(children()[1]->geometry().top(), area.height() / 2);
}

} // namespace

TEST_F(DeviceForm, DeviceNodesOpenTheirEditorsOnTheRecordsBlocks)
{
    form->SetConfig(recordOf(0x2000));
    selectNode("Кодек");
    QTest::keyClick(tree(), Qt::Key_Return);
    selectNode("Усилитель НЧ");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 2);
    EXPECT_EQ(children()[0]->windowTitle(), "Аудио кодек (R-420ZA)");
    EXPECT_EQ(children()[1]->windowTitle(), "Усилитель НЧ");
    EXPECT_EQ(children()[1]->pos(), QPoint(10, 10));

    // "Сохранить" writes the normalised block into the record; the rest stays as it was.
    const RecordBytes before = form->record()->bytes;
    QTest::mouseClick(children()[0]->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    const RecordBytes after = form->record()->bytes;
    EXPECT_EQ(after[Blocks::Codec.offset], 0x1E);
    EXPECT_EQ(after[Blocks::Codec.offset + 1], 0x00);
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i < Blocks::Codec.offset || i >= Blocks::Codec.end()) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }

    // Opening the open amplifier editor brings it forward instead of a second one.
    selectNode("Усилитель НЧ");
    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_EQ(children().size(), 1);
}

TEST_F(DeviceForm, RecorderNodeOpensTheRecorderEditorOnItsBlock)
{
    form->SetConfig(recordOf(0x2000));
    selectNode("Регистратор");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children()[0]->windowTitle(), "Регистратор (R-420ZA)");

    // Stored FF 06 0D 14 1B 22 29 30: the gains become table words, the level 4 x its level bits.
    RecordBytes expected = form->record()->bytes;
    const std::uint8_t saved[]{0xFF, 0x06, 0x0D, 0x8E, 0x20, 0x26, 0x00, 0x30};
    std::copy(std::begin(saved), std::end(saved), expected.begin() + Blocks::Recorder.offset);
    QTest::mouseClick(children()[0]->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    EXPECT_EQ(form->record()->bytes, expected);
}

TEST_F(DeviceForm, VocoderNodeOpensTheVocoderEditorForTheRecordsModel)
{
    RecordBytes bytes = recordOf(0x1000);
    bytes[Blocks::Vocoder.offset] = 0x00;
    bytes[Blocks::Vocoder.offset + 1] = 0x07; // word 0: the R-410's "14.4 кбит/с"
    form->SetConfig(bytes);
    selectNode("Вокодер");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children()[0]->windowTitle(), "Вокодер");
    EXPECT_EQ(children()[0]->findChild<QComboBox*>("BitsMode")->currentText(), "14.4 кбит/с");

    // "Сохранить" stores the R-410's fixed words and changes nothing else.
    const RecordBytes before = form->record()->bytes;
    QTest::mouseClick(children()[0]->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    const RecordBytes after = form->record()->bytes;
    const std::vector<std::uint8_t> vocoder(after.begin() + Blocks::Vocoder.offset,
                                            after.begin() + Blocks::Vocoder.end());
    EXPECT_EQ(vocoder, (std::vector<std::uint8_t>{0, 7, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i < Blocks::Vocoder.offset || i >= Blocks::Vocoder.end()) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }
}

TEST_F(DeviceForm, InformationStampsTheCrcEachTimeAndSetsItsWindowUpOnce)
{
    form->SetConfig(recordOf(0x2000));
    const auto saveAmplifierAt = [this](int position) {
        selectNode("Усилитель НЧ");
        QTest::keyClick(tree(), Qt::Key_Return);
        QMdiSubWindow* editor = children().back();
        ASSERT_EQ(editor->windowTitle(), "Усилитель НЧ");
        editor->findChild<QSlider*>("Lev")->setValue(position);
        QTest::mouseClick(editor->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    };
    const auto doubleClickInformation = [this] {
        selectNode("Информация");
        const QRect node = tree()->visualItemRect(tree()->currentItem());
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, node.center());
    };
    const auto crcShown = [this] {
        return children().front()->findChild<QLineEdit*>("sCrc")->text();
    };
    const auto crcText = [](std::uint16_t crc) { return QString::asprintf("0x%04X", crc); };

    saveAmplifierAt(5);
    const std::uint16_t edited = ConfigCrc(TCrc(), *form->record());
    ASSERT_NE(form->record()->storedCrc(), edited) << "the edit left the CRC word stale";
    doubleClickInformation();
    ASSERT_EQ(children().size(), 1);
    QMdiSubWindow* info = children().front();
    EXPECT_EQ(info->windowTitle(), "Описание контроллера");
    EXPECT_EQ(form->record()->storedCrc(), edited);
    EXPECT_EQ(crcShown(), crcText(edited)) << "the CRC of the edited record";

    saveAmplifierAt(20);
    const std::uint16_t editedAgain = ConfigCrc(TCrc(), *form->record());
    ASSERT_NE(editedAgain, edited);
    doubleClickInformation();
    EXPECT_EQ(form->record()->storedCrc(), editedAgain) << "stamped again";
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(children().front(), info);
    EXPECT_EQ(form->clientArea()->activeSubWindow(), info);
    EXPECT_EQ(crcShown(), crcText(edited)) << "set up once: the open window keeps its CRC";
}

TEST_F(DeviceForm, LinkNodeOpensTheLinkEditorForTheLevelAndEdition)
{
    form->SetConfig(recordOf(0x2001));
    const RecordBytes before = form->record()->bytes;
    selectNode("Соединение");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    QMdiSubWindow* link = children()[0];
    EXPECT_EQ(link->windowTitle(), "Соединение");
    EXPECT_FALSE(link->findChild<QLineEdit*>("N1")->isEnabled());
    EXPECT_FALSE(link->findChild<QLineEdit*>("T0")->isEnabled());
    EXPECT_EQ(link->findChild<QLineEdit*>("T0")->text(), "0");

    // "Сохранить" writes only the link block, its T0 word cleared for edition ZB.
    QTest::mouseClick(link->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    const RecordBytes after = form->record()->bytes;
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i < Blocks::Link.offset || i >= Blocks::Link.end()) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_EQ(after[Blocks::Link.offset + 8], 0);
    EXPECT_EQ(after[Blocks::Link.offset + 9], 0);

    enterServiceCode("Core_Orchard");
    selectNode("Соединение");
    QTest::keyClick(tree(), Qt::Key_Return);
    ASSERT_EQ(children().size(), 1);
    EXPECT_TRUE(children()[0]->findChild<QLineEdit*>("N1")->isEnabled());
}

TEST_F(DeviceForm, BoardInfoOpensTheBoardEditorOnTheRecordsBlocks)
{
    form->SetConfig(recordOf(0x2000));
    enterServiceCode("Plank_Orchard");
    for (int i = 0; i < 2; ++i) {
        selectNode("Board Info");
        QTest::keyClick(tree(), Qt::Key_Return);
    }
    ASSERT_EQ(children().size(), 1) << "the open editor is only brought forward";
    QMdiSubWindow* board = children()[0];
    EXPECT_EQ(board->windowTitle(), "Контроллер ID");
    EXPECT_EQ(board->findChild<QLabel*>("SDev")->text(), "Контроллер R-420ZA");

    const RecordBytes before = form->record()->bytes;
    auto* serial = board->findChild<QLineEdit*>("sSerial");
    serial->selectAll();
    QTest::keyClicks(serial, "42");
    QTest::mouseClick(board->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    const RecordBytes after = form->record()->bytes;
    const BoardBlock stored = BoardBlock::fromRecord(form->record()->data(Blocks::Board));
    EXPECT_EQ(stored.text(BoardBlock::Serial), "42");
    for (int i = 0; i < Blocks::Board.offset; ++i)
        EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_TRUE(std::equal(after.begin() + Blocks::Identity.offset, after.end(),
                           before.begin() + Blocks::Identity.offset));
}

namespace {

// The worker held in its idle sleep, so a requested load stays requested.
class FirmwareCommand : public DeviceFormFixture {
protected:
    FirmwareCommand()
        : DeviceFormFixture({}, Pauses::Gated)
    {
    }
    void runNode()
    {
        selectNode("Загрузка ПО");
        QTest::keyClick(tree(), Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString firmwareFile()
    {
        const QString path = folder.filePath("controller.rom");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(600, '\x5A'));
        return path;
    }
    QTemporaryDir folder;
};

TEST_F(FirmwareCommand, ReachableInTheFirmwareLevelsOnly)
{
    for (const char* code : {"Orchard", "Core_Orchard"}) {
        enterServiceCode(code);
        EXPECT_EQ(tree()->findItems("Загрузка ПО", Qt::MatchExactly | Qt::MatchRecursive).size(), 1)
            << code;
    }
    for (const char* code : {"Probe_Orchard", "Plank_Orchard"}) {
        enterServiceCode(code);
        EXPECT_TRUE(
            tree()->findItems("Загрузка ПО", Qt::MatchExactly | Qt::MatchRecursive).isEmpty())
            << code;
    }
}

TEST_F(FirmwareCommand, WindowThatEndedItselfIsNotShown)
{
    gate.waitForSleep(1);
    enterServiceCode("Orchard");
    dialogs.fileNames = {std::nullopt, folder.filePath("missing.rom")};
    runNode();
    runNode();
    EXPECT_TRUE(children().isEmpty());
    EXPECT_EQ(dialogs.informed,
              std::vector<QString>{"Файл " + folder.filePath("missing.rom")
                                   + " поврежден, либо не соответствует данному устройству "});
    EXPECT_FALSE(form->taskEvents().isSet(TaskEvent::FirmwareLoad));
    EXPECT_EQ(form->registry().widget(Target::Flash), nullptr);
}

TEST_F(FirmwareCommand, ChosenFileShowsTheWindowAndASecondCommandOnlyBringsItForward)
{
    gate.waitForSleep(1);
    enterServiceCode("Orchard");
    form->MTaskGetClick();
    ASSERT_EQ(children().size(), 1);
    dialogs.fileNames = {firmwareFile()};
    runNode();
    ASSERT_EQ(children().size(), 2);
    QMdiSubWindow* flash = children().back();
    EXPECT_EQ(flash->windowTitle(), "Загрузка ПО");
    EXPECT_TRUE(flash->isVisible());
    EXPECT_EQ(flash->pos(), QPoint(10, 10));
    EXPECT_EQ(form->clientArea()->activeSubWindow(), flash);
    EXPECT_TRUE(form->taskEvents().isSet(TaskEvent::FirmwareLoad));

    form->clientArea()->setActiveSubWindow(children().front());
    runNode(); // no second file dialog: the script has no answer left
    EXPECT_EQ(children().size(), 2);
    EXPECT_EQ(form->clientArea()->activeSubWindow(), flash);

    flash->close();
    EXPECT_FALSE(form->taskEvents().isSet(TaskEvent::FirmwareLoad));
}

} // namespace

TEST_F(DeviceForm, NetNodeOpensTheNetworkEditorOnTheRecordsBlocks)
{
    RecordBytes bytes = recordOf(0x2001);
    const std::uint8_t net[44] = {0, 10, 0, 0,   0, 0,   0, 1,   0, 255, 0, 255, 0, 255, 0, 0,
                                  0, 10, 0, 0,   0, 0,   0, 7,   0, 0x75, 0, 0x3A, 0, 0, 0, 0,
                                  0, 0,  0, 0,   0, 0x75, 0, 0x3A, 0, 0,  0, 64};
    std::copy(std::begin(net), std::end(net), bytes.begin() + Blocks::Net.offset);
    form->SetConfig(bytes);
    ASSERT_EQ(TreeCaption::Net.front(), QChar(u'C')) << "the Latin C";
    selectNode(TreeCaption::Net);
    const QRect node = tree()->visualItemRect(tree()->currentItem());
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, node.center());
    ASSERT_EQ(children().size(), 1);
    QMdiSubWindow* editor = children()[0];
    EXPECT_EQ(editor->windowTitle(), "Сеть");
    EXPECT_EQ(editor->findChild<QWidget*>("GrpLocal")->property("title").toString(),
              "Контроллер R-420ZB");
    EXPECT_TRUE(editor->findChild<QWidget*>("GrpRemote")->isHidden());
    EXPECT_EQ(editor->findChild<QLineEdit*>("Ip4")->text(), "7");
    EXPECT_EQ(editor->findChild<QLineEdit*>("TTL")->text(), "64");
    const std::uint8_t* board = bytes.data() + Blocks::Board.offset;
    EXPECT_EQ(editor->findChild<QLineEdit*>("Mac")->text(),
              QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", board[1], board[3], board[5],
                                board[7], board[9], board[11]));
    EXPECT_TRUE(dialogs.informed.empty());

    // "Сохранить" writes only the network block.
    QLineEdit* octet = editor->findChild<QLineEdit*>("Ip4");
    octet->selectAll();
    QTest::keyClicks(octet, "20");
    QTest::mouseClick(editor->findChild<QPushButton*>("ButOk"), Qt::LeftButton);
    const RecordBytes after = form->record()->bytes;
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i != Blocks::Net.offset + 23) {
            EXPECT_EQ(after[i], bytes[i]) << i;
        }
    }
    EXPECT_EQ(after[Blocks::Net.offset + 23], 20);
}

TEST_F(DeviceForm, AToolPanelWidensTheWindowRatherThanNarrowingTheClientArea)
{
    const int windowWidth = form->width();
    auto* tools = new QWidget;
    tools->setMinimumWidth(120);
    QDockWidget* panel = form->addToolPanel(QStringLiteral("Инструменты"), "PanelTools", tools);
    EXPECT_EQ(panel->parent(), form.get());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(form->width(), std::min(windowWidth + 120, screen.width()));
    EXPECT_LE(form->width(), std::max(screen.width(), windowWidth)) << "never wider than the screen";
    EXPECT_GE(form->x(), screen.left()) << "still on the screen";
    EXPECT_LE(form->x() + form->width(), screen.right() + 1);
}
