#include "shell/TaskTree.h"

#include "config/ConfigRecord.h"

namespace {

constexpr int ModelR420 = 2;

int countUpTo(const std::vector<TreeNode>& nodes, const QString& caption, int& index)
{
    for (const TreeNode& node : nodes) {
        if (node.caption == caption)
            return index;
        ++index;
        const int found = countUpTo(node.children, caption, index);
        if (found >= 0)
            return found;
    }
    return -1;
}

TreeNode* findIn(std::vector<TreeNode>& nodes, const QString& caption)
{
    for (TreeNode& node : nodes) {
        if (node.caption == caption)
            return &node;
        if (TreeNode* found = findIn(node.children, caption))
            return found;
    }
    return nullptr;
}

void addFirmwareNode(TaskTree& tree)
{
    tree.addChild(TreeCaption::Tasks, TreeCaption::Firmware, 51, TreeCommand::Firmware);
}

// "Cервис" under the root of a user tree.
void addServiceNode(TaskTree& tree)
{
    tree.roots.front().children.push_back({TreeCaption::Service, 50, {}});
}

} // namespace

int TaskTree::FindNode(const QString& caption) const
{
    int index = 0;
    return countUpTo(roots, caption, index);
}

TreeNode* TaskTree::find(const QString& caption)
{
    return findIn(roots, caption);
}

void TaskTree::SetNodeImage(const QString& caption, int image)
{
    if (TreeNode* node = find(caption))
        node->image = image;
}

void TaskTree::addChild(const QString& parentCaption, const QString& caption, int image,
                        TreeCommand command)
{
    if (TreeNode* parent = find(parentCaption))
        parent->children.push_back({caption, image, {}, command});
}

void TaskTree::addRoot(const QString& caption, int image)
{
    roots.push_back({caption, image, {}});
}

TaskTree BuildEmptyTree()
{
    TaskTree tree;
    tree.addRoot(TreeCaption::Tasks, 76);
    tree.addChild(TreeCaption::Tasks, TreeCaption::Read, 45, TreeCommand::Read);
    return tree;
}

TaskTree BuildUserTree(std::uint16_t typeWord)
{
    TaskTree tree;
    tree.addRoot(deviceName(typeWord), 65);
    TreeNode& root = tree.roots.front();
    root.children.push_back({TreeCaption::Tasks, 76, {}});
    if (modelCode(typeWord) == ModelR420)
        root.children.push_back({TreeCaption::LinkChannel, 75, {}});
    root.children.push_back({TreeCaption::Devices, 70, {}});
    tree.roots.push_back({TreeCaption::Info, 67, {}, TreeCommand::Info});

    tree.addChild(TreeCaption::Tasks, TreeCaption::Read, 45, TreeCommand::Read);
    tree.addChild(TreeCaption::Tasks, TreeCaption::Write, 46, TreeCommand::Write);
    tree.addChild(TreeCaption::Tasks, TreeCaption::Statistics, 42, TreeCommand::Statistics);
    tree.addChild(TreeCaption::LinkChannel, TreeCaption::Net, 73, TreeCommand::Net);
    tree.addChild(TreeCaption::LinkChannel, TreeCaption::Link, 74, TreeCommand::Link);
    tree.addChild(TreeCaption::Devices, TreeCaption::Codec, 66, TreeCommand::Codec);
    tree.addChild(TreeCaption::Devices, TreeCaption::Vocoder, 71, TreeCommand::Vocoder);
    tree.addChild(TreeCaption::Devices, TreeCaption::Recorder, 72, TreeCommand::Recorder);
    if (editionBit(typeWord) == 0)
        tree.addChild(TreeCaption::Devices, TreeCaption::Amplifier, 68, TreeCommand::Amplifier);
    return tree;
}

TaskTree BuildTree(int level, std::optional<std::uint16_t> typeWord)
{
    const auto userTree = [&] { return typeWord ? BuildUserTree(*typeWord) : BuildEmptyTree(); };
    switch (level) {
    case LevelUser:
        return userTree();
    case LevelFirmware: {
        TaskTree tree = userTree();
        addFirmwareNode(tree);
        return tree;
    }
    case LevelTrace: {
        TaskTree tree = userTree();
        if (typeWord)
            addServiceNode(tree);
        else
            tree.addRoot(TreeCaption::Service, 50);
        tree.addChild(TreeCaption::Service, TreeCaption::Trace, 49, TreeCommand::Trace);
        return tree;
    }
    case LevelBoard:
    case LevelFull: {
        if (!typeWord)
            return BuildEmptyTree();
        TaskTree tree = BuildUserTree(*typeWord);
        if (level == LevelFull)
            addFirmwareNode(tree);
        addServiceNode(tree);
        tree.addChild(TreeCaption::Service, TreeCaption::BoardInfo, 43, TreeCommand::BoardInfo);
        if (level == LevelFull)
            tree.addChild(TreeCaption::Service, TreeCaption::Trace, 49, TreeCommand::Trace);
        return tree;
    }
    default:
        return BuildEmptyTree();
    }
}
