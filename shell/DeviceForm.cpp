#include "shell/DeviceForm.h"

#include <algorithm>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "config/ConfigFile.h"
#include "editors/AudioForm.h"
#include "editors/BoardForm.h"
#include "editors/CodecForm.h"
#include "editors/RecoderForm.h"
#include "editors/VocoderForm.h"
#include "editors/LinkForm.h"
#include "editors/NetForm.h"
#include "shell/AboutForm.h"
#include "shell/AccessCode.h"
#include "shell/AccessForm.h"
#include "ui/ChildLayout.h"
#include "ui/Dialogs.h"
#include "ui/FileTexts.h"
#include "shell/DockGrip.h"
#include "ui/Images.h"
#include "shell/LogText.h"
#include "shell/SelectForm.h"
#include "tasks/InfoForm.h"
#include "tasks/FlashForm.h"
#include "tasks/ReadForm.h"
#include "tasks/ReportForm.h"
#include "tasks/SaveForm.h"
#include "tasks/TraceForm.h"

namespace {

const QString ReadQuestion =
    QStringLiteral("Не сохраненные данные будут утеряны. Прочитать устройство?");
const QString OpenQuestion = QStringLiteral("Закрыть текущее устройство ?");
const QString WrongCodeText = QStringLiteral("Ошибка ввода сервисного кода");
const QString OpenDialogTitle = QStringLiteral("Открыть");
const QString SaveDialogName = QStringLiteral("*.rcf");
constexpr int ImageRole = Qt::UserRole;
constexpr int TreePanelWidth = 190;
constexpr int ControllerImage = 65;

// "все файлы" means every file, also one saved without an extension.
QStringList configFileFilters()
{
    return {QStringLiteral("Конфигурация контроллера (*.rcf)"), QStringLiteral("все файлы (*)")};
}

// A name with wildcards, such as the "*.rcf" the save dialog starts with, names no file.
bool isNamePattern(const QString& name)
{
    const QString fileName = QFileInfo(name).fileName();
    return fileName.contains(u'*') || fileName.contains(u'?');
}

// Docked, a panel shows a slim strip to drag it by; floating, it shows its caption.
void useGripWhenDocked(QDockWidget* panel)
{
    const auto setTitleBar = [panel](bool floating) {
        QWidget* old = panel->titleBarWidget();
        if (floating) {
            panel->setTitleBarWidget(nullptr);
        } else {
            panel->setTitleBarWidget(new DockGrip(panel));
        }
        // Later: the strip may be the widget whose drag made the panel float.
        if (old)
            old->deleteLater();
    };
    setTitleBar(false);
    QObject::connect(panel, &QDockWidget::topLevelChanged, panel, setTitleBar);
}

QTreeWidgetItem* treeItem(const TreeNode& node)
{
    auto* item = new QTreeWidgetItem(QStringList{node.caption});
    item->setIcon(0, image(node.image));
    item->setData(0, ImageRole, node.image);
    for (const TreeNode& child : node.children)
        item->addChild(treeItem(child));
    return item;
}

} // namespace

TFDevice::TFDevice(Dialogs& dialogs, Clock& clock, TaskTable tasks, QWidget* parent)
    : QMainWindow(parent)
    , dialogs_(dialogs)
    , bridge_(registry_)
    , mdi_(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Терминал контроллеров R-410, R-420"));
    setWindowIcon(image(ControllerImage));
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(mdi_);
    buildMenus();
    buildToolbars();
    buildTreePanel();
    buildLogPanel();
    // Larger windows than the area scroll rather than hide their edges.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    resize(mainWindowSize(fontMetrics().averageCharWidth(), available.size()));
    move(available.center() - rect().center());

    registry_.enrol(Target::Device, *this, *this);
    device_ = std::make_unique<TDevice>(bridge_, clock, std::move(tasks));
    device_->startWorker();
    applyRecordCommands();
    BuildTree();
}

TFDevice::~TFDevice()
{
    shutDown();
}

