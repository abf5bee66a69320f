#pragma once

#include <QString>

// What a double click or Enter on a tree node does, by the node's exact caption.
enum class TreeCommand {
    None,
    Read,
    Write,
    Firmware,
    Statistics,
    Net,
    Link,
    Codec,
    Vocoder,
    Recorder,
    Amplifier,
    Info,
    BoardInfo,
    Trace,
};

TreeCommand treeCommandFor(const QString& caption);
