#include "form_saveexcel.h"

ExcelExportDialog *form_saveexcel = nullptr;

namespace {

SaveGridDialog::Kind excelKind()
{
    SaveGridDialog::Kind kind;
    kind.name = QStringLiteral("excel");
    kind.caption = QStringLiteral("另存为EXCEL文档");
    kind.what = QStringLiteral("Excel工作表");
    kind.box.defaultSuffix = QStringLiteral("xls");
    kind.box.filter = QStringLiteral("微软 Excel 工作表 (*.xls)");
    kind.box.proposedName = QStringLiteral("qmp2xls.xls");
    kind.worksheet = true;
    return kind;
}

} // namespace

ExcelExportDialog::ExcelExportDialog(QWidget *parent)
    : SaveGridDialog(excelKind(), parent)
{}
