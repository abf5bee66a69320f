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

#include "models/AccessCode.h"
#include "models/FileTexts.h"
#include "models/LogText.h"
#include "shell/AboutForm.h"
#include "shell/AccessForm.h"
#include "shell/DockPanel.h"
#include "shell/SelectForm.h"
#include "shell/WindowOpeners.h"
#include "tasks/ReadForm.h"
#include "tasks/SaveForm.h"
#include "ui/ChildLayout.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

namespace {

const QString ReadQuestion =
    QStringLiteral("Не сохраненные данные будут утеряны. Прочитать устройство?");
const QString OpenQuestion = QStringLiteral("Закрыть текущее устройство ?");
const QString OpenDialogTitle = QStringLiteral("Открыть");
const QString SaveDialogName = QStringLiteral("*.rcf");
constexpr int ImageRole = Qt::UserRole;
constexpr int CommandRole = Qt::UserRole + 1;
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

QTreeWidgetItem* treeItem(const TreeNode& node)
{
    auto* item = new QTreeWidgetItem(QStringList{node.caption});
    item->setIcon(0, image(node.image));
    item->setData(0, ImageRole, node.image);
    item->setData(0, CommandRole, static_cast<int>(node.command));
    for (const TreeNode& child : node.children)
        item->addChild(treeItem(child));
    return item;
}

} // namespace

TFDevice::TFDevice(Dialogs& dialogs, Clock& clock, TaskTable tasks, QWidget* parent)
    : QMainWindow(parent)
    , dialogs_(dialogs)
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

    session_ = std::make_unique<DeviceSession>(*this, *this, *mdi_, clock, std::move(tasks));
    connect(&document_, &DeviceDocument::recordReplaced, this, &TFDevice::applyRecordCommands);
    applyRecordCommands();
    BuildTree();
}

TFDevice::~TFDevice()
{
    session_->shutDown();
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

    PanelDev =
        addDockPanel(*this, QStringLiteral("R410"), "PanelDev", TreeDev, Qt::LeftDockWidgetArea);
    // Wide enough for the longest caption of the deepest level.
    resizeDocks({PanelDev}, {TreePanelWidth}, Qt::Horizontal);
}

QDockWidget* TFDevice::addToolPanel(const QString& title, const char* name, QWidget* content)
{
    QDockWidget* panel = addDockPanel(*this, title, name, content, Qt::RightDockWidgetArea);
    // The window grows by the panel, so the client area keeps the room the settings windows need.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : geometry();
    resize(std::min(width() + panel->sizeHint().width(), std::max(available.width(), width())),
           height());
    move(available.center() - rect().center());
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

    PanelLog = addDockPanel(*this, QStringLiteral("Сообщения"), "PanelLog", pages,
                            Qt::BottomDockWidgetArea);
    resizeDocks({PanelLog}, {105}, Qt::Vertical);
}

void TFDevice::applyRecordCommands()
{
    const RecordCommands commands = recordCommands(document_.state());
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
    document_.install(bytes);
    PanelLog->show();
    BuildTree();
}

void TFDevice::CloseConfig()
{
    const QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        (*child)->close();
    if (!document_.record())
        return;
    document_.drop();
    showTree(BuildEmptyTree());
}

void TFDevice::BuildTree()
{
    const AccessLevel level = document_.level();
    MServUser->setChecked(level == LevelUser);
    MServExt->setChecked(level != LevelUser);
    if ((level == LevelBoard || level == LevelFull) && !document_.record())
        makeBlankRecord();
    showTree(::BuildTree(level, document_.typeWord()));
}

void TFDevice::makeBlankRecord()
{
    // The choice is made on a record of its own: a read that completes while the dialog is open
    // installs its record, and the choice then has nothing to replace.
    ConfigRecord blank;
    TFSelect select(this);
    select.setup(blank);
    dialogs_.runModal(select);
    if (!document_.record())
        document_.installBlank(blank);
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
    if (!std::holds_alternative<Ask::RecordToWrite>(wanted))
        return emptyInput(wanted);
    return document_.writeRequest();
}

void TFDevice::addLogLine(const QString& prefix, const QString& text)
{
    Log->appendPlainText(prefix + text);
}

void TFDevice::MFileOpenClick()
{
    const QString prefix = logPrefix();
    if (document_.record()) {
        if (!dialogs_.confirm(this, OpenQuestion))
            return;
        CloseConfig();
    }
    const std::optional<QString> name =
        dialogs_.openFileName(this, OpenDialogTitle, configFileFilters());
    if (!name)
        return;
    const OpenedConfig opened = document_.read(*name);
    if (opened.result != OpenFileResult::Opened) {
        addLogLine(prefix, fileRejectedText(*name));
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
    document_.setFileName(*name);
    saveToFile(prefix);
}

void TFDevice::saveToFile(const QString& prefix)
{
    const std::optional<SaveFileResult> result = document_.save();
    if (!result)
        return;
    if (const std::optional<QString> failure = saveFailureText(*result, document_.fileName()))
        dialogs_.inform(this, *failure);
    else
        addLogLine(prefix, fileSavedText(document_.fileName()));
}

void TFDevice::MFileOutClick()
{
    close();
}

template <typename Window>
void TFDevice::openTransferWindow()
{
    openChildWindow<Window>(
        *mdi_, nullptr, [this] { return new Window(session_->registry(), session_->events()); },
        [](Window&) {});
}

bool TFDevice::showOpen(Target target)
{
    auto* open = qobject_cast<QMdiSubWindow*>(session_->registry().widget(target));
    if (open)
        showInFront(*mdi_, *open);
    return open != nullptr;
}

void TFDevice::MTaskGetClick()
{
    if (showOpen(Target::Read))
        return;
    if (document_.record()) {
        if (!dialogs_.confirm(this, ReadQuestion))
            return;
        CloseConfig();
    }
    openTransferWindow<TFRead>();
}

void TFDevice::MTaskSetClick()
{
    if (showOpen(Target::Save) || !document_.record())
        return;
    document_.stampCrc();
    openTransferWindow<TFSave>();
}

void TFDevice::MServUserClick()
{
    document_.setLevel(LevelUser);
    BuildTree();
}

void TFDevice::MServExtClick()
{
    TFAccess access(this);
    const int level = accessLevelOf(dialogs_.runModal(access));
    if (level == LevelUser)
        dialogs_.inform(this, wrongCodeText());
    document_.setLevel(static_cast<AccessLevel>(level));
    BuildTree();
}

void TFDevice::CascadeWinClick()
{
    mdi_->cascadeSubWindows();
}

void TFDevice::TileVerticalClick()
{
    tileChildWindows(*mdi_, sideBySide);
}

void TFDevice::TileHorizontalClick()
{
    tileChildWindows(*mdi_, oneAboveAnother);
}

void TFDevice::ArrangeAllClick()
{
    arrangeChildIcons(*mdi_);
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
    runTreeCommand(static_cast<TreeCommand>(item->data(0, CommandRole).toInt()), openerPlace());
}

OpenerPlace TFDevice::openerPlace()
{
    return {*mdi_,
            session_->registry(),
            session_->events(),
            dialogs_,
            document_,
            [this] { MTaskGetClick(); },
            [this] { MTaskSetClick(); }};
}

bool TFDevice::eventFilter(QObject* watched, QEvent* event)
{
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
    session_->shutDown();
    QMainWindow::closeEvent(event);
}
