#pragma once

#include <QIcon>

// The image list shared by the toolbars, the menus and the task tree, by index.
namespace Image {
inline constexpr int Open = 7;
inline constexpr int Save = 8;
inline constexpr int SaveAs = 9;
inline constexpr int TileVertical = 16;
inline constexpr int TileHorizontal = 17;
inline constexpr int Cascade = 18;
inline constexpr int Read = 45;
inline constexpr int Write = 46;
}

// The picture of an index, from the program's resources; a null icon for an index not in the list.
QIcon image(int index);
