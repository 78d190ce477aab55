#include "savegriddialog.h"

#include "catalogue/catalogue.h"
#include "components/exportgrid.h"
#include "components/guard.h"
#include "formats/gridexportexcel.h"
#include "store/programfolder.h"
#include "store/savetarget.h"
#include "store/usererror.h"
#include "ui_savegriddialog.h"

namespace {

// After a save box, also one that failed: the program folder is the current
// folder again. A failure to enter it must not hide the error that is on its
// way to the error box.
void enterProgramFolderQuietly() noexcept
{
    try {
        programfolder::enter();
    } catch (...) {
    }
}

} // namespace

SaveGridDialog::SaveGridDialog(const Kind &kind, QWidget *parent)
    : FormDialog(parent)
    , m_kind(kind)
    , ui(std::make_unique<Ui::SaveGridDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_save") + kind.name);
    setWindowTitle(kind.caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedClientSize(627, 424);

    m_grid = ui->gird;
    m_grid->setObjectName(QStringLiteral("gird_") + kind.name);
    m_grid->model()->setObjectName(QStringLiteral("datasource_") + kind.name);

    guard::connect(ui->button_ok, &QPushButton::clicked, this, &SaveGridDialog::save);
    guard::connect(ui->button_close, &QPushButton::clicked, this, &SaveGridDialog::leave);
}

SaveGridDialog::~SaveGridDialog()
{
    // The grid reads through the catalogue's connection; it lets go of it
    // with the window, before the catalogue goes.
    m_grid->close();
}

void SaveGridDialog::FormShow()
{
    programfolder::enter();
    // The first showing takes the books; later ones keep them.
    readTable();
    ui->button_ok->setFocus();
}

void SaveGridDialog::readTable()
{
    m_grid->open(catalogue());
}

void SaveGridDialog::save()
{
    try {
        // A grid that could not read the books at its first showing tries
        // again, from the program folder as then; when that fails too, its
        // error is shown and no file is asked for or written.
        if (!m_grid->isActive()) {
            programfolder::enter();
            readTable();
        }
        // A worksheet that cannot hold every book is refused before the
        // user picks a file.
        if (m_kind.worksheet)
            TGridExportExcel::checkRecordCount(m_grid->exportRecordCount(true));
        // The box's settings are given anew each time.
        const QString chosen = filedialog::saveFileName(this, m_kind.box);
        if (!chosen.isEmpty()) {
            // Refused before anything is written over the file the name
            // stands for.
            savetarget::check(chosen, m_kind.what, catalogue().path());
            if (m_kind.worksheet)
                m_grid->SaveToXLS(chosen, true);
            else
                m_grid->SaveToHTML(chosen, true);
        }
    } catch (...) {
        enterProgramFolderQuietly();
        throw;
    }
    programfolder::enter();
}

void SaveGridDialog::leave()
{
    m_grid->close();
    programfolder::enter();
    reject();
}
