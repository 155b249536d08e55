#include "core/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

class ScopedCurrentFolder
{
public:
    explicit ScopedCurrentFolder(const QString &folder) : m_old(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~ScopedCurrentFolder() { QDir::setCurrent(m_old); }
    ScopedCurrentFolder(const ScopedCurrentFolder &) = delete;
    ScopedCurrentFolder &operator=(const ScopedCurrentFolder &) = delete;

private:
    QString m_old;
};

bool writeFile(const QString &path, QFileDevice::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0 &&
           file.setPermissions(permissions);
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT
private slots:
    void lastDirAndArchiveName_data();
    void lastDirAndArchiveName();
    void commandLine_data();
    void commandLine();
    void outputCutter_data();
    void outputCutter();
    void exitTexts_data();
    void exitTexts();
    void tempFolder_data();
    void tempFolder();
    void defaultSevenZipExe_data();
    void defaultSevenZipExe();
};

void TestArchive::lastDirAndArchiveName_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("lastDir");
    QTest::addColumn<QString>("archiveName");

    const QDate day(2022, 3, 14);
    QTest::newRow("folder with delimiter") << "/home/u/Site/" << day << "Site"
                                           << "utilisateur-POSTE1@Site_2022-03-14.ZIP";
    QTest::newRow("folder without delimiter") << "/home/u/Site" << day << "u"
                                              << "utilisateur-POSTE1@Site_2022-03-14.ZIP";
    QTest::newRow("dotted name with delimiter") << "/a/web.site/" << day << "web.site"
                                                << "utilisateur-POSTE1@web.site_2022-03-14.ZIP";
    QTest::newRow("dotted name without delimiter") << "/a/web.site" << day << "a"
                                                   << "utilisateur-POSTE1@web.site_2022-03-14.ZIP";
    QTest::newRow("several dots") << "/a/b.tar.gz/" << day << "b.tar.gz"
                                  << "utilisateur-POSTE1@b.tar.gz_2022-03-14.ZIP";
    QTest::newRow("hidden folder") << "/home/u/.config/" << day << ".config"
                                   << "utilisateur-POSTE1@.config_2022-03-14.ZIP";
    QTest::newRow("blank and colon in the name") << "/m/Mon Site: 2/" << day << "Mon Site: 2"
                                                 << "utilisateur-POSTE1@Mon Site: 2_2022-03-14.ZIP";
    QTest::newRow("root") << "/" << day << ".~"
                          << "utilisateur-POSTE1@.~_2022-03-14.ZIP";
    QTest::newRow("bare name") << "Site" << day << ".~"
                               << "utilisateur-POSTE1@Site_2022-03-14.ZIP";
    QTest::newRow("day and month padded") << "/s/Site/" << QDate(2021, 1, 5) << "Site"
                                          << "utilisateur-POSTE1@Site_2021-01-05.ZIP";
}

void TestArchive::lastDirAndArchiveName()
{
    QFETCH(QString, source);
    QFETCH(QDate, today);
    QFETCH(QString, lastDir);
    QFETCH(QString, archiveName);

    QCOMPARE(ExtractLastDir(source), lastDir);
    QCOMPARE(ArchiveName(QStringLiteral("utilisateur-POSTE1"), source, today), archiveName);
}

void TestArchive::commandLine_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("passwordSwitch");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("arguments");

    const QString archive = QStringLiteral("/home/u/Sauvegarde/u-P@Site_2022-03-14.ZIP");
    const QString files = QStringLiteral("/tmp/u-P@Site_2022-03-14.ZIP/*");
    const QString quoted = u'"' + archive + QStringLiteral("\" \"") + files + u'"';

    QTest::newRow("no password") << "/usr/bin/7zz"
                                 << ""
                                 << "/usr/bin/7zz a -r -tZIP  " + quoted
                                 << QStringList{"a", "-r", "-tZIP", archive, files};
    QTest::newRow("password masked") << "/usr/bin/7zz"
                                     << "-psecret"
                                     << "/usr/bin/7zz a -r -tZIP -p****** " + quoted
                                     << QStringList{"a", "-r", "-tZIP", "-psecret", archive, files};
    QTest::newRow("empty password") << "/usr/bin/7zz"
                                    << "-p"
                                    << "/usr/bin/7zz a -r -tZIP -p " + quoted
                                    << QStringList{"a", "-r", "-tZIP", "-p", archive, files};
    QTest::newRow("one asterisk per character")
        << "7z" << QString::fromUtf8("-pé😀 x") << "7z a -r -tZIP -p**** " + quoted
        << QStringList{"a", "-r", "-tZIP", QString::fromUtf8("-pé😀 x"), archive, files};
    QTest::newRow("program path with blanks") << "/opt/Seven Zip/7zz"
                                              << ""
                                              << "/opt/Seven Zip/7zz a -r -tZIP  " + quoted
                                              << QStringList{"a", "-r", "-tZIP", archive, files};
}

