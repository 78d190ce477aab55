#include "form_welcome.h"

#include "components/guard.h"
#include "components/messages.h"
#include "ui_form_welcome.h"

#include <QApplication>
#include <QStyle>

Tform_welcome *form_welcome = nullptr;

namespace {

const QString kWrongPasswordCaption = QStringLiteral("密码错误");

} // namespace

Tform_welcome::Tform_welcome(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_welcome>())
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

    guard::connect(ui->button_ok, &QPushButton::clicked, this, &Tform_welcome::button_okClick);
}

Tform_welcome::~Tform_welcome() = default;

void Tform_welcome::FormCreate()
{
    ScopedClose closing(ado_welcome);
    ado_welcome.setCommandText(QStringLiteral("select * from reg"));
    ado_welcome.open();
    if (ado_welcome.fieldByName(u"reg_passwd").isEmpty()) {
        ui->edit_passwd->hide();
        ui->label2->setText(QString());
    } else {
        ui->edit_passwd->show();
        ui->label2->setText(QStringLiteral("请输入数据库密码"));
    }
}

void Tform_welcome::FormShow()
{
    ui->button_ok->setFocus();
}

bool Tform_welcome::login()
{
    const bool passed = showModal() == Accepted;
    m_loggedIn = passed;
    return passed;
}

void Tform_welcome::button_okClick()
{
    // Once the user is in, this dialog is the about box: OK only closes it.
    if (m_loggedIn) {
        accept();
        return;
    }
    ScopedClose closing(ado_welcome);
    ado_welcome.setCommandText(QStringLiteral("select * from reg"));
    ado_welcome.open();
    // Compared as stored: letter case and blanks count.
    if (ado_welcome.fieldByName(u"reg_passwd") == ui->edit_passwd->text()) {
        accept();
        return;
    }
    msg::plain(this, QStringLiteral("密码输入有误..."), kWrongPasswordCaption);
    // A refused login ends the program: the main window's show event, which
    // asked for it, closes the main window before it was ever shown.
    done(Rejected);
}
