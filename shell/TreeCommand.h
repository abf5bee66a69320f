#pragma once

// What a double click or Enter on a tree node does. The tree keeps it in each node it builds,
// so a node is never recognised by the caption it shows.
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