void TestArchive::commandLine()
{
    QFETCH(QString, exe);
    QFETCH(QString, passwordSwitch);
    QFETCH(QString, text);
    QFETCH(QStringList, arguments);

    const QString archive = QStringLiteral("/home/u/Sauvegarde/u-P@Site_2022-03-14.ZIP");
    const QString staging = QStringLiteral("/tmp/u-P@Site_2022-03-14.ZIP/");
    QCOMPARE(SevenZipCommandLineText(exe, passwordSwitch, archive, staging), text);
    QCOMPARE(SevenZipArguments(passwordSwitch, archive, staging), arguments);
}

void TestArchive::outputCutter_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("whole lines") << QByteArrayList{"one\ntwo\n"} << QStringList{"one", "two", ""};
    QTest::newRow("unfinished line") << QByteArrayList{"one\ntw"} << QStringList{"one", "tw"};
    QTest::newRow("line cut between chunks")
        << QByteArrayList{"tw", "o\n", "x"} << QStringList{"tw", "two", "", "x"};
    QTest::newRow("carriage return overwrites")
        << QByteArrayList{"abcdef\rXY\n"} << QStringList{"XYcdef", ""};
    QTest::newRow("carriage return and line feed")
        << QByteArrayList{"done\r\n"} << QStringList{"done", ""};
    QTest::newRow("progress rewritten in place")
        << QByteArrayList{"  5%\r", " 50%\r", "100%\n"} << QStringList{"  5%", " 50%", "100%", ""};
    QTest::newRow("backspace, never before the start")
        << QByteArrayList{"\b\bab\bX\b\b\bY\n"} << QStringList{"YX", ""};
    QTest::newRow("backspace over a wide character")
        << QByteArrayList{"a\xF0\x9F\x98\x80\bb\n"} << QStringList{"ab", ""};
    QTest::newRow("tab is eight blanks")
        << QByteArrayList{"a\tb\n"} << QStringList{"a        b", ""};
    QTest::newRow("NUL and BEL are blanks")
        << QByteArrayList{QByteArray("a\0b\ac\n", 6)} << QStringList{"a b c", ""};
    QTest::newRow("character cut between chunks")
        << QByteArrayList{"caf\xC3", "\xA9\n"} << QStringList{"caf", QString::fromUtf8("café"), ""};
    QTest::newRow("wide character cut twice") << QByteArrayList{"\xF0\x9F", "\x98", "\x80!\n"}
                                              << QStringList{"", "", QString::fromUtf8("😀!"), ""};
    QTest::newRow("cut character left at the end")
        << QByteArrayList{"caf\xC3"} << QStringList{"caf", QStringLiteral("caf\uFFFD")};
}

void TestArchive::outputCutter()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, pieces);

    OutputCutter cutter;
    QStringList reported;
    for (const QByteArray &chunk : chunks)
        reported << cutter.feed(chunk);
    reported << cutter.finish();
    QCOMPARE(reported, pieces);

    // The next child's output starts on a fresh line.
    QCOMPARE(cutter.feed("next\n"), (QStringList{"next", ""}));
}

