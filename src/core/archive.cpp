#include "core/archive.h"

#include "core/error.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace
{

#ifdef Q_OS_WIN
constexpr QChar PathDelimiter = u'\\';
bool isDelimiter(QChar c)
{
    return c == u'\\' || c == u':';
}
#else
constexpr QChar PathDelimiter = u'/';
bool isDelimiter(QChar c)
{
    return c == u'/';
}
#endif

qsizetype lastDelimiter(const QString &text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (isDelimiter(text.at(i)))
            return i;
    }
    return -1;
}

QString withDelimiter(const QString &folder)
{
    return folder.endsWith(PathDelimiter) ? folder : folder + PathDelimiter;
}

// True when the folder exists, or could be made below an existing parent; otherwise
// error holds the system's reason.
bool folderAvailable(const QString &folder, std::error_code &error)
{
    if (folder.isEmpty())
        return false;
    if (QFileInfo(folder).isDir())
        return true;
    std::filesystem::create_directory(std::filesystem::path(folder.toStdU16String()), error);
    return !error && QFileInfo(folder).isDir();
}

QString maskedPasswordSwitch(const QString &passwordSwitch)
{
    if (passwordSwitch.isEmpty())
        return passwordSwitch;
    const qsizetype characters = QStringView(passwordSwitch).mid(2).toUcs4().size();
    return passwordSwitch.left(2) + QString(characters, u'*');
}

// The length of the leading bytes that hold whole characters: a character cut by the
// end of a chunk waits for the rest of its bytes.
qsizetype wholeCharactersLength(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return bytes.size();
#else
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(size, 4); ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80)
            continue;
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
#endif
}

QString decode(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    return QString::fromUtf8(bytes);
#endif
}

} // namespace

QString ExtractLastDir(const QString &path)
{
    // The ".~" mark takes the place of an extension, so that a dotted folder name stays
    // whole; a root, which has no name, keeps the mark.
    const QString marked =
        path.left(std::max<qsizetype>(lastDelimiter(path), 0)) + QStringLiteral(".~");
    const QString name = marked.mid(lastDelimiter(marked) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

QString ArchiveName(const QString &userComputerTag, const QString &sourceText, const QDate &today)
{
    return userComputerTag + u'@' + ExtractLastDir(withDelimiter(sourceText)) +
           today.toString(QStringLiteral("_yyyy-MM-dd")) + QStringLiteral(".ZIP");
}

QString TempFolder()
{
    std::error_code error;
    for (const QString &folder : {QDir::toNativeSeparators(QDir::tempPath()),
                                  QDir::toNativeSeparators(QStringLiteral("/var/tmp"))}) {
        if (folderAvailable(folder, error))
            return withDelimiter(folder);
    }
    throw TarselError(QString::fromLocal8Bit(error.message()));
}

QString DefaultSevenZipExe()
{
#ifdef Q_OS_WIN
    const QString local = QStringLiteral("7z.exe");
#else
    // QProcess looks for a bare name on PATH only: the current folder must be named.
    const QString local = QStringLiteral("./7z");
#endif
    if (QFileInfo(local).isFile())
        return local;
    for (const char *name : {"7z", "7zz", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QStringLiteral("7z");
}

QStringList SevenZipArguments(const QString &passwordSwitch, const QString &archivePath,
                              const QString &stagingFolder)
{
    QStringList arguments{QStringLiteral("a"), QStringLiteral("-r"), QStringLiteral("-tZIP")};
    if (!passwordSwitch.isEmpty())
        arguments << passwordSwitch;
    arguments << archivePath << stagingFolder + u'*';
    return arguments;
}

QString SevenZipCommandLineText(const QString &exe, const QString &passwordSwitch,
                                const QString &archivePath, const QString &stagingFolder)
{
    return exe + QStringLiteral(" a -r -tZIP ") + maskedPasswordSwitch(passwordSwitch) +
           QStringLiteral(" \"") + archivePath + QStringLiteral("\" \"") + stagingFolder +
           QStringLiteral("*\"");
}

QString SevenZipExitText(int exitCode)
{
    switch (exitCode) {
    case 0:
        return QStringLiteral("Succès");
    case 1:
        return QStringLiteral(
            "Avertissement(s): Vérifiez qu'aucun fichier n'est en cours d'utilisation)");
    case 2:
        return QStringLiteral("Erreur fatale !");
    case 7:
        return QStringLiteral("Erreur : Ligne de commande");
    case 8:
        return QStringLiteral("Mémoire insuffisante");
    case 255:
        return QStringLiteral("Arrêt utilisateur");
    default:
        return QString();
    }
}

QString ArchiveDoneText(const QString &targetText, int exitCode)
{
    return QStringLiteral("Archive \"%1\" créée | Code %2 : \"%3\"")
        .arg(targetText, QString::number(exitCode), SevenZipExitText(exitCode));
}

QStringList OutputCutter::feed(const QByteArray &chunk)
{
    m_pending += chunk;
    const qsizetype whole = wholeCharactersLength(m_pending);
    QStringList pieces = cut(decode(m_pending.first(whole)));
    m_pending.remove(0, whole);
    pieces << currentLine();
    return pieces;
}

QStringList OutputCutter::finish()
{
    QStringList pieces;
    if (!m_pending.isEmpty()) {
        pieces = cut(decode(m_pending));
        pieces << currentLine();
    }
    m_pending.clear();
    m_line.clear();
    m_column = 0;
    return pieces;
}

QStringList OutputCutter::cut(const QString &text)
{
    QStringList lines;
    for (const uint code : text.toUcs4()) {
        switch (const auto c = static_cast<char32_t>(code)) {
        case U'\n':
            lines << currentLine();
            m_line.clear();
            m_column = 0;
            break;
        case U'\r':
            m_column = 0;
            break;
        case U'\b':
            if (m_column > 0)
                --m_column;
            break;
        case U'\t':
            for (int i = 0; i < 8; ++i)
                put(U' ');
            break;
        case U'\0':
        case U'\a':
            put(U' ');
            break;
        default:
            put(c);
        }
    }
    return lines;
}

void OutputCutter::put(char32_t c)
{
    if (m_column < m_line.size())
        m_line[m_column] = c;
    else
        m_line.push_back(c);
    ++m_column;
}

QString OutputCutter::currentLine() const
{
    return QString::fromUcs4(m_line.data(), static_cast<qsizetype>(m_line.size()));
}

bool SevenZipFound(const QString &program)
{
    if (program.isEmpty())
        return false;
    if (QFileInfo(program).isFile())
        return true;
    return !program.contains(u'/') && !program.contains(u'\\') &&
           !QStandardPaths::findExecutable(program).isEmpty();
}
