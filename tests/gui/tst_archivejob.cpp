#include "../support.h"
#include "core/archive.h"
#include "core/environment.h"
#include "gui/console.h"
#include "gui/dialogseams.h"
#include "gui/exclusionswindow.h"
#include "gui/filedialogs.h"
#include "gui/folderfield.h"
#include "gui/mainwindow.h"
#include "gui/messagebox.h"
#include "gui/processrunner.h"
#include "gui/questionbox.h"
#include "gui/selectiongrid.h"
#include "gui/shellopen.h"
#include "gui/textprompt.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDir>
#include <QGroupBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestArchiveJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void protectedArchiveThroughTheRun();
    void emptySelectionIsAborted();
    void locateStoresTheChoice();
    void passwordPromptCancelRules();
    void missingArchiverIsReported();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_form;
};

void TestArchiveJob::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_dir.isValid());
}

void TestArchiveJob::init()
{
    QFile::remove(UserIniFileName());
    QFile::remove(ListFileName(QStringLiteral("exclusions@")));
    SwitchDialogsToTestMode();
    // The run state starts as a new process has it.
    DateMode = 0;
    CancelFlag = false;
    m_form = std::make_unique<TForm1>();
    m_form->createExclusionsWindow();
}

void TestArchiveJob::cleanup()
{
    m_form.reset();
    QFile::remove(UserIniFileName());
}

void TestArchiveJob::protectedArchiveThroughTheRun()
{
    if (SevenZipForTests().isEmpty())
        QSKIP("7-Zip is not installed");
    const QString source = m_dir.path() + QStringLiteral("/site/");
    const QString target = m_dir.path() + QStringLiteral("/archives/");
    QDir().mkpath(source + QStringLiteral("img"));
    QDir().mkpath(target);
    for (const QString &name : {QStringLiteral("a.txt"), QStringLiteral("img/b.png")}) {
        QVERIFY(WriteStampedFile(source + name, name.toUtf8(), QDateTime::currentDateTime()));
    }
    SevenZipExe = SevenZipForTests();
    m_form->chk_ZIP->setChecked(true);
    m_form->chk_Zip_PW->setChecked(true);
    m_form->chk_OPEN->setChecked(false);
    m_form->DirSOURCE->setText(source);
    m_form->DirCIBLE->setText(target);
    TextPrompt::setNextAnswer(QStringLiteral("secret"));
    // Wide enough for each console line to hold on one displayed line.
    m_form->resize(1800, 700);
    m_form->show();

    QSignalSpy ended(m_form->JvCreateProcess1, &ProcessRunner::terminated);
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();

    // The summary is written while 7-Zip still packs: it quotes the console's notice line.
    QVERIFY2(m_form->panelText(3).startsWith(QStringLiteral(
                 "OK Attendez le message \"Everything is OK\" ! de 2 fichiers De \"")),
             qPrintable(m_form->panelText(3)));
    QVERIFY(ended.wait(60000));
    QCOMPARE(ended.first().first().toInt(), 0);

    const QString name = ArchiveName(UserComputerTag(), source, QDate::currentDate());
    QCOMPARE(m_form->panelText(2),
             QStringLiteral("Archive \"%1\" créée | Code 0 : \"Succès\"").arg(target));
    const QString console = m_form->Memo1->toPlainText();
    QVERIFY(console.contains(QStringLiteral(" a -r -tZIP -p****** \"") + target + name));
    QVERIFY(!console.contains(QStringLiteral("secret")));
    QVERIFY(console.contains(QStringLiteral("Everything is Ok")));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Compression OK"));
    QCOMPARE(TextPrompt::askedCount(), 1);

    const QString archive = target + name;
    QVERIFY(RunSevenZip({QStringLiteral("t"), QStringLiteral("-pfaux"), archive}) != 0);
    QCOMPARE(RunSevenZip({QStringLiteral("t"), QStringLiteral("-psecret"), archive}), 0);

    // The staging folder lives until the program ends.
    QVERIFY(QFileInfo(ZipStagingFolder).isDir());
    const QString staging = ZipStagingFolder;
    m_form.reset();
    QVERIFY(!QFileInfo::exists(staging));
}

void TestArchiveJob::emptySelectionIsAborted()
{
    m_form->Calendar1->setSelectedDate(QDate(2020, 2, 2));
    m_form->RadioGroup_DATEButtons->button(0)->click();
    m_form->ListBox1.clear();
    m_form->DirSOURCE->setText(m_dir.path() + QStringLiteral("/vide/"));
    m_form->DirCIBLE->setText(m_dir.path() + QStringLiteral("/sortie/"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/vide"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/sortie"));
    SevenZipExe = SevenZipForTests();
    m_form->command(QStringLiteral("DO_ZIP"))->trigger();
    QVERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(MessageBox::shown().last().text.startsWith(QStringLiteral(
        "OPERATION AVORTEE:\r\n\r\nAucun fichier trouvé dans ces critères de dates")));
    QCOMPARE(m_form->Calendar1->selectedDate(), QDate::currentDate());
    QCOMPARE(m_form->RadioGroup_DATEButtons->checkedId(), 1);
    QCOMPARE(int(DateMode), 0);
    QVERIFY(!m_form->JvCreateProcess1->isRunning());
    // The target field is given back.
    QCOMPARE(m_form->DirCIBLE->text(), m_dir.path() + QStringLiteral("/sortie/"));
}

