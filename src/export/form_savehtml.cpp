#include "form_savehtml.h"

HtmlExportDialog *form_savehtml = nullptr;

namespace {

SaveGridDialog::Kind htmlKind()
{
    SaveGridDialog::Kind kind;
    kind.name = QStringLiteral("html");
    kind.caption = QStringLiteral("存为HTML文件");
    kind.what = QStringLiteral("HTML文件");
    kind.box.defaultSuffix = QStringLiteral("html");
    kind.box.filter = QStringLiteral("HTML 文件 (*.html)");
    kind.box.proposedName = QStringLiteral("qmp2html.html");
    kind.worksheet = false;
    return kind;
}

} // namespace

HtmlExportDialog::HtmlExportDialog(QWidget *parent)
    : SaveGridDialog(htmlKind(), parent)
{}
