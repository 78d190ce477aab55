// The main window's category tree and its commands.
#include "form_main.h"

#include "catalogue/bookquery.h"
#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/messages.h"
#include "lists/form_modcate.h"

#include <QTreeWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The longest stretch of changed names (the old ones times the new ones)
// matched name by name; beyond it every node of the stretch is reused in
// order.
constexpr qsizetype kLongestMatch = 1000000;

// The pairs (old, new) of equal names that stay when the names old[a, b)
// become new[c, d): a longest common run, in order.
std::vector<std::pair<int, int>> keptNames(const QStringList &old, int a, int b, const QStringList &now, int c, int d)
{
    const int n = b - a;
    const int m = d - c;
    std::vector<std::pair<int, int>> kept;
    if (n == 0 || m == 0 || qsizetype(n) * m > kLongestMatch)
        return kept;
    // length[i][j]: the longest common run of old[a + i, b) and now[c + j, d).
    std::vector<std::vector<int>> length(size_t(n) + 1, std::vector<int>(size_t(m) + 1, 0));
    for (int i = n - 1; i >= 0; --i)
        for (int j = m - 1; j >= 0; --j)
            length[size_t(i)][size_t(j)] =
                old[a + i] == now[c + j] ? length[size_t(i) + 1][size_t(j) + 1] + 1
                                         : std::max(length[size_t(i) + 1][size_t(j)], length[size_t(i)][size_t(j) + 1]);
    for (int i = 0, j = 0; i < n && j < m;) {
        if (old[a + i] == now[c + j]) {
            kept.emplace_back(a + i, c + j);
            ++i;
            ++j;
        } else if (length[size_t(i) + 1][size_t(j)] >= length[size_t(i)][size_t(j) + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return kept;
}

} // namespace

void MainWindow::fillTree()
{
    const QStringList names = m_catalogue->categoryNames();
    treeview_main->clear();
    const QIcon icon(QStringLiteral(":/icons/tree.png"));
    auto *root = new QTreeWidgetItem(treeview_main, {QStringLiteral("全部分类")});
    root->setIcon(0, icon);
    treeview_main->setCurrentItem(root);
    for (const QString &name : names) {
        auto *node = new QTreeWidgetItem(root, {name});
        node->setIcon(0, icon);
    }
    treeview_main->expandAll();
}

void MainWindow::followCategories()
{
    connect(m_catalogue, &Catalogue::categoriesChanged, this,
            [this] { guard::run(this, [this] { showCategories(); }); });
}

void MainWindow::showCategories()
{
    // Every category node stands directly under the root, where the tree's
    // click, rename and delete commands find it.
    QTreeWidgetItem *root = treeview_main->topLevelItem(0);
    if (!root)
        return; // the tree could not be filled at start
    const QStringList names = m_catalogue->categoryNames();
    QStringList shown;
    shown.reserve(root->childCount());
    for (int i = 0; i < root->childCount(); ++i)
        shown << root->child(i)->text(0);

    // The nodes follow the names with as few changes as can be found: a
    // category added gets a new node, a renamed one keeps its node (and the
    // selection) under the new name, a removed one loses its node.
    int first = 0;
    while (first < shown.size() && first < names.size() && shown[first] == names[first])
        ++first;
    int last = 0; // names kept at the end
    while (last < shown.size() - first && last < names.size() - first &&
           shown[shown.size() - 1 - last] == names[names.size() - 1 - last])
        ++last;
    std::vector<std::pair<int, int>> kept =
        keptNames(shown, first, int(shown.size()) - last, names, first, int(names.size()) - last);
    kept.emplace(kept.begin(), first - 1, first - 1);
    kept.emplace_back(int(shown.size()) - last, int(names.size()) - last);

    // The stretches between kept names, from the last one up, so that the
    // places of those before stay valid.
    for (size_t k = kept.size() - 1; k > 0; --k) {
        const int oldFrom = kept[k - 1].first + 1;
        const int oldTo = kept[k].first;
        const int newFrom = kept[k - 1].second + 1;
        const int newTo = kept[k].second;
        const int renamed = std::min(oldTo - oldFrom, newTo - newFrom);
        for (int i = 0; i < renamed; ++i)
            root->child(oldFrom + i)->setText(0, names[newFrom + i]);
        for (int i = oldTo - 1; i >= oldFrom + renamed; --i)
            delete root->child(i);
        QList<QTreeWidgetItem *> added;
        for (int j = newFrom + renamed; j < newTo; ++j) {
            auto *node = new QTreeWidgetItem({names[j]});
            node->setIcon(0, root->icon(0));
            added << node;
        }
        root->insertChildren(oldFrom + renamed, added);
    }
    root->setExpanded(true);
}

QString MainWindow::selectedCategory() const
{
    const QTreeWidgetItem *node = treeview_main->currentItem();
    return node ? node->text(0) : QString();
}

// The view's old calls: no window makes them any more, since the tree follows
// the catalogue; they show the stored categories as a change does.
void MainWindow::categoryAdded(const QString &name)
{
    Q_UNUSED(name)
    showCategories();
}

void MainWindow::categoryRenamed(const QString &oldName, const QString &newName)
{
    Q_UNUSED(oldName)
    Q_UNUSED(newName)
    showCategories();
}

int MainWindow::selectedTreeLevel() const
{
    const QTreeWidgetItem *item = treeview_main->currentItem();
    if (!item)
        return -1;
    int level = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++level;
    return level;
}

void MainWindow::listSelectedCategory()
{
    switch (selectedTreeLevel()) {
    case 0:
        fillBookList(BookQuery::all());
        break;
    case 1:
        fillBookList(BookQuery::inCategory(treeview_main->currentItem()->text(0)));
        break;
    default:
        break; // deeper nodes keep the list as it is
    }
}

void MainWindow::renameSelectedCategory()
{
    if (selectedTreeLevel() != 1) {
        msg::plain(this, QStringLiteral("请在左边栏选择一个分类进行修改"));
        return;
    }
    form_modcate->editCategory(treeview_main->currentItem()->text(0));
}

void MainWindow::deleteSelectedCategory()
{
    const int level = selectedTreeLevel();
    if (level == 0) {
        msg::plain(this, QStringLiteral("不能删除总类别"));
        return;
    }
    if (level != 1) {
        msg::plain(this, QStringLiteral("请选择要删除的类别"));
        return;
    }
    // The node goes when the catalogue says the category went.
    if (!m_catalogue->removeCategory(treeview_main->currentItem()->text(0)))
        msg::plain(this, QStringLiteral("该类别中存有书籍资料，不能删除！"));
}
