#include "shell/RecordCommands.h"

RecordCommands recordCommands(RecordState state)
{
    switch (state) {
    case RecordState::Loaded:
        return {true, true, true, true, true};
    case RecordState::Blank:
        return {false, false, true, false, false};
    case RecordState::None:
        break;
    }
    return {};
}