QAction* TFDevice::addMenuItem(QMenu* menu, const char* name, const QString& caption,
                             const QString& hint, int imageIndex, void (TFDevice::*command)())
{
    QAction* action = menu->addAction(image(imageIndex), caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        action->setToolTip(hint);
    connect(action, &QAction::triggered, this, command);
    return action;
}

QAction* TFDevice::addButton(QToolBar* toolbar, const char* name, int imageIndex,
                             const QString& hint, void (TFDevice::*command)())
{
    QAction* button = toolbar->addAction(image(imageIndex), hint);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QAction::triggered, this, command);
    return button;
}

void TFDevice::buildMenus()
{
    constexpr int NoImage = -1;
    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    addMenuItem(file, "MFileOpen", QStringLiteral("Открыть"), QStringLiteral("Открыть файл"),
              Image::Open, &TFDevice::MFileOpenClick);
    MFileClose = addMenuItem(file, "MFileClose", QStringLiteral("Закрыть"),
                           QStringLiteral("Закрыть файл"), NoImage, &TFDevice::MFileCloseClick);
    file->addSeparator();
    MFileSave = addMenuItem(file, "MFileSave", QStringLiteral("Сохранить"), {}, Image::Save,
                          &TFDevice::MFileSaveClick);
    MFileSaveAs = addMenuItem(file, "MFileSaveAs", QStringLiteral("Сохранить как"), {},
                            Image::SaveAs, &TFDevice::MFileSaveAsClick);
    file->addSeparator();
    addMenuItem(file, "MFileOut", QStringLiteral("Выход"), QStringLiteral("Выйти из программы"),
              NoImage, &TFDevice::MFileOutClick);

    QMenu* tasks = menuBar()->addMenu(QStringLiteral("Задачи"));
    addMenuItem(tasks, "MTaskGet", QStringLiteral("Прочитать"),
              QStringLiteral("Прочитать  конйигурацию контроллера"), Image::Read,
              &TFDevice::MTaskGetClick);
    MTaskSet = addMenuItem(tasks, "MTaskSet", QStringLiteral("Записать"),
                         QStringLiteral("Загрузить конфигурацию контроллера "), Image::Write,
                         &TFDevice::MTaskSetClick);

    QMenu* service = menuBar()->addMenu(QStringLiteral("Сервис"));
    MServUser = addMenuItem(service, "MServUser", QStringLiteral("Пользовательский"), {}, NoImage,
                          &TFDevice::MServUserClick);
    MServExt = addMenuItem(service, "MServExt", QStringLiteral("Дополнительный"), {}, NoImage,
                         &TFDevice::MServExtClick);
    MServUser->setCheckable(true);
    MServExt->setCheckable(true);

    QMenu* windows = menuBar()->addMenu(QStringLiteral("Окно"));
    addMenuItem(windows, "CascadeWin", QStringLiteral("Каскадом"), {}, Image::Cascade,
              &TFDevice::CascadeWinClick);
    addMenuItem(windows, "TileVertical", QStringLiteral("Сверху вниз"), {}, Image::TileVertical,
              &TFDevice::TileVerticalClick);
    addMenuItem(windows, "TileHorizontal", QStringLiteral("Слева на право"), {},
              Image::TileHorizontal, &TFDevice::TileHorizontalClick);
    addMenuItem(windows, "ArrangeAll", QStringLiteral("Упорядочить значки"), {}, NoImage,
              &TFDevice::ArrangeAllClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    addMenuItem(help, "MAbout", QStringLiteral("О программе..."), {}, NoImage,
              &TFDevice::MAboutClick);

    for (QMenu* menu : {file, tasks, service, windows, help})
        menu->setToolTipsVisible(true);
}

void TFDevice::buildToolbars()
{
    QToolBar* files = addToolBar(QStringLiteral("Файл"));
    files->setObjectName(QStringLiteral("FileBar"));
    addButton(files, "ButOpen", Image::Open, QStringLiteral("Открыть"), &TFDevice::MFileOpenClick);
    ButSave = addButton(files, "ButSave", Image::Save, QStringLiteral("Сохранить"),
                        &TFDevice::MFileSaveClick);
    ButSaveAs = addButton(files, "ButSaveAs", Image::SaveAs, QStringLiteral("Сохранить как"),
                          &TFDevice::MFileSaveAsClick);

    QToolBar* tasks = addToolBar(QStringLiteral("Задачи"));
    tasks->setObjectName(QStringLiteral("TaskBar"));
    addButton(tasks, "ButGet", Image::Read, QStringLiteral("Прочитать"), &TFDevice::MTaskGetClick);
    ButSet = addButton(tasks, "ButSet", Image::Write, QStringLiteral("Записать"),
                       &TFDevice::MTaskSetClick);

    for (QToolBar* toolbar : {files, tasks}) {
        toolbar->setAllowedAreas(Qt::TopToolBarArea);
        toolbar->setFloatable(false);
        toolbar->setIconSize(QSize(24, 24));
    }
}

void TFDevice::buildTreePanel()
{
    TreeDev = new QTreeWidget;
    TreeDev->setObjectName(QStringLiteral("TreeDev"));
    TreeDev->setHeaderHidden(true);
    TreeDev->setIndentation(19);
    TreeDev->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A caption wider than the panel scrolls instead of losing its end.
    TreeDev->setTextElideMode(Qt::ElideNone);
    TreeDev->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeDev->header()->setStretchLastSection(false);
    TreeDev->installEventFilter(this);
    TreeDev->viewport()->installEventFilter(this);

    PanelDev = addPanel(QStringLiteral("R410"), "PanelDev", TreeDev, Qt::LeftDockWidgetArea);
    // Wide enough for the longest caption of the deepest level.
    resizeDocks({PanelDev}, {TreePanelWidth}, Qt::Horizontal);
}

QDockWidget* TFDevice::addToolPanel(const QString& title, const char* name, QWidget* content)
{
    QDockWidget* panel = addPanel(title, name, content, Qt::RightDockWidgetArea);
    // The window grows by the panel, so the client area keeps the room the settings windows need.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : geometry();
    resize(std::min(width() + panel->sizeHint().width(), std::max(available.width(), width())),
           height());
    move(available.center() - rect().center());
    return panel;
}

// A panel that can float and be docked again at its own side, but not be closed.
QDockWidget* TFDevice::addPanel(const QString& title, const char* name, QWidget* content,
                                Qt::DockWidgetArea area)
{
    auto* panel = new QDockWidget(title, this);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setWidget(content);
    panel->setAllowedAreas(area);
    panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    useGripWhenDocked(panel);
    panel->installEventFilter(this);
    addDockWidget(area, panel);
    return panel;
}

void TFDevice::buildLogPanel()
{
    Log = new QPlainTextEdit;
    Log->setObjectName(QStringLiteral("Log"));
    Log->setReadOnly(true);
    Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    Log->setUndoRedoEnabled(false);

    auto* pages = new QTabWidget;
    pages->setTabPosition(QTabWidget::South);
    pages->setDocumentMode(true);
    pages->addTab(Log, QStringLiteral("Сообщения"));

    PanelLog = addPanel(QStringLiteral("Сообщения"), "PanelLog", pages, Qt::BottomDockWidgetArea);
    resizeDocks({PanelLog}, {105}, Qt::Vertical);
}

void TFDevice::applyRecordCommands()
{
    const RecordCommands commands = recordCommands(recordState_);
    MFileClose->setEnabled(commands.closeMenu);
    MFileSave->setEnabled(commands.save);
    ButSave->setEnabled(commands.save);
    MFileSaveAs->setEnabled(commands.saveAsMenu);
    ButSaveAs->setEnabled(commands.saveAsButton);
    MTaskSet->setEnabled(commands.write);
    ButSet->setEnabled(commands.write);
}

void TFDevice::SetConfig(const RecordBytes& bytes)
{
    record_ = ConfigRecord{bytes};
    recordState_ = RecordState::Loaded;
    PanelLog->show();
    applyRecordCommands();
    BuildTree();
}

void TFDevice::CloseConfig()
{
    const QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        (*child)->close();
    if (!record_)
        return;
    record_.reset();
    recordState_ = RecordState::None;
    fileName_ = DefaultFileName;
    applyRecordCommands();
    showTree(BuildEmptyTree());
}

void TFDevice::BuildTree()
{
    MServUser->setChecked(level_ == LevelUser);
    MServExt->setChecked(level_ != LevelUser);
    if ((level_ == LevelBoard || level_ == LevelFull) && !record_)
        makeBlankRecord();
    const auto typeWord = record_ ? std::optional(record_->typeWord()) : std::nullopt;
    showTree(::BuildTree(level_, typeWord));
}

void TFDevice::makeBlankRecord()
{
    // The choice is made on a record of its own: a read that completes while the dialog is open
    // installs its record, and the choice then has nothing to replace.
    ConfigRecord blank;
    TFSelect select(this);
    select.setup(blank);
    dialogs_.runModal(select);
    if (record_)
        return;
    record_ = blank;
    recordState_ = RecordState::Blank;
    applyRecordCommands();
}

void TFDevice::showTree(const TaskTree& tree)
{
    TreeDev->setUpdatesEnabled(false);
    TreeDev->clear();
    for (const TreeNode& root : tree.roots)
        TreeDev->addTopLevelItem(treeItem(root));
    TreeDev->setUpdatesEnabled(true);
}

int TFDevice::FindNode(const QString& caption) const
{
    int index = 0;
    for (QTreeWidgetItemIterator item(TreeDev); *item; ++item, ++index)
        if ((*item)->text(0) == caption)
            return index;
    return -1;
}

void TFDevice::SetNodeImage(const QString& caption, int imageIndex)
{
    const int index = FindNode(caption);
    if (index < 0)
        return;
    QTreeWidgetItemIterator item(TreeDev);
    for (int i = 0; i < index; ++i)
        ++item;
    (*item)->setIcon(0, image(imageIndex));
    (*item)->setData(0, ImageRole, imageIndex);
}

void TFDevice::OnDeviceMessage(const TaskReport& report)
{
    const QString prefix = logPrefix();
    if (const std::optional<QString> text = deviceLogText(report))
        addLogLine(prefix, *text);
    else if (const auto* read = std::get_if<Report::Record>(&report))
        SetConfig(read->bytes);
}

// With no record (closed while the write started) the answer is empty, and the write task ends
// without writing.
TaskInput TFDevice::OnDeviceRequest(const TaskRequest& wanted)
{
    if (!std::holds_alternative<Ask::RecordToWrite>(wanted) || !record_)
        return emptyInput(wanted);
    return answerWriteRequest(*record_, level_);
}

void TFDevice::addLogLine(const QString& prefix, const QString& text)
{
    Log->appendPlainText(prefix + text);
}

void TFDevice::MFileOpenClick()
{
    const QString prefix = logPrefix();
    if (record_) {
        if (!dialogs_.confirm(this, OpenQuestion))
            return;
        CloseConfig();
    }
    const std::optional<QString> name =
        dialogs_.openFileName(this, OpenDialogTitle, configFileFilters());
    if (!name)
        return;
    fileName_ = *name;
    const OpenedConfig opened = openConfigFile(fileName_, crc_);
    if (opened.result != OpenFileResult::Opened) {
        addLogLine(prefix, fileRejectedText(fileName_));
        return;
    }
    SetConfig(opened.record.bytes);
    addLogLine(prefix, configLoadedText());
}

void TFDevice::MFileCloseClick()
{
    CloseConfig();
}

void TFDevice::MFileSaveClick()
{
    saveToFile(logPrefix());
}

void TFDevice::MFileSaveAsClick()
{
    const QString prefix = logPrefix();
    std::optional<QString> name = dialogs_.saveFileName(this, SaveDialogName, configFileFilters());
    // Accepting the dialog with the pattern still in the name field asks again for a real name.
    while (name && isNamePattern(*name))
        name = dialogs_.saveFileName(this, *name, configFileFilters());
    if (!name)
        return;
    fileName_ = *name;
    saveToFile(prefix);
}

void TFDevice::saveToFile(const QString& prefix)
{
    if (!record_)
        return;
    const SaveFileResult result = saveConfigFile(fileName_, *record_, crc_);
    if (const std::optional<QString> failure = saveFailureText(result, fileName_))
        dialogs_.inform(this, *failure);
    else
        addLogLine(prefix, fileSavedText(fileName_));
}

void TFDevice::MFileOutClick()
{
    close();
}

template <typename Window>
void TFDevice::openTransferWindow()
{
    const QPoint origin = childWindowOrigin(static_cast<int>(mdi_->subWindowList().size()));
    auto* window = new Window(registry_, device_->events());
    mdi_->addSubWindow(window);
    window->move(origin);
    showChild(window);
}

// The trace window goes to the top left corner, however many windows are open, and fits the
// client area.
void TFDevice::openTraceWindow()
{
    if (auto* open = qobject_cast<QMdiSubWindow*>(registry_.widget(Target::Trace))) {
        showChild(open);
        return;
    }
    auto* window = new TFTrace(registry_, device_->events(), dialogs_);
    mdi_->addSubWindow(window);
    window->move(0, 0);
    window->resize(window->size().boundedTo(mdi_->viewport()->size()));
    showChild(window);
}

// Unlike the other windows, an open statistics window takes the identity again.
void TFDevice::openReportWindow(const std::uint8_t* identity)
{
    auto* window = dynamic_cast<TFReport*>(registry_.widget(Target::Report));
    if (!window) {
        const QPoint origin = childWindowOrigin(static_cast<int>(mdi_->subWindowList().size()));
        window = new TFReport(registry_, device_->events(), dialogs_);
        mdi_->addSubWindow(window);
        window->move(origin);
    }
    window->LoadIdentity(identity);
    showChild(window);
}

void TFDevice::showChild(QMdiSubWindow* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    mdi_->setActiveSubWindow(window);
    window->raise();
}

void TFDevice::MTaskGetClick()
{
    if (auto* open = qobject_cast<QMdiSubWindow*>(registry_.widget(Target::Read))) {
        showChild(open);
        return;
    }
    if (record_) {
        if (!dialogs_.confirm(this, ReadQuestion))
            return;
        CloseConfig();
    }
    openTransferWindow<TFRead>();
}

void TFDevice::MTaskSetClick()
{
    if (auto* open = qobject_cast<QMdiSubWindow*>(registry_.widget(Target::Save))) {
        showChild(open);
        return;
    }
    if (!record_)
        return;
    stampCrc(crc_, *record_);
    openTransferWindow<TFSave>();
}

void TFDevice::MServUserClick()
{
    level_ = LevelUser;
    BuildTree();
}

void TFDevice::MServExtClick()
{
    TFAccess access(this);
    const int level = accessLevelOf(dialogs_.runModal(access));
    if (level == LevelUser)
        dialogs_.inform(this, WrongCodeText);
    level_ = static_cast<AccessLevel>(level);
    BuildTree();
}

void TFDevice::CascadeWinClick()
{
    mdi_->cascadeSubWindows();
}

void TFDevice::arrangeTiled(std::vector<QRect> (*layout)(const QRect&, int))
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (!window->isMinimized() && !window->isHidden())
            windows.append(window);
    const std::vector<QRect> places = layout(mdi_->viewport()->rect(), int(windows.size()));
    for (int i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(places[i]);
    }
}

