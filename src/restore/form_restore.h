#pragma once

#include "cataloguecheck.h"
#include "components/formdialog.h"

#include <memory>

namespace Ui {
class RestoreWindow;
}

// The restore program's window: the user picks a backup, sees its date and
// number of books beside those of the current data file (named in the
// window), and on "还原" the backup takes its place, the old file kept as a
// safety copy.
class RestoreWindow : public FormDialog
{
    Q_OBJECT

public:
    // Restores into the catalogue whose data file is catalogue.
    explicit RestoreWindow(const QString &catalogue, QWidget *parent = nullptr);
    ~RestoreWindow() override;

    // The data file that is replaced: the catalogue the program uses (see
    // programfolder.h), the one beside it unless another was chosen.
    QString dataFile() const;

private:
    // Asks for a backup and shows its date and books beside the current
    // file's; a file that is no catalogue, or the current one, is refused.
    void chooseBackup();
    // Puts the chosen backup in the current file's place after a question,
    // then offers to start the program on it.
    void restoreBackup();

    // Shows what the current data.qmd holds.
    void showCurrent();
    void showBackup(const restore::CatalogueFacts &facts);
    void forgetBackup();

    std::unique_ptr<Ui::RestoreWindow> ui;
    QString m_dataFile; // absolute
    QString m_backup;   // the chosen backup, "" while none is chosen
    restore::CatalogueFacts m_backupFacts;
    restore::CatalogueFacts m_currentFacts;
};

extern RestoreWindow *form_restore;
