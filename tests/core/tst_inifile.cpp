#include "core/error.h"
#include "core/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void missingFileReadsDefaults();
    void longValueReadCut();
    void writeKeepsOtherLines();
    void newKeysInFirstWriteOrder();
    void refusedWrite_data();
    void refusedWrite();
    void splitText_data();
    void splitText();

private:
    QString writeFile(const QByteArray &content);
    QByteArray contentOf(const QString &path);

    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestIniFile::writeFile(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.ini").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

QByteArray TestIniFile::contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("exact") << QByteArray("[OPTIONS]\r\nSEVENZIP_EXE=/usr/bin/7zz\r\n") << "OPTIONS"
                           << "SEVENZIP_EXE"
                           << "/usr/bin/7zz";
    QTest::newRow("section and key without case")
        << QByteArray("[Options]\r\nSevenZip_Exe=/usr/bin/7zz\r\n") << "OPTIONS"
        << "sevenzip_exe"
        << "/usr/bin/7zz";
    QTest::newRow("accented letters keep their case")
        << QByteArray("[A]\r\ncl\xC3\xA9=1\r\n") << "a"
        << "CL\xC3\x89"
        << "DEF";
    QTest::newRow("blanks around the equals sign")
        << QByteArray("[ DOSSIER ]\r\n  SOURCE =  /home/u/Site  \r\n") << "DOSSIER"
        << "SOURCE"
        << "/home/u/Site";
    QTest::newRow("line feeds only") << QByteArray("[A]\nk=v\n") << "A"
                                     << "k"
                                     << "v";
    QTest::newRow("equals sign in the value") << QByteArray("[A]\r\nk=a=b\r\n") << "A"
                                              << "k"
                                              << "a=b";
    QTest::newRow("empty value is no default") << QByteArray("[A]\r\nk=\r\n") << "A"
                                               << "k"
                                               << "";
    QTest::newRow("UTF-8 value") << QByteArray("[A]\r\nk=\xC3\x89t\xC3\xA9\r\n") << "A"
                                 << "k"
                                 << "\xC3\x89t\xC3\xA9";
    QTest::newRow("byte-order mark skipped") << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n") << "A"
                                             << "k"
                                             << "v";
    QTest::newRow("first of two keys") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << "A"
                                       << "k"
                                       << "1";
    QTest::newRow("missing section") << QByteArray("[B]\r\nk=v\r\n") << "A"
                                     << "k"
                                     << "DEF";
    QTest::newRow("missing key") << QByteArray("[A]\r\nkk=v\r\n") << "A"
                                 << "k"
                                 << "DEF";
    QTest::newRow("key of another section") << QByteArray("[A]\r\nx=1\r\n[B]\r\nk=v\r\n") << "A"
                                            << "k"
                                            << "DEF";
    QTest::newRow("key before any section") << QByteArray("k=v\r\n[A]\r\n") << "A"
                                            << "k"
                                            << "DEF";
    QTest::newRow("comment is no key") << QByteArray("[A]\r\n;k=v\r\n") << "A"
                                       << ";k"
                                       << "DEF";
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QCOMPARE(IniReadString(section, key, QStringLiteral("DEF"), writeFile(content)), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal") << "420" << 420;
    QTest::newRow("negative") << "-20" << -20;
    QTest::newRow("plus sign") << "+3" << 3;
    QTest::newRow("blanks trimmed") << "  5  " << 5;
    QTest::newRow("largest") << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("too large") << "2147483648" << 7;
    QTest::newRow("hexadecimal") << "0x1F" << 31;
    QTest::newRow("hexadecimal upper X") << "0X10" << 16;
    QTest::newRow("hexadecimal all bits") << "0xFFFFFFFF" << -1;
    QTest::newRow("hexadecimal too large") << "0x100000000" << 7;
    QTest::newRow("bad hexadecimal digit") << "0x1G" << 7;
    QTest::newRow("0x alone") << "0x" << 7;
    QTest::newRow("word") << "abc" << 7;
    QTest::newRow("trailing letters") << "12abc" << 7;
    QTest::newRow("fraction") << "1.5" << 7;
    QTest::newRow("sign alone") << "-" << 7;
    QTest::newRow("empty") << "" << 7;
}

void TestIniFile::readInteger()
{
    QFETCH(QString, value);
    QFETCH(int, expected);

    const QString file = writeFile("[OPTIONS]\r\nDELAI=" + value.toUtf8() + "\r\n");
    QCOMPARE(IniReadInteger(QStringLiteral("OPTIONS"), QStringLiteral("DELAI"), 7, file), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << "1" << false << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("2") << "2" << false << true;
    QTest::newRow("0x1") << "0x1" << false << true;
    QTest::newRow("yes keeps default true") << "yes" << true << true;
    QTest::newRow("yes keeps default false") << "yes" << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QString, value);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);

    const QString file = writeFile("[OPTIONS]\r\nchk_ZIP=" + value.toUtf8() + "\r\n");
    QCOMPARE(IniReadBool(QStringLiteral("OPTIONS"), QStringLiteral("chk_ZIP"), defaultValue, file),
             expected);
}

