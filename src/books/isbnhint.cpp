#include "isbnhint.h"

#include "store/isbn.h"

#include <QLineEdit>

namespace {

const QColor kGood(0, 110, 40);
const QColor kBad(190, 20, 20);

} // namespace

IsbnHint::IsbnHint(QLineEdit *box, QWidget *parent)
    : QLabel(parent)
    , m_box(box)
{
    setObjectName(QStringLiteral("label_isbnhint"));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    hide();
    connect(box, &QLineEdit::editingFinished, this, &IsbnHint::check);
    connect(box, &QLineEdit::textChanged, this, &QWidget::hide);
    connect(this, &QLabel::linkActivated, this, &IsbnHint::convert);
}

void IsbnHint::check()
{
    const QString text = m_box->text();
    if (isbn::compact(text).isEmpty()) {
        hide();
        return;
    }
    const isbn::Kind kind = isbn::kindOf(text);
    if (kind == isbn::Kind::None) {
        show(QStringLiteral("ISBN应为10位或13位数字"), false);
        return;
    }
    if (!isbn::isValid(text)) {
        const QString compacted = isbn::compact(text);
        show(QStringLiteral("校验位不对，应为%1").arg(isbn::checkCharacter(compacted, kind)), false);
        return;
    }
    if (kind == isbn::Kind::Isbn10) {
        show(QStringLiteral("有效的ISBN-10"), true, QStringLiteral("13"), QStringLiteral("转为ISBN-13"));
    } else if (isbn::toIsbn10(text).isEmpty()) {
        show(QStringLiteral("有效的ISBN-13（979开头，无ISBN-10）"), true);
    } else {
        show(QStringLiteral("有效的ISBN-13"), true, QStringLiteral("10"), QStringLiteral("转为ISBN-10"));
    }
}

void IsbnHint::show(const QString &text, bool good, const QString &link, const QString &linkText)
{
    QString html =
        QStringLiteral("<span style=\"color:%1\">%2</span>").arg((good ? kGood : kBad).name(), text.toHtmlEscaped());
    if (!link.isEmpty())
        html += QStringLiteral("&nbsp;&nbsp;<a href=\"%1\">%2</a>").arg(link, linkText);
    setText(html);
    setToolTip(good ? QString() : text);
    QLabel::show();
}

void IsbnHint::convert(const QString &link)
{
    const QString converted =
        link == QLatin1String("13") ? isbn::toIsbn13(m_box->text()) : isbn::toIsbn10(m_box->text());
    if (converted.isEmpty())
        return;
    m_box->setText(converted);
    check();
}
