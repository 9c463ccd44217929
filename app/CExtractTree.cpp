#include "CExtractTree.h"

#include <QIcon>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <vector>

namespace {

// Each node keeps its name case-folded, and whether it holds others (archives and folders).
constexpr int kFoldedRole = Qt::UserRole;
constexpr int kContainerRole = Qt::UserRole + 1;

bool IsContainer(const QTreeWidgetItem* item) {
    return item->data(0, kContainerRole).toBool();
}

QString Folded(const QTreeWidgetItem* item) {
    return item->data(0, kFoldedRole).toString();
}

// Where a node of this kind and name goes among the children of parent: after the nodes that
// sort before it or equal it, so that nodes of one name keep their order of arrival.
int PlaceOf(const QTreeWidgetItem* parent, bool container, const QString& folded) {
    int low = 0;
    int high = parent->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const QTreeWidgetItem* child = parent->child(middle);
        const bool childContainer = IsContainer(child);
        const bool before =
            childContainer != container ? childContainer : Folded(child).compare(folded) <= 0;
        if (before) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

CExtractTree::~CExtractTree() {
    for (QTreeWidgetItem* node : held) {
        delete node;
    }
}

QTreeWidgetItem* CExtractTree::Parent(QTreeWidgetItem* parent) const {
    return parent != nullptr ? parent : tree->invisibleRootItem();
}

bool CExtractTree::CompareNodes(const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    const bool folderA = a->childCount() > 0;
    const bool folderB = b->childCount() > 0;
    if (folderA != folderB) {
        return folderA;
    }
    return Folded(a).compare(Folded(b)) < 0;
}

QTreeWidgetItem* CExtractTree::InsertNode(QTreeWidgetItem* parent, const QString& text,
                                          const QIcon& icon, bool hasChildren) {
    QTreeWidgetItem* into = Parent(parent);
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setIcon(0, icon);
    const QString folded = text.toCaseFolded();
    item->setData(0, kFoldedRole, folded);
    item->setData(0, kContainerRole, hasChildren);
    if (hasChildren) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (parent == nullptr && holding) {
        held.push_back(item);
        return item;
    }
    // A node marked as holding others gets its first child at once (an archive's only later,
    // and SortTopLevel puts the archives in order), so its mark tells where it ends up.
    into->insertChild(PlaceOf(into, hasChildren, folded), item);
    return item;
}

namespace {

// Opens every node below node that holds others, node included.
void OpenAll(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> open{node};
    while (!open.empty()) {
        QTreeWidgetItem* folder = open.back();
        open.pop_back();
        if (folder->childCount() > 0) {
            folder->setExpanded(true);
            for (int c = 0; c < folder->childCount(); ++c) {
                open.push_back(folder->child(c));
            }
        }
    }
}

}  // namespace

void CExtractTree::Attach() {
    QTreeWidgetItem* root = tree->invisibleRootItem();
    for (QTreeWidgetItem* node : held) {
        root->insertChild(PlaceOf(root, IsContainer(node), Folded(node)), node);
        OpenAll(node);
    }
    held.clear();
}

QTreeWidgetItem* CExtractTree::FindChildNode(QTreeWidgetItem* parent, const QString& text) const {
    const QTreeWidgetItem* in = Parent(parent);
    const QString folded = text.toCaseFolded();
    // Folders are first and in order: the first folder not before the name is the one, if any.
    int low = 0;
    int high = in->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const QTreeWidgetItem* child = in->child(middle);
        if (IsContainer(child) && Folded(child).compare(folded) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < in->childCount()) {
        QTreeWidgetItem* found = in->child(low);
        if (IsContainer(found) && Folded(found) == folded) {
            return found;
        }
    }
    return nullptr;
}

QTreeWidgetItem* CExtractTree::AddFolderNodes(QTreeWidgetItem* archive,
                                              const std::string& subFolder,
                                              const QIcon& folderIcon) {
    QTreeWidgetItem* current = archive;
    size_t start = 0;
    for (size_t end = subFolder.find('\\'); end != std::string::npos;
         start = end + 1, end = subFolder.find('\\', start)) {
        if (end == start) {
            continue;
        }
        const QString name =
            QString::fromUtf8(subFolder.data() + start, static_cast<qsizetype>(end - start));
        QTreeWidgetItem* child = FindChildNode(current, name);
        current = child != nullptr ? child : InsertNode(current, name, folderIcon, true);
    }
    return current;
}

QTreeWidgetItem* CExtractTree::AddFileNode(QTreeWidgetItem* folder, const QString& name,
                                           const QIcon& icon) {
    QTreeWidgetItem* item = InsertNode(folder, name, icon, false);
    if (item->treeWidget() == nullptr) {
        return item;  // held off the view: opened when it is attached
    }
    // Shown as it arrives: the folders above it open. Scrolling to it waits until the tree is
    // on screen, where it costs a layout of the whole tree each time.
    for (QTreeWidgetItem* above = folder; above != nullptr; above = above->parent()) {
        if (above->isExpanded()) {
            break;
        }
        above->setExpanded(true);
    }
    return item;
}

void CExtractTree::SortTopLevel() {
    // Archives went in among the archives in name order; one that received nothing counts as
    // a file and goes after them (and back, should it receive something after a cancel). Only
    // those nodes move.
    QTreeWidgetItem* root = tree->invisibleRootItem();
    std::vector<QTreeWidgetItem*> moved;
    for (int i = root->childCount() - 1; i >= 0; --i) {
        const QTreeWidgetItem* node = root->child(i);
        if (IsContainer(node) != (node->childCount() > 0)) {
            moved.push_back(root->takeChild(i));
        }
    }
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        QTreeWidgetItem* node = *it;
        const bool container = node->childCount() > 0;
        node->setData(0, kContainerRole, container);
        root->insertChild(PlaceOf(root, container, Folded(node)), node);
        // Taken out, its folders forgot that they were open.
        OpenAll(node);
    }
}
