#include "core/filemask.h"

#include <type_traits>

namespace
{

std::u32string Folded(const QString &text)
{
    std::u32string folded;
    folded.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        folded.push_back(QChar::toCaseFolded(code));
    }
    return folded;
}

template <typename Char> bool IsAscii(std::basic_string_view<Char> text)
{
    for (const Char c : text) {
        if (std::make_unsigned_t<Char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Greedy match that goes back only to the last "*": enough for patterns made of "*", "?" and
// plain characters, and linear for the usual masks. nameAt(i) gives the folded character i.
template <typename NameAt>
bool WildcardMatch(std::u32string_view pattern, std::size_t length, NameAt nameAt)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::u32string_view::npos;
    std::size_t resume = 0;
    while (n < length) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == nameAt(n))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

} // namespace

FileMask::FileMask(const QString &pattern)
    : m_pattern(Folded(pattern)),
      m_everyName(pattern == QLatin1String("*.*") ||
                  (!pattern.isEmpty() && pattern.count(u'*') == pattern.size()))
{
}

bool FileMask::matches(const QString &name) const
{
    if (m_everyName)
        return true;
    return !m_pattern.empty() && matchesFolded(Folded(name));
}

bool FileMask::matchesNative(platform::NativeStringView name) const
{
    if (m_everyName)
        return true;
    if (m_pattern.empty())
        return false;
    if (IsAscii(name)) {
        // For ASCII, simple case folding is lowering A to Z.
        return WildcardMatch(m_pattern, name.size(), [name](std::size_t i) {
            const char32_t c = std::make_unsigned_t<platform::NativeChar>(name[i]);
            return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
        });
    }
#ifdef _WIN32
    return matchesFolded(Folded(QString::fromWCharArray(name.data(), qsizetype(name.size()))));
#else
    return matchesFolded(Folded(QString::fromUtf8(name.data(), qsizetype(name.size()))));
#endif
}

bool FileMask::matchesFolded(std::u32string_view name) const
{
    return WildcardMatch(m_pattern, name.size(), [name](std::size_t i) { return name[i]; });
}
