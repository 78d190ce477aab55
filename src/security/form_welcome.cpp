#include "form_welcome.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/messages.h"
#include "ui_form_welcome.h"

#include <QApplication>
#include <QStyle>

WelcomeDialog *form_welcome = nullptr;

namespace {

const QString kWrongPasswordCaption = QStringLiteral("密码错误");

} // namespace

WelcomeDialog::WelcomeDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::WelcomeDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_welcome"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedClientSize(400, 269);

    QPalette sky = palette();
    sky.setColor(QPalette::Window, QColor(166, 202, 240));
    setPalette(sky);
    setAutoFillBackground(true);

    QPalette red = ui->label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui->label2->setPalette(red);

    // The wrong-password box is only as wide as its short text, and its
    // title bar then cuts the caption: the box gets room for the caption,
    // drawn bold, beside the title bar's icon and three buttons.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int captionRoom = QFontMetrics(titleFont).horizontalAdvance(kWrongPasswordCaption) +
                            4 * style()->pixelMetric(QStyle::PM_TitleBarHeight);
    setStyleSheet(QStringLiteral("QMessageBox[windowTitle=\"%1\"] QDialogButtonBox { min-width: %2px; }")
                      .arg(kWrongPasswordCaption)
                      .arg(captionRoom));

    guard::connect(ui->button_ok, &QPushButton::clicked, this, &WelcomeDialog::checkPassword);
}

WelcomeDialog::~WelcomeDialog() = default;

void WelcomeDialog::FormCreate()
{
    if (!catalogue().hasPassword()) {
        ui->edit_passwd->hide();
        ui->label2->setText(QString());
    } else {
        ui->edit_passwd->show();
        ui->label2->setText(QStringLiteral("请输入数据库密码"));
    }
}

void WelcomeDialog::FormShow()
{
    ui->button_ok->setFocus();
}

bool WelcomeDialog::login()
{
    const bool passed = showModal() == Accepted;
    m_loggedIn = passed;
    return passed;
}

bool WelcomeDialog::loginAgain()
{
    m_loggedIn = false;
    ui->edit_passwd->clear();
    FormCreate();
    return login();
}

void WelcomeDialog::checkPassword()
{
    // Once the user is in, this dialog is the about box: OK only closes it.
    if (m_loggedIn) {
        accept();
        return;
    }
    if (catalogue().passwordMatches(ui->edit_passwd->text())) {
        accept();
        return;
    }
    msg::plain(this, QStringLiteral("密码输入有误..."), kWrongPasswordCaption);
    // A refused login ends the program: the main window's show event, which
    // asked for it, closes the main window before it was ever shown.
    done(Rejected);
}
