// The tree's order whatever order the nodes arrive in, and finding folders whatever their case.
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <random>

#include "CExtractTree.h"

class ExtractTreeTest : public QObject {
    Q_OBJECT

private slots:
    void insertionKeepsTheComparisonsOrder();
    void findChildNodeIgnoresCaseAndFiles();
};

void ExtractTreeTest::insertionKeepsTheComparisonsOrder() {
    const QStringList names = {"b.txt",  "A.txt", "a.txt", "Z",    "é.txt", "É2.txt",
                               "10.txt", "9.txt", "_x",    "maps", "Maps2", "zz",
                               "B.TXT",  "c",     "",      "~"};
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        QTreeWidget widget;
        CExtractTree tree(&widget);
        QTreeWidgetItem* archive = tree.InsertNode(nullptr, "a.zip", QIcon(), true);
        std::vector<std::pair<QString, bool>> nodes;
        for (const QString& name : names) {
            nodes.emplace_back(name, name.startsWith(QLatin1Char('m')) ||
                                         name.startsWith(QLatin1Char('M')) || name == "Z");
        }
        std::shuffle(nodes.begin(), nodes.end(), random);
        for (const auto& [name, folder] : nodes) {
            QTreeWidgetItem* node = tree.InsertNode(archive, name, QIcon(), folder);
            if (folder) {
                tree.AddFileNode(node, "inside", QIcon());
            }
        }
        QCOMPARE(archive->childCount(), int(names.size()));
        for (int i = 1; i < archive->childCount(); ++i) {
            // Never the later before the earlier, as the comparison sees them at the end.
            QVERIFY2(
                !CExtractTree::CompareNodes(archive->child(i), archive->child(i - 1)),
                qPrintable(archive->child(i - 1)->text(0) + " / " + archive->child(i)->text(0)));
        }
        QVERIFY(archive->isExpanded());
    }
}

void ExtractTreeTest::findChildNodeIgnoresCaseAndFiles() {
    QTreeWidget widget;
    CExtractTree tree(&widget);
    QTreeWidgetItem* archive = tree.InsertNode(nullptr, "a.zip", QIcon(), true);
    tree.AddFileNode(archive, "maps", QIcon());  // a file of that name is not a folder
    QTreeWidgetItem* maps = tree.AddFolderNodes(archive, "Maps\\sub\\", QIcon());
    QCOMPARE(maps->text(0), QStringLiteral("sub"));
    QCOMPARE(tree.AddFolderNodes(archive, "MAPS\\SUB\\", QIcon()), maps);
    QCOMPARE(tree.FindChildNode(archive, "mAPs")->text(0), QStringLiteral("Maps"));
    QCOMPARE(tree.FindChildNode(archive, "map"), nullptr);
    QCOMPARE(tree.AddFolderNodes(archive, "", QIcon()), archive);
    QCOMPARE(archive->childCount(), 2);
}

QTEST_MAIN(ExtractTreeTest)
#include "ExtractTreeTest.moc"
