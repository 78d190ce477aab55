#pragma once

#include "savegriddialog.h"

// Saves the whole book table as an HTML page ("qmp2html.html").
// Its object name is form_savehtml.
class HtmlExportDialog : public SaveGridDialog
{
    Q_OBJECT

public:
    explicit HtmlExportDialog(QWidget *parent = nullptr);
};

extern HtmlExportDialog *form_savehtml;
