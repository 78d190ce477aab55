#include "formdialog.h"

#include "guard.h"
#include "lineinput.h"

#include <QGuiApplication>
#include <QScreen>

#include <stdexcept>

FormDialog::FormDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

CatalogueView &FormDialog::catalogueView() const
{
    if (!m_view)
        throw std::logic_error("A dialog that changes the catalogue's view was given none.");
    return *m_view;
}

Catalogue &FormDialog::catalogue() const
{
    if (!m_catalogue)
        throw std::logic_error("A dialog was given no catalogue.");
    return *m_catalogue;
}

int FormDialog::showModal()
{
    return exec();
}

void FormDialog::setFixedClientSize(int width, int height)
{
    setFixedSize(width, height);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
}

void FormDialog::showEvent(QShowEvent *event)
{
    if (!parentWidget()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
    // No one-line box cuts what is typed or pasted into it.
    lineinput::liftLimits(this);
    guard::run(this, [this] { FormShow(); });
}
