#include "form_addcate.h"

#include "components/guard.h"
#include "components/lineinput.h"
#include "components/catalogueview.h"
#include "ui_form_addcate.h"

#include <QStyle>

Tform_addcate *form_addcate = nullptr;

Tform_addcate::Tform_addcate(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_addcate>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_addcate"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(185, 96);
    ui->image_cate->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(32, 32));

    guard::connect(ui->edit_new, &QLineEdit::textChanged, this, &Tform_addcate::edit_newChange);
    guard::connect(ui->button1, &QPushButton::clicked, this, &Tform_addcate::button1Click);
    guard::connect(ui->button2, &QPushButton::clicked, this, &Tform_addcate::button2Click);
}

Tform_addcate::~Tform_addcate() = default;

void Tform_addcate::FormShow()
{
    ui->button1->setEnabled(false);
    ui->edit_new->setText(QString());
    ui->edit_new->setFocus();
}

void Tform_addcate::edit_newChange()
{
    ui->button1->setEnabled(!ui->edit_new->text().isEmpty());
}

void Tform_addcate::button1Click()
{
    const QString name = ui->edit_new->text();
    if (!lineinput::fits(this, QStringLiteral("分类名称"), name))
        return;
    {
        ScopedClose closing(ado);
        ado.setCommandText(QStringLiteral("select * from category"));
        ado.open();
        ado.append();
        ado.setFieldByName(u"cate_name", name);
        ado.post();
    }
    catalogueView().categoryAdded(name);
    accept();
}

void Tform_addcate::button2Click()
{
    reject();
}