void TestIniFile::missingFileReadsDefaults()
{
    const QString file = m_dir.filePath(QStringLiteral("absent.ini"));
    QCOMPARE(IniReadString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d"), file),
             QStringLiteral("d"));
    QCOMPARE(IniReadInteger(QStringLiteral("A"), QStringLiteral("k"), 10, file), 10);
    QCOMPARE(IniReadBool(QStringLiteral("A"), QStringLiteral("k"), true, file), true);
    QVERIFY(!QFile::exists(file));
}

void TestIniFile::longValueReadCut()
{
    const QString file = m_dir.filePath(QStringLiteral("long.ini"));
    QString value;
    for (int i = 0; i < 3000; ++i)
        value += QChar(u'a' + i % 26);
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), value, file);

    QVERIFY(contentOf(file).contains(value.toUtf8()));
    QCOMPARE(IniReadString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), QString(), file),
             value.left(2047));
}

void TestIniFile::writeKeepsOtherLines()
{
    const QString file = writeFile("; r\xC3\xA9glages\n"
                                   "[DOSSIER]\n"
                                   "  SOURCE = /ancien\n"
                                   "CIBLE=/cible\n"
                                   "\n"
                                   "[OPTIONS]\n"
                                   "chk_ZIP=1\n");

    IniWriteString(QStringLiteral("dossier"), QStringLiteral("source"), QStringLiteral("/nouveau"),
                   file);
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("NOTE"),
                   QStringLiteral("\u00c9t\u00e9"), file);
    IniWriteInteger(QStringLiteral("OPTIONS"), QStringLiteral("DELAI"), 10, file);
    IniWriteBool(QStringLiteral("OPTIONS"), QStringLiteral("chk_OPEN"), false, file);
    IniWriteInteger(QStringLiteral("GRILLE"), QStringLiteral("LARGEUR"), 80, file);

    QCOMPARE(contentOf(file), QByteArray("; r\xC3\xA9glages\r\n"
                                         "[DOSSIER]\r\n"
                                         "SOURCE=/nouveau\r\n"
                                         "CIBLE=/cible\r\n"
                                         "NOTE=\xC3\x89t\xC3\xA9\r\n"
                                         "\r\n"
                                         "[OPTIONS]\r\n"
                                         "chk_ZIP=1\r\n"
                                         "DELAI=10\r\n"
                                         "chk_OPEN=0\r\n"
                                         "[GRILLE]\r\n"
                                         "LARGEUR=80\r\n"));
}

void TestIniFile::newKeysInFirstWriteOrder()
{
    const QString file = m_dir.filePath(QStringLiteral("order.ini"));
    IniWriteBool(QStringLiteral("OPTIONS"), QStringLiteral("chk_ZIP"), true, file);
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), QStringLiteral("/s"), file);
    IniWriteBool(QStringLiteral("OPTIONS"), QStringLiteral("chk_AutoRun"), false, file);
    IniWriteBool(QStringLiteral("OPTIONS"), QStringLiteral("CHK_ZIP"), false, file);

    QCOMPARE(contentOf(file), QByteArray("[OPTIONS]\r\n"
                                         "chk_ZIP=0\r\n"
                                         "chk_AutoRun=0\r\n"
                                         "[DOSSIER]\r\n"
                                         "SOURCE=/s\r\n"));
    QVERIFY(!IniReadBool(QStringLiteral("options"), QStringLiteral("chk_zip"), true, file));
}

void TestIniFile::refusedWrite_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("value");

    QTest::newRow("missing folder") << m_dir.filePath(QStringLiteral("absent/x.ini")) << "v";
    QTest::newRow("path is a folder") << m_dir.path() << "v";
    // A line break would slip a forged key or section into the file.
    QTest::newRow("line break in the value")
        << m_dir.filePath(QStringLiteral("kept.ini")) << "/a\r\n[OPTIONS]\r\nchk_AutoRun=1";
}

void TestIniFile::refusedWrite()
{
    QFETCH(QString, file);
    QFETCH(QString, value);

    const QByteArray before = "[DOSSIER]\r\nSOURCE=/s\r\n";
    if (!QFileInfo(file).isDir() && QFileInfo(file).dir().exists()) {
        QFile fixture(file);
        QVERIFY(fixture.open(QIODevice::WriteOnly));
        fixture.write(before);
    }
    try {
        IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), value, file);
        QFAIL("the write was not refused");
    } catch (const TarselError &e) {
        QCOMPARE(e.message(), QStringLiteral("Impossible d'écrire dans ") + file);
    }
    if (QFileInfo(file).isFile())
        QCOMPARE(contentOf(file), before);
}

void TestIniFile::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("placement") << "420:131:698:706" << QStringList{"420", "131", "698", "706"};
    QTest::newRow("three parts") << "1:2:3" << QStringList{"1", "2", "3"};
    QTest::newRow("empty last part dropped") << "1:2:" << QStringList{"1", "2"};
    QTest::newRow("empty inner part kept") << "1::3" << QStringList{"1", "", "3"};
    QTest::newRow("empty first part kept") << ":2" << QStringList{"", "2"};
    QTest::newRow("no separator") << "abc" << QStringList{"abc"};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestIniFile::splitText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, parts);

    QCOMPARE(SplitText(text, QStringLiteral(":")), parts);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
