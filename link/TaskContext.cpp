#include "link/TaskContext.h"

bool TaskContext::connect(int configuration)
{
    usb.OpenConnection(configuration);
    usb.Connect();
    return usb.isOpen();
}

void TaskContext::failExchange(Target window, int result)
{
    if (logError(result))
        requestClose(window);
    usb.CloseConnection();
}
