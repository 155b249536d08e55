#include "core/listfile.h"

#include "core/error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace
{

struct EncodingInfo {
    ListEncoding encoding;
    QByteArray bom;
    QStringConverter::Encoding converter;
};

QStringConverter::Encoding SystemConverter()
{
#ifdef Q_OS_WIN
    return QStringConverter::System;
#else
    return QStringConverter::Utf8;
#endif
}

EncodingInfo InfoOf(ListEncoding encoding)
{
    switch (encoding) {
    case ListEncoding::Utf8Bom:
        return {encoding, QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8};
    case ListEncoding::Utf16LE:
        return {encoding, QByteArray("\xFF\xFE"), QStringConverter::Utf16LE};
    case ListEncoding::Utf16BE:
        return {encoding, QByteArray("\xFE\xFF"), QStringConverter::Utf16BE};
    case ListEncoding::System:
        break;
    }
    return {ListEncoding::System, QByteArray(), SystemConverter()};
}

EncodingInfo DetectEncoding(const QByteArray &data)
{
    for (const ListEncoding encoding :
         {ListEncoding::Utf8Bom, ListEncoding::Utf16LE, ListEncoding::Utf16BE}) {
        const EncodingInfo info = InfoOf(encoding);
        if (data.startsWith(info.bom))
            return info;
    }
    return InfoOf(ListEncoding::System);
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

ListFile ReadListFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw TarselError(QStringLiteral("Impossible d'ouvrir le fichier \"%1\". %2")
                              .arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    const EncodingInfo info = DetectEncoding(data);
    QStringDecoder decoder(info.converter, QStringConverter::Flag::Stateless);
    return {SplitLines(decoder(QByteArrayView(data).sliced(info.bom.size()))), info.encoding};
}

void WriteListFile(const QString &path, const QStringList &lines, ListEncoding encoding)
{
    const EncodingInfo info = InfoOf(encoding);
    QStringEncoder encoder(info.converter, QStringConverter::Flag::Stateless);
    const QByteArray lineBreak = encoder(QStringLiteral("\r\n"));
    QByteArray data = info.bom;
    for (const QString &line : lines) {
        data += encoder(line);
        data += lineBreak;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw TarselError(QStringLiteral("Impossible de créer le fichier \"%1\". %2")
                              .arg(path, file.errorString()));
}

void WriteLogFile(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    QByteArray buffer;
    for (const QString &line : lines) {
        if (!ok)
            break;
        buffer += line.toUtf8();
        buffer += "\r\n";
        if (buffer.size() >= 1 << 16) {
            ok = file.write(buffer) == buffer.size();
            buffer.clear();
        }
    }
    if (!ok || file.write(buffer) != buffer.size() || !file.commit())
        throw TarselError(QStringLiteral("Impossible de créer le fichier \"%1\". %2")
                              .arg(path, file.errorString()));
}
