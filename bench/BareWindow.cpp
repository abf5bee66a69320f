// The baseline of the start figures: a bare Qt main window with a docked tree and a docked log,
// its first frame stamped (FirstFrame.h). Any argument keeps it running after the stamp.

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "FirstFrame.h"

int main(int argc, char* argv[])
{
    const bool stay = argc > 1;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setCentralWidget(new QMdiArea);

    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    auto* root = new QTreeWidgetItem(QStringList { QStringLiteral("Задачи") });
    for (const char* caption : { "Прочитать", "Записать", "Статистика" })
        root->addChild(new QTreeWidgetItem(QStringList { QString::fromUtf8(caption) }));
    tree->addTopLevelItem(root);
    tree->expandAll();
    auto* treePanel = new QDockWidget(QStringLiteral("R410"), &window);
    treePanel->setWidget(tree);
    window.addDockWidget(Qt::LeftDockWidgetArea, treePanel);

    auto* log = new QPlainTextEdit;
    log->setReadOnly(true);
    auto* logPanel = new QDockWidget(QStringLiteral("Сообщения"), &window);
    logPanel->setWidget(log);
    window.addDockWidget(Qt::BottomDockWidgetArea, logPanel);

    window.resize(1024, 768);
    stampFirstFrame(window, stay);
    window.show();
    return QApplication::exec();
}
