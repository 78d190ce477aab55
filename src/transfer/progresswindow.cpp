#include "progresswindow.h"

#include <QProgressDialog>

ProgressWindow::ProgressWindow(QWidget *parent, QString label)
    : m_parent(parent)
    , m_label(std::move(label))
{}

ProgressWindow::~ProgressWindow() = default;

bool ProgressWindow::update(qint64 done, qint64 total)
{
    if (!m_dialog) {
        if (total < kShownFrom)
            return true;
        m_dialog = std::make_unique<QProgressDialog>(m_label, QStringLiteral("取消"), 0, 100, m_parent);
        m_dialog->setObjectName(QStringLiteral("progress_csv"));
        m_dialog->setWindowTitle(m_label);
        m_dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setValue(0);
        m_dialog->show();
    }
    // The bar moves by whole percents: each move lets the window answer
    // the screen and the button.
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    if (percent != m_shownPercent) {
        m_shownPercent = percent;
        m_dialog->setValue(percent);
    }
    return !m_dialog->wasCanceled();
}

void ProgressWindow::close()
{
    m_dialog.reset();
}
