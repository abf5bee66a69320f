#include "cli/ControllerList.h"

#include <algorithm>
#include <tuple>

#include "cli/ConsoleNotifier.h"
#include "link/Packet.h"
#include "link/UsbConnection.h"
#include "models/InfoSheet.h"
#include "models/InfoTexts.h"

namespace {
const QString Separator = QStringLiteral("  ");

QString labelled(const char* field, const QString& value)
{
    return infoLabel(field) + u' ' + value;
}

// Bus by bus, device by device, by number: the USB library lists new devices first.
bool comesBefore(const DevicePath& a, const DevicePath& b)
{
    const auto key = [](const DevicePath& path) {
        return std::tuple(path.bus.toInt(), path.device.toInt(), path.bus, path.device);
    };
    return key(a) < key(b);
}

ListedController probe(Console& console, const DevicePath& path)
{
    ConsoleNotifier notifier(console);
    notifier.begin({});
    UsbConnection usb(notifier);
    usb.choose(path);
    usb.OpenConnection(Usb::NormalConfiguration);
    usb.Connect();
    ListedController listed{path, std::nullopt, {}};
    if (usb.isOpen())
        listed.identity = usb.identity();
    usb.CloseConnection();
    listed.log = notifier.outcome().log;
    return listed;
}

// Why a controller is listed without its identity: held by another program or refused, or
// silent (a controller without working firmware answers only its boot loader's stream).
QString silenceText(const QStringList& log)
{
    using namespace ConnectionTexts;
    for (const QString& refusal : {ConfigurationText, InterfaceText})
        if (log.contains(refusal))
            return QStringLiteral("недоступен: ") + refusal;
    if (log.contains(NotFoundText))
        return QStringLiteral("недоступен: ") + NotFoundText;
    return QStringLiteral("не отвечает (возможно, ожидает загрузки ПО в режиме загрузчика)");
}
}

std::vector<ListedController> listControllers(Console& console)
{
    std::vector<DevicePath> paths = controllerPaths();
    std::sort(paths.begin(), paths.end(), comesBefore);
    std::vector<ListedController> listed;
    for (const DevicePath& path : paths)
        listed.push_back(probe(console, path));
    return listed;
}

std::optional<DevicePath> pathOfDieId(const std::vector<ListedController>& controllers,
                                      const DieId& die)
{
    for (const ListedController& controller : controllers)
        if (controller.identity && dieIdOf(identityWords(controller.identity->data())) == die)
            return controller.path;
    return std::nullopt;
}

QString listedLine(const ListedController& controller)
{
    if (!controller.identity)
        return controller.path.text() + Separator + silenceText(controller.log);
    const IdentityWords words = identityWords(controller.identity->data());
    return QStringList{controller.path.text(),
                       controllerText(words[0]),
                       labelled("sSoft", firmwareVersionText(words[0])),
                       labelled("sBoard", boardVersionText(words[0])),
                       labelled("sDie", dieIdKey(dieIdOf(words))),
                       labelled("sChip", chipIdText(words))}
        .join(Separator);
}
