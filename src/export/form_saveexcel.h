#pragma once

#include "savegriddialog.h"

// Saves the whole book table as an Excel worksheet ("qmp2xls.xls").
// Its object name is form_saveexcel.
class ExcelExportDialog : public SaveGridDialog
{
    Q_OBJECT

public:
    explicit ExcelExportDialog(QWidget *parent = nullptr);
};

extern ExcelExportDialog *form_saveexcel;
