#pragma once

#include "components/formdialog.h"
#include "store/dataset.h"

#include <memory>

namespace Ui {
class Tform_passwd;
}

// Sets, changes or removes the start-up password (the first row's reg_passwd).
// The old password is asked for only while one is set; an empty new password
// removes it.
class Tform_passwd : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_passwd(QWidget *parent = nullptr);
    ~Tform_passwd() override;

    // The longest password, in bytes of the interface's 8-bit code page: ten
    // Latin letters or five Chinese characters.
    static constexpr int kMaxBytes = 10;
    // The password's length in those bytes.
    static qsizetype byteLength(const QString &password);

    Dataset ado_passwd;

protected:
    // Empties the boxes and decides whether the old password is asked for.
    void FormShow() override;

private:
    void button_okClick();
    void button_cancelClick();

    std::unique_ptr<Ui::Tform_passwd> ui;
};

extern Tform_passwd *form_passwd;
