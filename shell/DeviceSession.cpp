#include "shell/DeviceSession.h"

#include <QMdiArea>
#include <QMdiSubWindow>

DeviceSession::DeviceSession(NotifiedWindow& mainWindow, QWidget& mainWidget, QMdiArea& area,
                             Clock& clock, TaskTable tasks)
    : mainWindow_(mainWindow)
    , area_(area)
    , device_(std::make_unique<TDevice>(bridge_, clock, std::move(tasks)))
{
    registry_.enrol(Target::Device, mainWindow, mainWidget);
    device_->startWorker();
}

DeviceSession::~DeviceSession()
{
    shutDown();
}

void DeviceSession::shutDown()
{
    if (!device_)
        return;
    device_->Terminate();
    bridge_.close();
    registry_.withdraw(Target::Device, mainWindow_);
    qDeleteAll(area_.subWindowList());
    device_.reset();
}
