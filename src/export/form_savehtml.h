#pragma once

#include "savegriddialog.h"

// Saves the whole book table as an HTML page ("qmp2html.html").
class Tform_savehtml : public SaveGridDialog
{
    Q_OBJECT

public:
    explicit Tform_savehtml(QWidget *parent = nullptr);

    // The dialog's table and grid, under their own names.
    Dataset &table_html;
    ExportGrid *const gird_html;
};

extern Tform_savehtml *form_savehtml;
