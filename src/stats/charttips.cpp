#include "charttips.h"

#include <QChartView>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>

ChartTips::ChartTips(QChartView *view)
    : QObject(view)
    , m_viewport(view->viewport())
{
    // The viewport is kept as it is now: events reach this filter while the
    // view is being destroyed, when the view can no longer be asked for it.
    m_viewport->installEventFilter(this);
}

void ChartTips::hover(bool over, const QString &tip)
{
    m_tip = over ? tip : QString();
    if (over && m_viewport)
        QToolTip::showText(QCursor::pos(), m_tip, m_viewport);
    else
        QToolTip::hideText();
}

void ChartTips::clear()
{
    m_tip.clear();
}

bool ChartTips::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && event->type() == QEvent::ToolTip && !m_tip.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_tip, m_viewport);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
