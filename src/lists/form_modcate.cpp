#include "form_modcate.h"

#include "components/guard.h"
#include "components/lineinput.h"
#include "components/catalogueview.h"
#include "store/transaction.h"
#include "ui_form_modcate.h"

#include <QStyle>

Tform_modcate *form_modcate = nullptr;

Tform_modcate::Tform_modcate(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_modcate>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_modcate"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setFixedClientSize(320, 124);

    QPalette red = ui->Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui->Label1->setPalette(red);
    QFont bold = ui->Label1->font();
    bold.setBold(true);
    ui->Label1->setFont(bold);
    ui->image_modcate->setPixmap(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(32, 32));

    guard::connect(ui->edit_modcate2, &QLineEdit::textChanged, this, &Tform_modcate::edit_modcate2Change);
    guard::connect(ui->button_mod, &QPushButton::clicked, this, &Tform_modcate::button_modClick);
    guard::connect(ui->button_close, &QPushButton::clicked, this, &Tform_modcate::button_closeClick);
}

Tform_modcate::~Tform_modcate() = default;

void Tform_modcate::FormCreate()
{
    ui->button_mod->setEnabled(false);
}

void Tform_modcate::FormShow()
{
    ui->edit_modcate1->setText(catalogueView().selectedCategory());
    ui->edit_modcate2->setText(QString());
    ui->edit_modcate2->setFocus();
}

void Tform_modcate::edit_modcate2Change()
{
    ui->button_mod->setEnabled(!ui->edit_modcate2->text().isEmpty());
}

void Tform_modcate::button_modClick()
{
    const QString oldName = ui->edit_modcate1->text();
    const QString newName = ui->edit_modcate2->text();
    if (!lineinput::fits(this, QStringLiteral("新的分类名称"), newName))
        return;

    // One transaction on the dataset's own connection covers the category
    // row and every book: an error on the way leaves all of them, and the
    // tree, as they were.
    Transaction whole(ado_modcate);
    {
        ScopedClose closing(ado_modcate);
        ado_modcate.setCommandText(QStringLiteral("select * from category where cate_name=?"), {oldName});
        ado_modcate.open();
        // With no category of the old name this stores the new name as an
        // additional category.
        ado_modcate.edit();
        ado_modcate.setFieldByName(u"cate_name", newName);
        ado_modcate.post();
    }
    {
        ScopedClose closing(ado_modcate);
        ado_modcate.setCommandText(QStringLiteral("select * from book where book_cate=?"), {oldName});
        ado_modcate.open();
        for (int i = 0; i < ado_modcate.recordCount(); ++i) {
            ado_modcate.edit();
            ado_modcate.setFieldByName(u"book_cate", newName);
            ado_modcate.post();
            ado_modcate.next();
        }
    }
    whole.commit();

    catalogueView().categoryRenamed(oldName, newName);
    accept();
}

void Tform_modcate::button_closeClick()
{
    reject();
}
