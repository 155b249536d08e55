#include "core/exclusions.h"

namespace
{

// Only A to Z are lowered; accented capitals keep their case.
QString AsciiLower(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return result;
}

bool IsPathDelimiter(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

// The text a lowered pattern stands for: the pattern itself, or for a pattern
// beginning with "*" its extension part (from its last "." when no path
// delimiter follows it, else nothing). A "*" cannot occur in a Windows file
// name, so an extension part still holding one ("*.*") can never match there;
// it is dropped on every platform so that such patterns exclude nothing.
QString SearchedText(const QString &pattern)
{
    if (!pattern.startsWith(u'*'))
        return pattern;
    const qsizetype dot = pattern.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString extension = pattern.mid(dot);
    for (const QChar c : extension) {
        if (IsPathDelimiter(c) || c == u'*')
            return {};
    }
    return extension;
}

} // namespace

bool IsExcluded(const QString &path, const QStringList &patterns)
{
    const QString loweredPath = AsciiLower(path);
    for (const QString &pattern : patterns) {
        const QString searched = SearchedText(AsciiLower(pattern));
        if (!searched.isEmpty() && loweredPath.contains(searched, Qt::CaseSensitive))
            return true;
    }
    return false;
}