void TestArchive::exitTexts_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("exitText");
    QTest::addColumn<QString>("doneText");

    const QString target = QStringLiteral("/home/u/Sauvegarde/");
    QTest::newRow("0") << target << 0 << "Succès"
                       << "Archive \"/home/u/Sauvegarde/\" créée | Code 0 : \"Succès\"";
    QTest::newRow("1") << target << 1
                       << "Avertissement(s): Vérifiez qu'aucun fichier n'est en cours "
                          "d'utilisation)"
                       << "Archive \"/home/u/Sauvegarde/\" créée | Code 1 : \"Avertissement(s): "
                          "Vérifiez qu'aucun fichier n'est en cours d'utilisation)\"";
    QTest::newRow("2") << target << 2 << "Erreur fatale !"
                       << "Archive \"/home/u/Sauvegarde/\" créée | Code 2 : \"Erreur fatale !\"";
    QTest::newRow("7") << target << 7 << "Erreur : Ligne de commande"
                       << "Archive \"/home/u/Sauvegarde/\" créée | Code 7 : \"Erreur : Ligne de "
                          "commande\"";
    QTest::newRow("8") << target << 8 << "Mémoire insuffisante"
                       << "Archive \"/home/u/Sauvegarde/\" créée | Code 8 : \"Mémoire "
                          "insuffisante\"";
    QTest::newRow("255") << target << 255 << "Arrêt utilisateur"
                         << "Archive \"/home/u/Sauvegarde/\" créée | Code 255 : \"Arrêt "
                            "utilisateur\"";
    QTest::newRow("unknown") << target << 3 << ""
                             << "Archive \"/home/u/Sauvegarde/\" créée | Code 3 : \"\"";
    QTest::newRow("negative") << target << -1 << ""
                              << "Archive \"/home/u/Sauvegarde/\" créée | Code -1 : \"\"";
    QTest::newRow("256") << target << 256 << ""
                         << "Archive \"/home/u/Sauvegarde/\" créée | Code 256 : \"\"";
    QTest::newRow("placeholders in the target")
        << "/t/%1 %2 %3/" << 2 << "Erreur fatale !"
        << "Archive \"/t/%1 %2 %3/\" créée | Code 2 : \"Erreur fatale !\"";
}

void TestArchive::exitTexts()
{
    QFETCH(QString, target);
    QFETCH(int, exitCode);
    QFETCH(QString, exitText);
    QFETCH(QString, doneText);

    QCOMPARE(SevenZipExitText(exitCode), exitText);
    QCOMPARE(ArchiveDoneText(target, exitCode), doneText);
}

void TestArchive::tempFolder_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("usable");

    QTest::newRow("existing folder") << "temp dir" << true;
    QTest::newRow("missing folder") << "missing/temp" << false;
    QTest::newRow("file in the way") << "file" << false;
}

void TestArchive::tempFolder()
{
    QFETCH(QString, entry);
    QFETCH(bool, usable);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkdir(QStringLiteral("temp dir")));
    QVERIFY(writeFile(root.filePath(QStringLiteral("file")), QFile::ReadOwner | QFile::WriteOwner));
    const QString entryPath = root.filePath(entry);
    const ScopedEnvironment tmpdir("TMPDIR", QFile::encodeName(entryPath));

    const QString folder = TempFolder();
    QCOMPARE(folder, usable ? QFileInfo(entryPath).canonicalFilePath() + u'/'
                            : QStringLiteral("/var/tmp/"));
    QVERIFY(QFileInfo(folder).isDir());
}

void TestArchive::defaultSevenZipExe_data()
{
    QTest::addColumn<bool>("inCurrentFolder");
    QTest::addColumn<QStringList>("onPath");
    QTest::addColumn<bool>("fromPath");
    QTest::addColumn<QString>("expected");

    QTest::newRow("current folder first") << true << QStringList{"7z", "7zz"} << false << "./7z";
    QTest::newRow("7z before 7zz and 7za")
        << false << QStringList{"7za", "7zz", "7z"} << true << "7z";
    QTest::newRow("7zz before 7za") << false << QStringList{"7za", "7zz"} << true << "7zz";
    QTest::newRow("7za") << false << QStringList{"7za"} << true << "7za";
    QTest::newRow("none") << false << QStringList{} << false << "7z";
}

void TestArchive::defaultSevenZipExe()
{
    QFETCH(bool, inCurrentFolder);
    QFETCH(QStringList, onPath);
    QFETCH(bool, fromPath);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir folders(root.path());
    QVERIFY(folders.mkdir(QStringLiteral("current")));
    QVERIFY(folders.mkdir(QStringLiteral("bin")));
    const QFileDevice::Permissions executable =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (inCurrentFolder)
        QVERIFY(writeFile(root.filePath(QStringLiteral("current/7z")), executable));
    for (const QString &name : onPath)
        QVERIFY(writeFile(root.filePath(QStringLiteral("bin/") + name), executable));

    const ScopedCurrentFolder current(root.filePath(QStringLiteral("current")));
    const ScopedEnvironment path("PATH", QFile::encodeName(root.filePath(QStringLiteral("bin"))));
    QCOMPARE(DefaultSevenZipExe(),
             fromPath ? root.filePath(QStringLiteral("bin/") + expected) : expected);
    // Only a program that is there counts as found; otherwise the archive job offers to locate it.
    QCOMPARE(SevenZipFound(DefaultSevenZipExe()), inCurrentFolder || fromPath);
    QVERIFY(!SevenZipFound(root.filePath(QStringLiteral("bin/absent"))));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