void TFDevice::TileVerticalClick()
{
    arrangeTiled(sideBySide);
}

void TFDevice::TileHorizontalClick()
{
    arrangeTiled(oneAboveAnother);
}

void TFDevice::ArrangeAllClick()
{
    QList<QMdiSubWindow*> icons;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (window->isMinimized())
            icons.append(window);
    if (icons.isEmpty())
        return;
    const std::vector<QPoint> places =
        iconRow(mdi_->viewport()->rect(), icons.front()->size(), int(icons.size()));
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->move(places[i]);
}

void TFDevice::MAboutClick()
{
    TFAbout about(this);
    dialogs_.runModal(about);
}

void TFDevice::TreeDevDblClick()
{
    QTreeWidgetItem* item = TreeDev->currentItem();
    if (!item || !item->isSelected())
        return;
    runTreeCommand(treeCommandFor(item->text(0)));
}

void TFDevice::runTreeCommand(TreeCommand command)
{
    switch (command) {
    case TreeCommand::Read:
        MTaskGetClick();
        break;
    case TreeCommand::Write:
        MTaskSetClick();
        break;
    case TreeCommand::Firmware:
        // The window ends itself while being created when no file is chosen or read.
        if (!registry_.widget(Target::Flash))
            TFFlash::create({*mdi_, registry_, device_->events(), dialogs_});
        if (auto* flash = qobject_cast<QMdiSubWindow*>(registry_.widget(Target::Flash)))
            showChild(flash);
        break;
    case TreeCommand::Statistics:
        if (record_)
            openReportWindow(record_->data(Blocks::Identity));
        break;
    case TreeCommand::Amplifier:
        if (record_)
            TFAudio::open(editorPlace(), record_->data(Blocks::Amplifier));
        break;
    case TreeCommand::Codec:
        if (record_)
            TFCodec::open(editorPlace(), CodecInputs{level_, record_->data(Blocks::Identity),
                                                     record_->data(Blocks::Codec)});
        break;
    case TreeCommand::Recorder:
        if (record_)
            TFRecoder::open(editorPlace(), RecoderInputs{record_->data(Blocks::Identity),
                                                         record_->data(Blocks::Recorder)});
        break;
    case TreeCommand::Vocoder:
        if (record_)
            TFVocoder::open(editorPlace(), VocoderInputs{record_->data(Blocks::Identity),
                                                         record_->data(Blocks::Vocoder)});
        break;
    case TreeCommand::Info:
        // Stamped every time it is asked for; a window already open keeps what it shows.
        if (record_) {
            stampCrc(crc_, *record_);
            TFInfo::open(*mdi_, InfoInputs{record_->data(Blocks::Board),
                                           record_->data(Blocks::Identity),
                                           record_->storedCrc(), CONFIG_RECORD_SIZE});
        }
        break;
    case TreeCommand::Link:
        if (record_)
            TFLink::open(editorPlace(), LinkInputs{level_, record_->data(Blocks::Identity),
                                                   record_->data(Blocks::Link)});
        break;
    case TreeCommand::BoardInfo:
        if (record_)
            TFBoard::open(*mdi_, dialogs_,
                          BoardInputs{record_->data(Blocks::Identity),
                                      record_->data(Blocks::Board)});
        break;
    case TreeCommand::Net:
        if (record_)
            TFNet::open(editorPlace(), NetInputs{record_->data(Blocks::Identity),
                                                 record_->data(Blocks::Net),
                                                 record_->data(Blocks::Board)});
        break;
    case TreeCommand::Trace:
        openTraceWindow();
        break;
    default:
        // Group nodes and the controller node do nothing.
        break;
    }
}

EditorPlace TFDevice::editorPlace()
{
    return {*mdi_, registry_, device_->events(), dialogs_};
}

bool TFDevice::eventFilter(QObject* watched, QEvent* event)
{
    // A floating panel closed by the window manager could not be shown again: it stays.
    if ((watched == PanelDev || watched == PanelLog) && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    if (watched == TreeDev->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        TreeDevDblClick();
    } else if (watched == TreeDev && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TreeDevDblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFDevice::closeEvent(QCloseEvent* event)
{
    shutDown();
    QMainWindow::closeEvent(event);
}

void TFDevice::shutDown()
{
    if (!device_)
        return;
    // No task starts any more, and one waiting on this thread is released instead of blocking
    // forever.
    device_->Terminate();
    bridge_.close();
    registry_.withdraw(Target::Device, *this);
    // Without their closing handlers: the worker they would talk to is about to stop.
    qDeleteAll(mdi_->subWindowList());
    device_.reset();
}
