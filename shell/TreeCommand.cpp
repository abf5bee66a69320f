#include "shell/TreeCommand.h"

#include <array>
#include <utility>

#include "shell/TaskTree.h"

TreeCommand treeCommandFor(const QString& caption)
{
    static const std::array<std::pair<QString, TreeCommand>, 13> commands{{
        {TreeCaption::Read, TreeCommand::Read},
        {TreeCaption::Write, TreeCommand::Write},
        {TreeCaption::Firmware, TreeCommand::Firmware},
        {TreeCaption::Statistics, TreeCommand::Statistics},
        {TreeCaption::Net, TreeCommand::Net},
        {TreeCaption::Link, TreeCommand::Link},
        {TreeCaption::Codec, TreeCommand::Codec},
        {TreeCaption::Vocoder, TreeCommand::Vocoder},
        {TreeCaption::Recorder, TreeCommand::Recorder},
        {TreeCaption::Amplifier, TreeCommand::Amplifier},
        {TreeCaption::Info, TreeCommand::Info},
        {TreeCaption::BoardInfo, TreeCommand::BoardInfo},
        {TreeCaption::Trace, TreeCommand::Trace},
    }};
    for (const auto& [text, command] : commands)
        if (text == caption)
            return command;
    return TreeCommand::None;
}
