#pragma once

#include "catalogue/catalogue.h"
#include "components/formdialog.h"

#include <QByteArray>
#include <QIcon>

#include <array>
#include <memory>

struct ReferenceTexts;

namespace Ui {
class ReferenceList;
}

// The three short name lists the book dialogs offer (publishers, authors,
// book friends): one dialog design, the list's texts from a table. It shows
// the catalogue's names with their numbers, adds and removes them.
class ReferenceList : public FormDialog
{
    Q_OBJECT

public:
    ~ReferenceList() override;

    // Fills the list from the catalogue.
    void FormCreate() override;

protected:
    explicit ReferenceList(Catalogue::NameList names, QWidget *parent = nullptr);

    void FormShow() override;
    void hideEvent(QHideEvent *event) override;

private:
    // A name typed and not added is dropped; the next opening starts empty.
    void dropTypedName();
    void enableAdd();
    void addName();
    void removeSelectedName();
    void sortByColumn(int column);
    // <0 when the row keyed a goes before the row keyed b, by the remembered
    // column's flag: true ascending, false descending.
    int compareRows(const QByteArray &a, const QByteArray &b) const;

    void addRow(const QString &name, qint64 number);

    const Catalogue::NameList m_list;
    const ReferenceTexts &m_texts;
    std::unique_ptr<Ui::ReferenceList> ui;
    QIcon m_picture; // every row shows it before the name
    // Sorting, kept for the program's lifetime: the column last clicked and
    // one direction flag per column.
    int m_sortColumn = 0;
    std::array<bool, 2> m_sortAscending{};
};
