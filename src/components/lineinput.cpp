#include "lineinput.h"

#include "messages.h"

#include <QLineEdit>
#include <QLocale>

#include <limits>

namespace lineinput {

void liftLimits(QWidget *window)
{
    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
}

bool fits(QWidget *parent, const QString &field, const QString &text)
{
    if (text.size() <= kLongest)
        return true;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    msg::plain(parent,
               QStringLiteral("“%1”太长：有 %2 个字符，最多只能有 %3 个字符。\n请删短后再保存，没有写入任何内容。")
                   .arg(field, chinese.toString(text.size()), chinese.toString(kLongest)));
    return false;
}

} // namespace lineinput
