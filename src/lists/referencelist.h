#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <QByteArray>
#include <QIcon>

#include <array>
#include <memory>

struct ReferenceTexts;

namespace Ui {
class ReferenceList;
}

// The three short name lists the book dialogs offer (publishers, authors,
// readers): one dialog design, the member's texts and table from a table.
class ReferenceList : public FormDialog
{
    Q_OBJECT

public:
    enum class Member { Publishers, Authors, Readers };

    ~ReferenceList() override;

    // Fills the list from the member's table.
    void FormCreate() override;

protected:
    explicit ReferenceList(Member member, QWidget *parent = nullptr);

    // The member's own dataset.
    virtual Dataset &dataset() = 0;

    void FormShow() override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormHide();
    void editChange();
    void button1Click();
    void button2Click();
    void button3Click();
    void listviewColumnClick(int column);
    // <0 when the row keyed a goes before the row keyed b, by the remembered
    // column's flag: true ascending, false descending.
    int listviewCompare(const QByteArray &a, const QByteArray &b) const;

    void addRow(const QString &name, const QString &number);

    const ReferenceTexts &m_texts;
    std::unique_ptr<Ui::ReferenceList> ui;
    QIcon m_picture; // every row shows it before the name
    // Sorting, kept for the program's lifetime: the column last clicked and
    // one direction flag per column.
    int m_sortColumn = 0;
    std::array<bool, 2> m_sortAscending{};
};
