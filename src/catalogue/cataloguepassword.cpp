// The catalogue's start-up password.
#include "catalogue.h"

#include "store/dataset.h"
#include "store/transaction.h"

#include <QStringEncoder>

namespace {

const QString kPasswordRow = QStringLiteral("select * from reg");

// The one check: opens rows on the password's row and compares the stored
// password exactly with typed (letter case and blanks count). The stored
// password with no value reads as the empty text.
bool isStoredPassword(Dataset &rows, const QString &typed)
{
    rows.setCommandText(kPasswordRow);
    rows.open();
    return rows.fieldByName(u"reg_passwd") == typed;
}

} // namespace

qsizetype Catalogue::passwordBytes(const QString &password)
{
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(password);
    return bytes.size();
}

bool Catalogue::passwordMatches(const QString &typed) const
{
    Dataset rows(connection());
    ScopedClose closing(rows);
    return isStoredPassword(rows, typed);
}

Catalogue::PasswordChange Catalogue::changePassword(const QString &oldPassword, const QString &newPassword,
                                                    const QString &repeated)
{
    if (passwordBytes(newPassword) > kPasswordMaxBytes || passwordBytes(repeated) > kPasswordMaxBytes)
        return PasswordChange::TooLong;

    // Read and written in one transaction: the old password checked is the
    // one replaced.
    Transaction whole(writing());
    Dataset rows(writing());
    ScopedClose closing(rows);
    if (!isStoredPassword(rows, oldPassword))
        return PasswordChange::WrongOldPassword;
    if (newPassword != repeated)
        return PasswordChange::NotRepeated;
    rows.edit();
    rows.setFieldByName(u"reg_passwd", newPassword);
    rows.post();
    rows.close();
    whole.commit();
    return PasswordChange::Changed;
}