void TestArchiveJob::locateStoresTheChoice()
{
    FileDialogs::setNextFile(QStringLiteral("/opt/7-Zip/7zz"));
    m_form->findChild<QAction *>(QStringLiteral("mnu_ZipLocate"))->trigger();
    QCOMPARE(SevenZipExe, QStringLiteral("/opt/7-Zip/7zz"));
    QCOMPARE(m_form->panelText(2), QStringLiteral("/opt/7-Zip/7zz"));
    m_form.reset();
    m_form = std::make_unique<TForm1>();
    QCOMPARE(SevenZipExe, QStringLiteral("/opt/7-Zip/7zz"));
    QCOMPARE(FileDialogs::lastOpenFileSetup().title, QStringLiteral("Localisez le fichier 7z.exe"));

    // A cancelled choice changes nothing.
    m_form->findChild<QAction *>(QStringLiteral("mnu_ZipLocate"))->trigger();
    QCOMPARE(SevenZipExe, QStringLiteral("/opt/7-Zip/7zz"));
}

void TestArchiveJob::passwordPromptCancelRules()
{
    if (SevenZipForTests().isEmpty())
        QSKIP("7-Zip is not installed");
    const QString source = m_dir.path() + QStringLiteral("/motdepasse/");
    const QString target = m_dir.path() + QStringLiteral("/motdepasse-archives/");
    QDir().mkpath(source);
    QDir().mkpath(target);
    QVERIFY(WriteStampedFile(source + QStringLiteral("note.txt"), "note",
                             QDateTime::currentDateTime()));
    SevenZipExe = SevenZipForTests();
    m_form->chk_Zip_PW->setChecked(true);
    m_form->chk_OPEN->setChecked(false);
    m_form->chk_AutoCopy->setChecked(false);
    m_form->DirSOURCE->setText(source);
    m_form->DirCIBLE->setText(target);
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();
    QCOMPARE(m_form->ListBox1.size(), 1);
    QSignalSpy ended(m_form->JvCreateProcess1, &ProcessRunner::terminated);
    const auto archiveOnce = [&] {
        m_form->command(QStringLiteral("DO_ZIP"))->trigger();
        QVERIFY(ended.wait(60000));
    };

    // No option yet: two cancels make an archive without a password.
    archiveOnce();
    QCOMPARE(TextPrompt::askedCount(), 2);
    QCOMPARE(ZipPasswordSwitch, QString());
    QVERIFY(m_form->Memo1->toPlainText().contains(QStringLiteral(" a -r -tZIP  \"")));

    // A cancel after a protected run keeps that run's password, asking once.
    TextPrompt::setTestMode(true);
    TextPrompt::setNextAnswer(QStringLiteral("abc"));
    archiveOnce();
    QCOMPARE(ZipPasswordSwitch, QStringLiteral("-pabc"));
    TextPrompt::setTestMode(true);
    archiveOnce();
    QCOMPARE(TextPrompt::askedCount(), 1);
    QCOMPARE(ZipPasswordSwitch, QStringLiteral("-pabc"));
    QVERIFY(m_form->Memo1->toPlainText().contains(QStringLiteral(" a -r -tZIP -p*** \"")));
}

void TestArchiveJob::missingArchiverIsReported()
{
    const QString source = m_dir.path() + QStringLiteral("/sans7z/");
    const QString target = m_dir.path() + QStringLiteral("/sans7z-archives/");
    QDir().mkpath(source);
    QDir().mkpath(target);
    QVERIFY(
        WriteStampedFile(source + QStringLiteral("note.txt"), {}, QDateTime::currentDateTime()));
    SevenZipExe = m_dir.path() + QStringLiteral("/absent/7zz");
    m_form->chk_OPEN->setChecked(false);
    m_form->DirSOURCE->setText(source);
    m_form->DirCIBLE->setText(target);
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();

    // The locator was offered (and cancelled), then the start failed with the system's text,
    // which reaches the selection's guard; the window takes input again.
    QCOMPARE(FileDialogs::lastOpenFileSetup().title, QStringLiteral("Localisez le fichier 7z.exe"));
    const QString shown = MessageBox::shown().last().text;
    QVERIFY2(shown.startsWith(QStringLiteral("ERR:btn_SELExecute =>")) &&
                 shown.size() > QStringLiteral("ERR:btn_SELExecute =>").size(),
             qPrintable(shown));
    QVERIFY(m_form->isEnabled());
    QCOMPARE(m_form->DirCIBLE->text(), target);
}

QTEST_MAIN(TestArchiveJob)
#include "tst_archivejob.moc"
