#pragma once

#include <QStringList>
#include <QTreeWidget>

#include "shell/TaskTree.h"

// A tree as lines "caption (image)", each indented by one blank per level.
inline void outlineNodes(const std::vector<TreeNode>& nodes, int depth, QStringList& lines)
{
    for (const TreeNode& node : nodes) {
        lines << QString(depth, u' ') + node.caption + QStringLiteral(" (%1)").arg(node.image);
        outlineNodes(node.children, depth + 1, lines);
    }
}

inline QStringList outline(const TaskTree& tree)
{
    QStringList lines;
    outlineNodes(tree.roots, 0, lines);
    return lines;
}

inline void outlineItem(const QTreeWidgetItem* item, int depth, QStringList& lines)
{
    lines << QString(depth, u' ') + item->text(0)
            + QStringLiteral(" (%1)").arg(item->data(0, Qt::UserRole).toInt());
    for (int i = 0; i < item->childCount(); ++i)
        outlineItem(item->child(i), depth + 1, lines);
}

inline QStringList outline(const QTreeWidget& tree)
{
    QStringList lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        outlineItem(tree.topLevelItem(i), 0, lines);
    return lines;
}
