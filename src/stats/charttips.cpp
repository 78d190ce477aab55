#include "charttips.h"

#include <QChartView>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>

ChartTips::ChartTips(QChartView *view)
    : QObject(view)
    , m_view(view)
{
    view->viewport()->installEventFilter(this);
}

void ChartTips::hover(bool over, const QString &tip)
{
    m_tip = over ? tip : QString();
    if (over)
        QToolTip::showText(QCursor::pos(), m_tip, m_view->viewport());
    else
        QToolTip::hideText();
}

void ChartTips::clear()
{
    m_tip.clear();
}

bool ChartTips::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::ToolTip && !m_tip.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_tip, m_view->viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
