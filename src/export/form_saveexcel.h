#pragma once

#include "savegriddialog.h"

// Saves the whole book table as an Excel worksheet ("qmp2xls.xls").
class Tform_saveexcel : public SaveGridDialog
{
    Q_OBJECT

public:
    explicit Tform_saveexcel(QWidget *parent = nullptr);

    // The dialog's table and grid, under their own names.
    Dataset &table_excel;
    ExportGrid *const gird_excel;
};

extern Tform_saveexcel *form_saveexcel;
