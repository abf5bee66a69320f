#include "cli/Commands.h"

#include <QJsonArray>

#include "cli/ControllerList.h"
#include "link/UsbConnection.h"
#include "models/InfoTexts.h"

namespace {
QJsonObject listedJson(const ListedController& controller)
{
    QJsonObject entry{{QStringLiteral("path"), controller.path.text()},
                      {QStringLiteral("answers"), controller.identity.has_value()}};
    if (!controller.identity) {
        entry[QStringLiteral("state")] = listedLine(controller).section(QStringLiteral("  "), 1);
        return entry;
    }
    const IdentityWords words = identityWords(controller.identity->data());
    entry[QStringLiteral("model")] = controllerText(words[0]);
    entry[QStringLiteral("typeWord")] = static_cast<int>(words[0]);
    entry[QStringLiteral("softwareVersion")] = firmwareVersionText(words[0]);
    entry[QStringLiteral("boardVersion")] = boardVersionText(words[0]);
    entry[QStringLiteral("dieId")] = dieIdKey(dieIdOf(words));
    entry[QStringLiteral("chipId")] = chipIdText(words);
    return entry;
}
}

ExitStatus listCommand(CommandContext& context)
{
    const std::vector<ListedController> controllers = listControllers(context.console);
    QJsonArray listed;
    for (const ListedController& controller : controllers) {
        context.print(listedLine(controller));
        listed.append(listedJson(controller));
    }
    context.document[QStringLiteral("controllers")] = listed;
    if (controllers.empty())
        return refuse(context, ConnectionTexts::NotFoundText, ExitStatus::NoController);
    return ExitStatus::Success;
}
