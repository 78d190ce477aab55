// The main window when another program replaced the data file under it.
#include "form_main.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/messages.h"
#include "security/form_welcome.h"
#include "store/datafile.h"

#include <QEvent>
#include <QScopedValueRollback>

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_catalogue && !m_reloadDeclined &&
        m_catalogue->isReplacedOutside())
        guard::run(this, [this] { offerReload(); });
}

void MainWindow::offerReload()
{
    if (m_askingReload || !m_catalogue || !m_catalogue->isReplacedOutside())
        return;
    const QScopedValueRollback<bool> asking(m_askingReload, true);
    const QString question =
        QStringLiteral("数据文件%1已在程序之外被替换（例如被同步工具或者从备份手工复制）。\n"
                       "程序显示的还是原来的内容；重新读入之前，程序不会向新的数据文件写入任何内容。\n\n"
                       "要现在重新读入数据文件吗？")
            .arg(describeFile(m_catalogue->path()));
    if (!msg::questionZh(this, question)) {
        m_reloadDeclined = true;
        return;
    }
    m_reloadDeclined = false;
    m_catalogue->reload();
    // The new file is let in by its own password, if it has one.
    if (m_catalogue->hasPassword() && !form_welcome->loginAgain())
        close();
}
