#pragma once

// Which record of the main window exists: none, the blank one of the board service levels, or one
// that was read or opened.
enum class RecordState { None, Blank, Loaded };

// The enabling of the commands that need a record. A blank record enables only the menu item
// "Сохранить как": it is a record to prepare and keep, not yet one to write or to save in place.
struct RecordCommands {
    bool closeMenu = false;
    bool save = false;       // menu item and button
    bool saveAsMenu = false;
    bool saveAsButton = false;
    bool write = false;      // menu item and button
};

RecordCommands recordCommands(RecordState state);
