#pragma once

#include <QString>
#include <string>
#include <vector>

class QIcon;
class QTreeWidget;
class QTreeWidgetItem;

// The tree of extracted files: archives at the top, their folders and files below. Folders come
// before files, then names in case-insensitive order. Each node is put at its place when it is
// inserted, so that a large archive never sorts its sibling lists again.
class CExtractTree {
public:
    explicit CExtractTree(QTreeWidget* tree) : tree(tree) {}
    // Nodes still held off the view belong to the tree alone.
    ~CExtractTree();
    CExtractTree(const CExtractTree&) = delete;
    CExtractTree& operator=(const CExtractTree&) = delete;

    // A node below parent (null: the top level); hasChildren marks archives and folders.
    QTreeWidgetItem* InsertNode(QTreeWidgetItem* parent, const QString& text, const QIcon& icon,
                                bool hasChildren);
    // The first child of parent whose name equals text, case ignored; null when there is none.
    // Only folders are looked for: a file node never holds others.
    QTreeWidgetItem* FindChildNode(QTreeWidgetItem* parent, const QString& text) const;
    // The folder nodes of subFolder ("maps\sub\") below the archive's node; the deepest one.
    QTreeWidgetItem* AddFolderNodes(QTreeWidgetItem* archive, const std::string& subFolder,
                                    const QIcon& folderIcon);
    // A file node below a folder node, shown: every node above it is expanded.
    QTreeWidgetItem* AddFileNode(QTreeWidgetItem* folder, const QString& name, const QIcon& icon);
    // While held, a new archive's node and all below it are built off the view: a view takes
    // each node it is given through its model, which costs more than the node. Attach hands
    // them over, in their places and open.
    void HoldTopLevel(bool hold) { holding = hold; }
    void Attach();
    // Puts the archives in order once they have their content: an archive with none counts as
    // a file.
    void SortTopLevel();

    // The order of two nodes: a node with children before one without, then their names.
    static bool CompareNodes(const QTreeWidgetItem* a, const QTreeWidgetItem* b);

private:
    QTreeWidgetItem* Parent(QTreeWidgetItem* parent) const;

    QTreeWidget* tree;
    bool holding = false;
    std::vector<QTreeWidgetItem*> held;
};
