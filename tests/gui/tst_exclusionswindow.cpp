#include "core/environment.h"
#include "core/inifile.h"
#include "gui/exclusionswindow.h"
#include "gui/messagebox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QStringList DelphiPreset = {
    QStringLiteral("*.ini"), QStringLiteral("*.dcu"), QStringLiteral("*.cfg"),
    QStringLiteral("*.dof"), QStringLiteral("*.dsk"), QStringLiteral("*.ddp"),
    QStringLiteral("*.zip"),
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_ExclusionsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void roundTripKeepsFileAndPlacement_data();
    void roundTripKeepsFileAndPlacement();
    void presetReplacesListAndEscapeSaves();
    void emptyListIsWritten();
    void unreadableFileIsReported();
    void badPlacementStillReadsList();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_settings;
    QString m_list;
};

void tst_ExclusionsWindow::initTestCase()
{
    MessageBox::setTestMode(true);
}

void tst_ExclusionsWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = m_dir->filePath(QStringLiteral("tarsel@user-host.INI"));
    m_list = m_dir->filePath(QStringLiteral("exclusions@user-host.txt"));
    MessageBox::clearShown();
}

void tst_ExclusionsWindow::roundTripKeepsFileAndPlacement_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QString text = QStringLiteral("*.bak\r\nCafé\\Brouillons\r\n\r\n*.tmp\r\n");
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QStringEncoder utf8(QStringConverter::Utf8);
    QTest::newRow("UTF-16 LE with mark") << QByteArray("\xFF\xFE") + QByteArray(utf16le(text));
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + QByteArray(utf8(text));
    QTest::newRow("without mark") << QByteArray(utf8(text));
}

void tst_ExclusionsWindow::roundTripKeepsFileAndPlacement()
{
    QFETCH(QByteArray, bytes);

    QVERIFY(writeBytes(m_list, bytes));
    QRect placed;
    {
        TForm_exclu window(nullptr, m_settings, m_list);
        QCOMPARE(window.objectName(), QStringLiteral("Form_exclu"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Exclusions"));
        QCOMPARE(window.patterns(),
                 QStringList({QStringLiteral("*.bak"), QStringLiteral("Café\\Brouillons"),
                              QString(), QStringLiteral("*.tmp")}));
        QVERIFY(QFile::remove(m_list));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(70, 40);
        window.resize(260, 300);
        placed = window.frameGeometry();
        QVERIFY(window.close());
    }
    QCOMPARE(fileBytes(m_list), bytes);
    QVERIFY(!IniReadString(ExeBaseName(false), QStringLiteral("Form_exclu"), QString(), m_settings)
                 .isEmpty());

    TForm_exclu reopened(nullptr, m_settings, m_list);
    reopened.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reopened));
    QCOMPARE(reopened.frameGeometry(), placed);
    QVERIFY(MessageBox::shown().isEmpty());
}

void tst_ExclusionsWindow::presetReplacesListAndEscapeSaves()
{
    QVERIFY(writeBytes(m_list, "*.old\r\n"));
    TForm_exclu window(nullptr, m_settings, m_list);
    auto *delphi = window.findChild<QAction *>(QStringLiteral("Delphi1"));
    QVERIFY(delphi);
    QCOMPARE(delphi->text(), QStringLiteral("Delphi"));
    delphi->trigger();
    QCOMPARE(window.patterns(), DelphiPreset);
    QCOMPARE(window.Liste_EXCLUS->count(), DelphiPreset.size());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QCOMPARE(fileBytes(m_list), DelphiPreset.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

void tst_ExclusionsWindow::emptyListIsWritten()
{
    TForm_exclu window(nullptr, m_settings, m_list);
    QVERIFY(window.patterns().isEmpty());
    window.close();
    QVERIFY(QFile::exists(m_list));
    QCOMPARE(fileBytes(m_list), QByteArray());

    QVERIFY(writeBytes(m_list, "\xFF\xFE"));
    TForm_exclu marked(nullptr, m_settings, m_list);
    QVERIFY(marked.patterns().isEmpty());
    QVERIFY(QFile::remove(m_list));
    marked.close();
    QCOMPARE(fileBytes(m_list), QByteArray("\xFF\xFE"));
}

void tst_ExclusionsWindow::unreadableFileIsReported()
{
    QVERIFY(QDir().mkpath(m_list));
    TForm_exclu window(nullptr, m_settings, m_list);
    QCOMPARE(MessageBox::shown().size(), 1);
    MessageBox::Shown read = MessageBox::shown().constFirst();
    QCOMPARE(read.kind, MessageBox::Error);
    QVERIFY2(
        read.text.startsWith(
            QStringLiteral("Impossible de lire la liste des exclusions \"%1\" : ").arg(m_list)),
        qPrintable(read.text));

    window.close();
    QCOMPARE(MessageBox::shown().size(), 2);
    MessageBox::Shown written = MessageBox::shown().constLast();
    QCOMPARE(written.kind, MessageBox::Error);
    QVERIFY2(written.text.startsWith(
                 QStringLiteral("Impossible d'enregistrer la liste des exclusions \"%1\" : ")
                     .arg(m_list)),
             qPrintable(written.text));
    QVERIFY(QFileInfo(m_list).isDir());
}

void tst_ExclusionsWindow::badPlacementStillReadsList()
{
    QVERIFY(writeBytes(m_settings, "[" + ExeBaseName(false).toUtf8() + "]\r\nForm_exclu=abc\r\n"));
    QVERIFY(writeBytes(m_list, "*.log\r\n"));
    TForm_exclu window(nullptr, m_settings, m_list);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().text,
             QStringLiteral("'abc' n'est pas une valeur entière correcte"));
    QCOMPARE(window.patterns(), QStringList({QStringLiteral("*.log")}));
    window.close();
    QCOMPARE(fileBytes(m_list), QByteArray("*.log\r\n"));
}

QTEST_MAIN(tst_ExclusionsWindow)
#include "tst_exclusionswindow.moc"
