#include "shell/Startup.h"

#include <exception>

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "link/Clock.h"
#include "shell/DeviceForm.h"
#include "ui/QtDialogs.h"

namespace {

// The terminal speaks Russian whatever the desktop's language, so the standard dialogs'
// own buttons and labels do too.
void installRussianQtTexts(QApplication& app, QTranslator& translator)
{
    if (translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

void showFatal(const QString& message)
{
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
}

} // namespace

int runTerminal(int& argc, char** argv, const std::function<void(TFDevice&, Dialogs&)>& prepare)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Терминал контроллеров серии R-xxx"));
    QTranslator translator;
    installRussianQtTexts(app, translator);
    try {
        QtDialogs dialogs;
        SystemClock clock;
        TFDevice window(dialogs, clock);
        if (prepare)
            prepare(window, dialogs);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        showFatal(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showFatal({});
    }
    return 1;
}
