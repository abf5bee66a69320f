#include "link/TaskContext.h"

bool TaskContext::connect(int configuration)
{
    usb.OpenConnection(configuration);
    usb.Connect();
    return usb.isOpen();
}
