// The main window's category tree and its commands.
#include "form_main.h"

#include "catalogue/bookquery.h"
#include "components/messages.h"
#include "lists/form_modcate.h"

#include <QTreeWidget>

namespace {

// The books of a category; the name is bound, whatever it holds.
const QString kCategoryBooks = QStringLiteral("select * from book where book_cate=?");

} // namespace

void Tform_main::fillTree()
{
    ScopedClose closing(ado_main);
    ado_main.setCommandText(QStringLiteral("select * from category"));
    ado_main.open();
    treeview_main->clear();
    const QIcon icon(QStringLiteral(":/icons/tree.png"));
    auto *root = new QTreeWidgetItem(treeview_main, {QStringLiteral("全部分类")});
    root->setIcon(0, icon);
    treeview_main->setCurrentItem(root);
    const int nameColumn = ado_main.fieldIndex(u"cate_name");
    for (int i = 0; i < ado_main.recordCount(); ++i) {
        auto *node = new QTreeWidgetItem(root, {ado_main.fieldText(nameColumn)});
        node->setIcon(0, icon);
        ado_main.next();
    }
    treeview_main->expandAll();
}

QString Tform_main::selectedCategory() const
{
    const QTreeWidgetItem *node = treeview_main->currentItem();
    return node ? node->text(0) : QString();
}

void Tform_main::categoryAdded(const QString &name)
{
    // Every category node stands directly under the root, where the tree's
    // click, rename and delete commands find it.
    if (QTreeWidgetItem *root = treeview_main->topLevelItem(0)) {
        auto *node = new QTreeWidgetItem(root, {name});
        node->setIcon(0, root->icon(0));
        root->setExpanded(true);
    }
}

void Tform_main::categoryRenamed(const QString &oldName, const QString &newName)
{
    Q_UNUSED(oldName)
    if (QTreeWidgetItem *node = treeview_main->currentItem())
        node->setText(0, newName);
}

int Tform_main::selectedTreeLevel() const
{
    const QTreeWidgetItem *item = treeview_main->currentItem();
    if (!item)
        return -1;
    int level = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++level;
    return level;
}

void Tform_main::treeview_mainClick()
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

void Tform_main::meeditcateClick()
{
    if (selectedTreeLevel() != 1) {
        msg::plain(this, QStringLiteral("请在左边栏选择一个分类进行修改"));
        return;
    }
    form_modcate->showModal();
}

void Tform_main::medelcateClick()
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
    QTreeWidgetItem *node = treeview_main->currentItem();
    const QString name = node->text(0);
    ScopedClose closingTemp(ado_temp);
    ado_temp.setCommandText(kCategoryBooks, {name});
    ado_temp.open();
    if (ado_temp.recordCount() > 0) {
        msg::plain(this, QStringLiteral("该类别中存有书籍资料，不能删除！"));
        return;
    }
    {
        ScopedClose closing(ado_main);
        ado_main.setCommandText(QStringLiteral("select * from category where cate_name=?"), {name});
        ado_main.open();
        if (ado_main.recordCount() > 0)
            ado_main.deleteRecord();
    }
    delete node;
}
