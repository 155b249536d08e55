#include "core/inifile.h"

#include "core/environment.h"
#include "core/error.h"

#include <QFile>
#include <QSaveFile>

#include <limits>
#include <optional>

namespace
{

// A value is read up to this many characters, like the system's profile functions.
constexpr qsizetype MaxValueLength = 2047;

const QByteArray Utf8Bom("\xEF\xBB\xBF");

QString ResolvedFile(const QString &file)
{
    return file.isEmpty() ? DefaultIniFileName() : file;
}

bool SameName(const QString &a, const QString &b)
{
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

struct IniLines {
    QStringList lines;
    bool bom = false;
};

IniLines SplitLines(const QByteArray &data)
{
    IniLines ini;
    ini.bom = data.startsWith(Utf8Bom);
    const QString text = QString::fromUtf8(ini.bom ? data.mid(Utf8Bom.size()) : data);
    if (text.isEmpty())
        return ini;
    ini.lines = text.split(QLatin1Char('\n'));
    if (ini.lines.constLast().isEmpty())
        ini.lines.removeLast();
    for (QString &line : ini.lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return ini;
}

enum class LineKind { Other, Section, Key };

struct IniLine {
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

// A section header "[name]", a "key = value" line, or anything else (comments, blank lines),
// which is kept but never matched.
IniLine ParseLine(const QString &line)
{
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        return {LineKind::Section, text.mid(1, close < 0 ? -1 : close - 1).trimmed(), QString()};
    }
    if (text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return {};
    return {LineKind::Key, text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

// The value of the first matching key in a matching section.
std::optional<QString> FindValue(const QStringList &lines, const QString &section,
                                 const QString &key)
{
    bool inSection = false;
    for (const QString &line : lines) {
        const IniLine parsed = ParseLine(line);
        if (parsed.kind == LineKind::Section)
            inSection = SameName(parsed.name, section);
        else if (inSection && parsed.kind == LineKind::Key && SameName(parsed.name, key))
            return parsed.value;
    }
    return std::nullopt;
}

std::optional<QString> ReadValue(const QString &section, const QString &key, const QString &file)
{
    QFile in(ResolvedFile(file));
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FindValue(SplitLines(in.readAll()).lines, section, key);
}

// Replaces the first matching key in place, or appends it after the last non-blank line of the
// first matching section, or appends the section at the end of the file.
void SetValue(QStringList &lines, const QString &section, const QString &key, const QString &value)
{
    qsizetype insertAt = -1;
    bool inSection = false;
    bool inFirstSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const IniLine parsed = ParseLine(lines.at(i));
        if (parsed.kind == LineKind::Section) {
            inSection = SameName(parsed.name, section);
            inFirstSection = inSection && insertAt < 0;
            if (inFirstSection)
                insertAt = i + 1;
        } else if (inSection && parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
            lines[i] = parsed.name + QLatin1Char('=') + value;
            return;
        } else if (inFirstSection && !lines.at(i).trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (insertAt >= 0) {
        lines.insert(insertAt, key + QLatin1Char('=') + value);
    } else {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
    }
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// A name or value that would break the line structure can't be stored without corrupting the
// file, so such a write is refused like any other failed write.
bool Storable(const QString &section, const QString &key, const QString &value)
{
    return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
           !section.contains(QLatin1Char(']')) && !key.contains(QLatin1Char('='));
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// A decimal whole number, or a hexadecimal one after "0x" (up to 32 bits, read as the signed
// value of those bits); nothing for any other text.
std::optional<int> ParseInteger(const QString &text)
{
    const bool hex = text.size() > 2 && text.at(0) == QLatin1Char('0') &&
                     (text.at(1) == QLatin1Char('x') || text.at(1) == QLatin1Char('X'));
    if (hex) {
        quint64 value = 0;
        for (const QChar c : QStringView(text).mid(2)) {
            const int digit = HexDigit(c.unicode());
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        return int(quint32(value));
    }
    qsizetype i = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        i = 1;
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

QString IniReadString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &file)
{
    const std::optional<QString> value = ReadValue(section, key, file);
    return value ? value->left(MaxValueLength) : defaultValue;
}

void IniWriteString(const QString &section, const QString &key, const QString &value,
                    const QString &file)
{
    const QString path = ResolvedFile(file);
    const TarselError refused(QStringLiteral("Impossible d'écrire dans %1").arg(path));
    if (!Storable(section, key, value))
        throw refused;
    IniLines ini;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            throw refused;
        ini = SplitLines(in.readAll());
        in.close();
    }
    SetValue(ini.lines, section, key, value);
    QByteArray data = ini.bom ? Utf8Bom : QByteArray();
    for (const QString &line : std::as_const(ini.lines))
        data += line.toUtf8() + "\r\n";
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit())
        throw refused;
}

int IniReadInteger(const QString &section, const QString &key, int defaultValue,
                   const QString &file)
{
    const std::optional<QString> value = ReadValue(section, key, file);
    if (!value)
        return defaultValue;
    return ParseInteger(value->left(MaxValueLength)).value_or(defaultValue);
}

void IniWriteInteger(const QString &section, const QString &key, int value, const QString &file)
{
    IniWriteString(section, key, QString::number(value), file);
}

bool IniReadBool(const QString &section, const QString &key, bool defaultValue, const QString &file)
{
    return IniReadInteger(section, key, defaultValue ? 1 : 0, file) != 0;
}

void IniWriteBool(const QString &section, const QString &key, bool value, const QString &file)
{
    IniWriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), file);
}

QStringList SplitText(const QString &text, const QString &separator)
{
    if (separator.isEmpty())
        return text.isEmpty() ? QStringList() : QStringList{text};
    QStringList parts = text.split(separator);
    if (parts.constLast().isEmpty())
        parts.removeLast();
    return parts;
}
