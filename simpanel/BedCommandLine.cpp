#include "simpanel/BedCommandLine.h"

namespace simpanel {

namespace {
const QString Separator = QStringLiteral("--");

BedCommandLine withoutProgram(ParsedOptions options)
{
    if (options.outcome == ParsedOptions::Outcome::Run) {
        options.outcome = ParsedOptions::Outcome::Error;
        options.message = QStringLiteral("не задана программа: параметры, затем --, затем программа");
    }
    return {std::move(options), 0};
}
}

BedCommandLine parseBedCommandLine(const QStringList& arguments)
{
    if (!arguments.isEmpty() && !arguments.front().startsWith(u'-'))
        return {parseSimOptions({}), 0};
    const qsizetype separator = arguments.indexOf(Separator);
    if (separator < 0)
        return withoutProgram(parseSimOptions(arguments));
    ParsedOptions options = parseSimOptions(arguments.first(separator));
    if (separator + 1 == arguments.size())
        return withoutProgram(std::move(options));
    return {std::move(options), separator + 1};
}

QString bedHelp()
{
    return simOptionsHelp(QStringLiteral(
        "Использование: r4xx-usbfs-bed [параметры] -- ПРОГРАММА [АРГУМЕНТЫ]\n"
        "               r4xx-usbfs-bed ПРОГРАММА [АРГУМЕНТЫ]\n"
        "Запускает программу с имитатором контроллеров на шине USB, которую эмулирует umockdev:\n"
        "программа видит узел /dev/bus/usb/001/NNN на каждый контроллер и работает с ним\n"
        "через настоящую libusb. Завершается вместе с программой и с её кодом;\n"
        "2 — неверные параметры, 127 — программа не запустилась.\n"));
}

} // namespace simpanel
