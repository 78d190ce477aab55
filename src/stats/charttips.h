#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

class QChartView;

// The tooltip of the chart part under the mouse (a bar or a slice). The
// chart says which part that is as the mouse enters it; the view's own
// tooltip event, a moment later, would hide the text again, as no item of
// the chart has a tooltip of its own: that event shows the part's text.
class ChartTips : public QObject
{
    Q_OBJECT

public:
    // Watches the view's tooltip events from now on.
    explicit ChartTips(QChartView *view);

    // The mouse entered (over) or left a part whose tooltip is `tip`.
    void hover(bool over, const QString &tip);
    // No part under the mouse, as when the chart is drawn afresh.
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_viewport;
    QString m_tip;
};
