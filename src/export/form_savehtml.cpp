#include "form_savehtml.h"

Tform_savehtml *form_savehtml = nullptr;

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

Tform_savehtml::Tform_savehtml(QWidget *parent)
    : SaveGridDialog(htmlKind(), parent)
    , table_html(m_table)
    , gird_html(m_grid)
{}
