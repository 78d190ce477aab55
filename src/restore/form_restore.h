#pragma once

#include "cataloguecheck.h"
#include "components/formdialog.h"

#include <memory>

namespace Ui {
class Tform_restore;
}

// The restore program's window: the user picks a backup, sees its date and
// number of books beside those of the current data file (named in the
// window), and on "还原" the backup takes its place, the old file kept as a
// safety copy.
class Tform_restore : public FormDialog
{
    Q_OBJECT

public:
    // Restores into the catalogue whose data file is catalogue.
    explicit Tform_restore(const QString &catalogue, QWidget *parent = nullptr);
    ~Tform_restore() override;

    // The data file that is replaced: the catalogue the program uses (see
    // programfolder.h), the one beside it unless another was chosen.
    QString dataFile() const;

private:
    void button_openClick();
    void button_restoreClick();
    void button_closeClick();

    // Shows what the current data.qmd holds.
    void showCurrent();
    void showBackup(const restore::CatalogueFacts &facts);
    void forgetBackup();

    std::unique_ptr<Ui::Tform_restore> ui;
    QString m_dataFile; // absolute
    QString m_backup; // the chosen backup, "" while none is chosen
    restore::CatalogueFacts m_backupFacts;
    restore::CatalogueFacts m_currentFacts;
};

extern Tform_restore *form_restore;
