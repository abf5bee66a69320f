#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "shell/TreeCommand.h"

// The contents of the task tree, without a widget: captions, image indices and what a double
// click on each node does.
struct TreeNode {
    QString caption;
    int image = -1;
    std::vector<TreeNode> children;
    TreeCommand command = TreeCommand::None;
};

class TaskTree {
public:
    std::vector<TreeNode> roots;

    // Index of the first node whose caption equals the text exactly, counting every node in
    // stored order (each node before its children) from 0; -1 when there is none.
    int FindNode(const QString& caption) const;
    // Sets the image of the node FindNode gives; nothing when there is none.
    void SetNodeImage(const QString& caption, int image);
    // Appends a node under the node FindNode gives; skipped when there is none.
    void addChild(const QString& parentCaption, const QString& caption, int image,
                  TreeCommand command = TreeCommand::None);
    void addRoot(const QString& caption, int image);

    TreeNode* find(const QString& caption);
};

namespace TreeCaption {
inline const QString Tasks = QStringLiteral("Задачи");
inline const QString Read = QStringLiteral("Прочитать");
inline const QString Write = QStringLiteral("Записать");
inline const QString Statistics = QStringLiteral("Статистика");
inline const QString Firmware = QStringLiteral("Загрузка ПО");
inline const QString LinkChannel = QStringLiteral("Канал связи");
// The first letter of "Cеть" and "Cервис" is the Latin C.
inline const QString Net = QStringLiteral("Cеть");
inline const QString Link = QStringLiteral("Соединение");
inline const QString Devices = QStringLiteral("Устройства");
inline const QString Codec = QStringLiteral("Кодек");
inline const QString Vocoder = QStringLiteral("Вокодер");
inline const QString Recorder = QStringLiteral("Регистратор");
inline const QString Amplifier = QStringLiteral("Усилитель НЧ");
inline const QString Info = QStringLiteral("Информация");
inline const QString Service = QStringLiteral("Cервис");
inline const QString BoardInfo = QStringLiteral("Board Info");
inline const QString Trace = QStringLiteral("Trace");
}

// The tree without a record: "Задачи" with "Прочитать".
TaskTree BuildEmptyTree();
// The user tree for the controller the record's TypeWord names.
TaskTree BuildUserTree(std::uint16_t typeWord);
// The tree of a service level, with or without a record. Levels 4 and 5 always have a record in
// the main window (a blank one when none was read); without one they give the empty tree.
TaskTree BuildTree(int level, std::optional<std::uint16_t> typeWord);
