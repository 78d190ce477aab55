#include "codes.h"

#include <array>

namespace codes {
namespace {

template <size_t N> QString lookup(QStringView code, const std::array<const char16_t *, N> &texts)
{
    // Exact text equality with "1", "2", ...: " 1" or "01" select nothing.
    if (code.size() != 1)
        return {};
    const int index = code.at(0).unicode() - u'1';
    if (index < 0 || index >= int(N))
        return {};
    return QString::fromUtf16(texts[size_t(index)]);
}

} // namespace

QString ratingText(QStringView code)
{
    static constexpr std::array<const char16_t *, kRatingCount> texts{u"非常喜欢", u"很不错", u"还可以", u"不太好",
                                                                      u"很糟糕"};
    return lookup(code, texts);
}

QString loanText(QStringView code)
{
    static constexpr std::array<const char16_t *, kLoanCount> texts{u"自己拥有", u"借入", u"已借出"};
    return lookup(code, texts);
}

QString readText(QStringView code)
{
    static constexpr std::array<const char16_t *, kReadCount> texts{u"已读", u"未读"};
    return lookup(code, texts);
}

} // namespace codes
