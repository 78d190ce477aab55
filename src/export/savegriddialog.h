#pragma once

#include "components/filedialog.h"
#include "components/formdialog.h"

#include <memory>

class ExportGrid;

namespace Ui {
class SaveGridDialog;
}

// The layout and the handlers of the two export dialogs: the whole book
// table in a read-only grid, "保存" to write it to a file of the dialog's
// type, "取消" to leave. The books, in their order, are taken when the
// dialog is first shown and kept until the user leaves through "取消";
// closing the window otherwise keeps them, and the next showing shows the
// same rows, their values read afresh. When the first showing could not read
// them, "保存" reads them before anything else and saves nothing unless that
// succeeds.
class SaveGridDialog : public FormDialog
{
    Q_OBJECT

public:
    ~SaveGridDialog() override;

    // What differs between the two dialogs.
    struct Kind
    {
        QString name;            // "excel" or "html": the components' names end in it
        QString caption;         // the window's caption
        QString what;            // what is saved, as the messages name it ("HTML文件")
        filedialog::Options box; // the save box's extension, filter and proposed name
        bool worksheet = false;  // true: an Excel worksheet; false: an HTML page
    };

    // The grid (its object name gird_excel or gird_html).
    ExportGrid *grid() const { return m_grid; }

protected:
    SaveGridDialog(const Kind &kind, QWidget *parent);

    void FormShow() override;

private:
    // Takes the books unless the grid holds them; then their values are
    // read afresh.
    void readTable();
    // "保存": asks for a file and writes every book into it.
    void save();
    // "取消": lets the books go and closes.
    void leave();

    ExportGrid *m_grid = nullptr;

    Kind m_kind;
    std::unique_ptr<Ui::SaveGridDialog> ui;
};
