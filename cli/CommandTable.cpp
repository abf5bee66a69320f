#include "cli/Commands.h"

#include "cli/RecordSource.h"

#include <algorithm>

namespace {
QCommandLineOption option(const QStringList& names, const QString& description,
                          const QString& valueName = {})
{
    return QCommandLineOption(names, description, valueName);
}

QCommandLineOption controllerOption()
{
    return option({ControllerOption},
                  QStringLiteral("конфигурация, прочитанная из контроллера, вместо файла"));
}
}

const std::vector<CommandEntry>& commandEntries()
{
    static const std::vector<CommandEntry> entries{
        {QStringLiteral("list"), {}, QStringLiteral("все контроллеры на всех шинах USB"), {}, 0, 0,
         listCommand},
        {QStringLiteral("info"), QStringLiteral("[ФАЙЛ.rcf]"),
         QStringLiteral("описание контроллера по его конфигурации, как в окне «Описание "
                        "контроллера»; без файла конфигурация читается из контроллера"),
         {}, 0, 1, infoCommand},
        {QStringLiteral("read"), QStringLiteral("-o ФАЙЛ.rcf"),
         QStringLiteral("прочитать конфигурацию контроллера и сохранить ее в файл"),
         {option({QStringLiteral("o"), QStringLiteral("output")},
                 QStringLiteral("файл конфигурации"), QStringLiteral("ФАЙЛ.rcf"))},
         0, 0, readCommand},
        {QStringLiteral("write"), QStringLiteral("ФАЙЛ.rcf [--full] [--verify]"),
         QStringLiteral("записать конфигурацию из файла в контроллер: 110 байт, с --full 200 байт"),
         {option({QStringLiteral("full")},
                 QStringLiteral("записать и блок платы (200 байт); нужен сервисный код")),
          option({QStringLiteral("verify")},
                 QStringLiteral("прочитать конфигурацию после записи и сравнить с записанным"))},
         1, 1, writeCommand},
        {QStringLiteral("flash"), QStringLiteral("ОБРАЗ [--verify]"),
         QStringLiteral("загрузить программное обеспечение в контроллер (в рабочем режиме или в "
                        "режиме загрузчика); нужен сервисный код"),
         {option({QStringLiteral("verify")},
                 QStringLiteral("прочитать память ПО после загрузки и сравнить с образом "
                                "(только в рабочем режиме)"))},
         1, 1, flashCommand},
        {QStringLiteral("flash-read"), QStringLiteral("-o ФАЙЛ.rom [--size N]"),
         QStringLiteral("прочитать память ПО контроллера в файл (резервная копия перед "
                        "загрузкой); нужен сервисный код"),
         {option({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("файл образа"),
                 QStringLiteral("ФАЙЛ.rom")),
          option({QStringLiteral("size")},
                 QStringLiteral("сколько байт прочитать: 1..131072 или 0x1..0x20000 (131072)"),
                 QStringLiteral("N"))},
         0, 0, flashReadCommand},
        {QStringLiteral("stats"), QStringLiteral("[--reset] [--period S] [--count N] [--csv ФАЙЛ]"),
         QStringLiteral("статистика работы контроллера, как в окне «Статистика работы»"),
         {option({QStringLiteral("reset")}, QStringLiteral("сначала сбросить счетчики")),
          option({QStringLiteral("period")},
                 QStringLiteral("время получения отчета, 1..999 сек (1)"), QStringLiteral("S")),
          option({QStringLiteral("count")},
                 QStringLiteral("число отчетов (1); 0 - до Ctrl+C"), QStringLiteral("N")),
          option({QStringLiteral("csv")},
                 QStringLiteral("сохранить отчеты в файл CSV, как страница «График»"),
                 QStringLiteral("ФАЙЛ"))},
         0, 0, statsCommand},
        {QStringLiteral("trace"),
         QStringLiteral("--channels bus-rx,bus-tx,link-rx,link-tx [--duration S] [-o ФАЙЛ]"),
         QStringLiteral("трассировка каналов контроллера до конца времени или до Ctrl+C; нужен "
                        "сервисный код"),
         {option({QStringLiteral("channels")},
                 QStringLiteral("каналы через запятую: bus-rx, bus-tx, link-rx, link-tx"),
                 QStringLiteral("КАНАЛЫ")),
          option({QStringLiteral("duration")}, QStringLiteral("время трассировки, сек"),
                 QStringLiteral("S")),
          option({QStringLiteral("o"), QStringLiteral("output")},
                 QStringLiteral("записать строки в файл, а не на стандартный вывод"),
                 QStringLiteral("ФАЙЛ"))},
         0, 0, traceCommand},
        {QStringLiteral("set-identity"),
         QStringLiteral("[--serial S] [--mac AA-BB-CC-DD-EE-FF] [--date D] [--description ТЕКСТ]"),
         QStringLiteral("изменить данные платы (окно «Контроллер ID») и записать 200 байт "
                        "конфигурации; нужен сервисный код"),
         {option({QStringLiteral("serial")}, QStringLiteral("серийный номер, до 4 символов"),
                 QStringLiteral("S")),
          option({QStringLiteral("mac")}, QStringLiteral("физический адрес (только R-420)"),
                 QStringLiteral("AA-BB-CC-DD-EE-FF")),
          option({QStringLiteral("date")}, QStringLiteral("дата: ГГГГ-ММ-ДД или ДД.ММ.ГГГГ"),
                 QStringLiteral("D")),
          option({QStringLiteral("description")}, QStringLiteral("описание, до 64 символов"),
                 QStringLiteral("ТЕКСТ"))},
         0, 0, setIdentityCommand},
        {QStringLiteral("show"), QStringLiteral("ФАЙЛ.rcf | --controller"),
         QStringLiteral("все поля конфигурации по блокам, как их показывают окна настройки"),
         {controllerOption()}, 0, 1, showCommand},
        {QStringLiteral("diff"), QStringLiteral("ФАЙЛ_A.rcf ФАЙЛ_B.rcf | ФАЙЛ.rcf --controller"),
         QStringLiteral("поля, которыми различаются две конфигурации (контроллер - вторая); "
                        "код 0 - одинаковы, 1 - различаются, 2 - ошибка"),
         {controllerOption()}, 0, 2, diffCommand, FailureStatus::Two},
        {QStringLiteral("export"), QStringLiteral("ФАЙЛ.rcf | --controller [-o ФАЙЛ.json]"),
         QStringLiteral("конфигурация как документ JSON: поля по именам, в единицах окон "
                        "настройки; без -o - на стандартный вывод"),
         {controllerOption(),
          option({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("файл JSON"),
                 QStringLiteral("ФАЙЛ.json"))},
         0, 1, exportCommand},
        {QStringLiteral("import"), QStringLiteral("ФАЙЛ.json -o ФАЙЛ.rcf [--base БАЗА.rcf]"),
         QStringLiteral("файл конфигурации из документа JSON: каждое значение по правилам его "
                        "окна настройки; при недопустимом значении ничего не записывается"),
         {option({QStringLiteral("o"), QStringLiteral("output")},
                 QStringLiteral("файл конфигурации"), QStringLiteral("ФАЙЛ.rcf")),
          option({QStringLiteral("base")},
                 QStringLiteral("конфигурация, к которой применяются значения документа "
                                "(без него - байты самого документа)"),
                 QStringLiteral("БАЗА.rcf"))},
         1, 1, importCommand},
    };
    return entries;
}

const CommandEntry* findCommand(const QString& name)
{
    const auto& entries = commandEntries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const CommandEntry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
}
