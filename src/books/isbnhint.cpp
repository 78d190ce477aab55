#include "isbnhint.h"

#include "store/isbn.h"

#include <QFontMetrics>
#include <QHash>
#include <QLineEdit>
#include <QRegion>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QColor kGood(0, 110, 40);
const QColor kBad(190, 20, 20);
// Smaller than this a hint is not read, whatever room it has.
const int kSmallest = 10;

} // namespace

IsbnHint::IsbnHint(QLineEdit *box, QWidget *parent)
    : QLabel(parent)
    , m_box(box)
{
    setObjectName(QStringLiteral("label_isbnhint"));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    hide();
    connect(box, &QLineEdit::editingFinished, this, &IsbnHint::check);
    connect(box, &QLineEdit::textChanged, this, &QWidget::hide);
    connect(this, &QLabel::linkActivated, this, &IsbnHint::convert);
}

QString IsbnHint::tidied(const QString &text)
{
    QString out = text;
    // Input methods in full-width mode give U+FF10 to U+FF19, and Ｘ or ｘ.
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(u'0' + (u - u'０'));
        else if (u == u'Ｘ' || u == u'ｘ')
            c = QChar(u == u'Ｘ' ? u'X' : u'x');
    }
    // "ISBN", in either case and either width, then a colon of either
    // width, then blanks; what follows must start the number itself.
    static const QRegularExpression prefix(QStringLiteral("^\\s*[IiＩｉ][SsＳｓ][BbＢｂ][NnＮｎ]\\s*[:：]?\\s*"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    return out.remove(prefix);
}

void IsbnHint::placeIn(const QRect &band, int furthestLeft)
{
    m_band = band;
    m_furthestLeft = furthestLeft;
    m_fitted = false;
}

void IsbnHint::fitFont()
{
    // The letters a hint shows. The full-width comma and brackets reach a
    // row lower than the ideographs; in a band too low for them they may
    // lose that row, and the ideographs stay whole. Measuring loads the
    // font at each size tried: it is done when a hint is first shown, once
    // for all book windows of the same font and band.
    struct Fit
    {
        int pixels;
        int above;
    };
    static QHash<QString, Fit> fits;
    const QString sample = QStringLiteral("有效的ISBN-13 979开头无ISBN-10校验位不对应为X位或数字转");
    QFont f = parentWidget() ? parentWidget()->font() : font();
    const QString key = f.key() + QLatin1Char('/') + QString::number(m_band.height());
    auto fit = fits.constFind(key);
    if (fit == fits.cend()) {
        Fit found{QFontInfo(f).pixelSize(), 0};
        for (int pixels = found.pixels; pixels >= kSmallest; --pixels) {
            f.setPixelSize(pixels);
            const QRect ink = QFontMetrics(f).tightBoundingRect(sample);
            found = {pixels, -ink.top()};
            if (ink.height() <= m_band.height())
                break;
        }
        fit = fits.insert(key, found);
    }
    f.setPixelSize(fit->pixels);
    setFont(f);
    // A line of text is taller than its letters. The label reaches up over
    // the box by the leading above the letters, and a mask leaves it only
    // the band: the letters stand whole in the band, and the box above keeps
    // its look and its clicks.
    m_leading = std::max(0, QFontMetrics(f).ascent() - fit->above);
    m_fitted = true;
}

void IsbnHint::fitBand(int left)
{
    const int width = m_band.right() + 1 - left;
    setGeometry(left, m_band.top() - m_leading, width, m_band.height() + m_leading);
    setMask(QRegion(0, m_leading, width, m_band.height()));
}

void IsbnHint::check()
{
    // Only what the user typed is tidied: a stored ISBN that was merely
    // passed through keeps its text, so it is not written as a change.
    if (m_box->isModified()) {
        const QString tidy = tidied(m_box->text());
        if (tidy != m_box->text()) {
            m_box->setText(tidy);
            m_box->setModified(true);
        }
    }
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
        // Not underlined: the line under it would not fit in the band.
        html += QStringLiteral("&nbsp;&nbsp;<a href=\"%1\" style=\"text-decoration:none\">%2</a>").arg(link, linkText);
    if (!m_fitted)
        fitFont();
    setText(html);
    setToolTip(good ? QString() : text);
    fitBand(std::max(m_furthestLeft, std::min(m_band.left(), m_band.right() + 1 - sizeHint().width())));
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
