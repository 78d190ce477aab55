#include "codes.h"

#include <array>

namespace codes {
namespace {

template <size_t N> QStringView lookup(int code, const std::array<QStringView, N> &names)
{
    if (code < 1 || code > int(N))
        return {};
    return names[size_t(code - 1)];
}

} // namespace

int number(QStringView text)
{
    if (text.size() != 1)
        return 0;
    const char16_t c = text.at(0).unicode();
    return c >= u'1' && c <= u'9' ? int(c - u'0') : 0;
}

QStringView ratingName(int code)
{
    static constexpr std::array<QStringView, kRatingCount> names{u"非常喜欢", u"很不错", u"还可以", u"不太好",
                                                                 u"很糟糕"};
    return lookup(code, names);
}

QStringView loanName(int code)
{
    static constexpr std::array<QStringView, kLoanCount> names{u"自己拥有", u"借入", u"已借出"};
    return lookup(code, names);
}

QStringView readName(int code)
{
    static constexpr std::array<QStringView, kReadCount> names{u"已读", u"未读"};
    return lookup(code, names);
}

} // namespace codes
