#include "../support.h"
#include "core/criterion.h"
#include "core/environment.h"
#include "core/inifile.h"
#include "gui/console.h"
#include "gui/dialogseams.h"
#include "gui/exclusionswindow.h"
#include "gui/filedialogs.h"
#include "gui/folderfield.h"
#include "gui/mainwindow.h"
#include "gui/messagebox.h"
#include "gui/questionbox.h"
#include "gui/selectiongrid.h"
#include "gui/shellopen.h"
#include "gui/textprompt.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace
{

// Counts key presses that reach a widget.
class KeyCounter : public QObject
{
public:
    int escapes = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            ++escapes;
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void structure_data();
    void structure();
    void statusPanelsAndMenus();
    void shortcutInTextFieldRunsTheCommand();
    void escapeSetsCancelAndReachesTheControl();
    void hintsReachPanelThree();
    void criterionTexts();
    void closingSavesAndQuitDoesNot();
    void restartRestoresPlacementOptionsAndFolders();
    void badPlacementIsReportedAndWindowOpens();
    void missingSourceAsksTheQuestion();
    void selectionListsPanelsAndLog();
    void cancelStopsAfterTheFirstFolder();
    void selectionChainsIntoACopyAndReports();
    void emptySelectionEndsWithoutLooping();
    void clearAllKeepsHiddenLists();
    void dropPutsFirstPathIntoSource();
    void leavingAFieldAddsToItsHistory();
    void folderShortcutsAndOpening();
    void displayOptions();
    void helpMenu();
    void refusedSaveIsReported();
    void failedCopyIsCountedInTheSummary();

private:
    // A time on the window's calendar day, so a test run at midnight stamps the day it checks.
    QDateTime at(int h, int m) const
    {
        return QDateTime(m_form->Calendar1->selectedDate(), QTime(h, m));
    }
    std::unique_ptr<TForm1> newForm();
    // F4 with the copy chained after it, in a window wide enough for each console line to hold
    // on one displayed line (the summary quotes console lines).
    void selectAndCopy(const QString &source, const QString &target)
    {
        m_form->resize(1800, 700);
        m_form->show();
        m_form->chk_ZIP->setChecked(false);
        m_form->chk_OPEN->setChecked(false);
        m_form->DirSOURCE->setText(source);
        m_form->DirCIBLE->setText(target);
        m_form->command(QStringLiteral("act_BtnSEL"))->trigger();
    }
    void removeSettings();
    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_form;
};

void TestMainWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_dir.isValid());
}

void TestMainWindow::removeSettings()
{
    QFile::remove(UserIniFileName());
    QFile::remove(DefaultIniFileName());
    QFile::remove(ListFileName(QStringLiteral("dossiers_source@")));
    QFile::remove(ListFileName(QStringLiteral("dossiers_cible@")));
    QFile::remove(ListFileName(QStringLiteral("exclusions@")));
    QFile::remove(LogFileName());
}

void TestMainWindow::init()
{
    removeSettings();
    SwitchDialogsToTestMode();
    // The run state starts as a new process has it.
    DateMode = 0;
    CancelFlag = false;
    m_form = newForm();
}

void TestMainWindow::cleanup()
{
    m_form.reset();
    removeSettings();
}

std::unique_ptr<TForm1> TestMainWindow::newForm()
{
    auto form = std::make_unique<TForm1>();
    form->createExclusionsWindow();
    return form;
}

void TestMainWindow::structure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");

    auto row = [](const char *name, const char *caption, const QKeySequence &key = {},
                  bool enabled = true) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << key
                            << enabled;
    };
    row("INI_SAVE", "Enregistrer la configuration", QKeySequence(Qt::CTRL | Qt::Key_W));
    row("act_BtnSEL", "&Sélect. les fichiers", QKeySequence(Qt::Key_F4));
    row("DO_COPY", "Lancer la &copie", QKeySequence(Qt::Key_F5));
    row("act_BtnCANCEL", "A&nnuler");
    row("opt_Delai", "&Délai", {}, false);
    row("DO_ZIP", "Créer une copie conforme du dossier au format ZIP");
    row("act_BtnOK", "OK");
    row("Fichiersexclure1", "Exclusions", QKeySequence(Qt::CTRL | Qt::Key_X));
    row("b1", "&Sélect. les fichiers", QKeySequence(Qt::Key_F4));
    row("Copier1", "Lancer la &copie", QKeySequence(Qt::Key_F5));
    row("mnu_ZipLocate", "Localiser le programe 7z.Exe sur le disque",
        QKeySequence(Qt::CTRL | Qt::Key_Z));
    row("OuvrirSource2", "Ouvrir &Source", QKeySequence(Qt::CTRL | Qt::Key_1));
    row("Ouvrirdestination2", "Ouvrir &destination", QKeySequence(Qt::CTRL | Qt::Key_2));
    row("Ouvrirlefichiertemporaire1", "Ouvrir le fichier temporaire",
        QKeySequence(Qt::CTRL | Qt::Key_3));
    row("Quitter1", "&Quitter");
    row("chk_OPEN", "Ouvrir la &destination à la fin du traitement ");
    row("INISAVE1", "Enregistrer la configuration", QKeySequence(Qt::CTRL | Qt::Key_W));
    row("Notes1", "&Notes", QKeySequence(Qt::CTRL | Qt::Key_T));
    row("Dlai3", "&Délai", {}, false);
    row("Agrandir1", "&Agrandir");
    row("Quitter2", "&Quitter");
    row("OuvrirSource3", "Ouvrir &Source");
    row("Kelvra1", "Kelvra");
    row("DropBox1", "DropBox");
    row("N3Lancerlaslectiondeefichiers1", "3- Lancer la sélection des fichiers");
    row("lchargerleprogrammedecompressionSevenZIP1",
        "&Télécharger le programme de compression Seven-ZIP");
}

void TestMainWindow::structure()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    auto *action = m_form->findChild<QAction *>(name);
    QVERIFY2(action, qPrintable(name));
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isEnabled(), enabled);
}

void TestMainWindow::statusPanelsAndMenus()
{
    const int widths[4] = {40, 60, 100, 200};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(m_form->StatusPanels[i]->minimumWidth(), widths[i]);
        QCOMPARE(m_form->StatusPanels[i]->maximumWidth(), widths[i]);
    }
    QVERIFY(m_form->StatusPanels[0]->alignment() & Qt::AlignHCenter);
    QVERIFY(m_form->StatusPanels[3]->alignment() & Qt::AlignLeft);

    for (const char *name : {"StatusBar1",
                             "JvCaptionPanel1",
                             "pan_source",
                             "Panel6",
                             "Label1",
                             "Label3",
                             "JvComboSources",
                             "JvComboCibles",
                             "DirSOURCE",
                             "DirCIBLE",
                             "Panel1",
                             "GroupBox2",
                             "Calendar1",
                             "Panel2",
                             "Panel5",
                             "Label2",
                             "Edit_Masque",
                             "RadioGroup_DATE",
                             "GroupBox3",
                             "btn_SEL",
                             "btn_CANCEL1",
                             "group_FICHIERS",
                             "panel_DossierTrouve",
                             "ListBox_PATH",
                             "ValueListEditor1",
                             "Memo1",
                             "MainMenu1",
                             "PopupMenu_TRAY",
                             "Popup_source",
                             "Popup_CIBLE",
                             "TrayIcon1",
                             "JvCreateProcess1"})
        QVERIFY2(m_form->findChild<QObject *>(QString::fromLatin1(name)), name);

    QCOMPARE(m_form->Edit_Masque->text(), QStringLiteral("*.*"));
    QCOMPARE(m_form->RadioGroup_DATEButtons->checkedId(), 1);
    QCOMPARE(m_form->Calendar1->firstDayOfWeek(), Qt::Monday);
    QCOMPARE(m_form->TrayIcon1->toolTip(),
             QStringLiteral("[Clic = Agrandir ][ Clic droit = Menu ]"));
    // The cancel button shows its icon and no text.
    QCOMPARE(m_form->btn_CANCEL1->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QVERIFY(!m_form->btn_CANCEL1->icon().isNull());
    QVERIFY(m_form->Popup_source->defaultAction());
    QCOMPARE(m_form->Popup_source->defaultAction()->objectName(), QStringLiteral("OuvrirSource3"));
    QVERIFY(!m_form->chk_AutoCopy->isVisible());

    // The option items, in the order they are saved.
    QStringList options;
    for (QAction *a : m_form->findChildren<QAction *>())
        if (a->objectName().startsWith(QStringLiteral("chk_")))
            options << a->objectName();
    QCOMPARE(options, QStringList({"chk_AffDossierTrouve", "chk_AFFConsole", "chk_ZIP",
                                   "chk_Zip_PW", "chk_AutoRun", "chk_AutoCopy", "chk_OPEN",
                                   "chk_FORCE", "chk_AutoClose"}));

    // The source half of the folder panel follows the window's width.
    m_form->show();
    for (int width : {700, 951}) {
        m_form->resize(width, 628);
        QCoreApplication::processEvents();
        QCOMPARE(m_form->pan_source->width(), m_form->JvCaptionPanel1->width() / 2);
        // The found folders show in two columns.
        QCOMPARE(m_form->ListBox_PATH->gridSize().width(),
                 m_form->ListBox_PATH->viewport()->width() / 2);
    }
}

void TestMainWindow::shortcutInTextFieldRunsTheCommand()
{
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    // F4 from the mask field runs the selection (here: the missing source question).
    m_form->Edit_Masque->setFocus();
    QuestionBox::setNextAnswer(1);
    QTest::keyClick(m_form->Edit_Masque, Qt::Key_F4);
    QCOMPARE(QuestionBox::asked().size(), 1);

    m_form->DirSOURCE->setText(QStringLiteral("/un/dossier"));
    m_form->DirSOURCE->edit()->selectAll();
    m_form->DirSOURCE->edit()->setFocus();
    bool exclusionsShown = false;
    QTimer::singleShot(0, m_form.get(), [&] {
        exclusionsShown = m_form->Form_exclu->isVisible();
        m_form->Form_exclu->close();
    });
    QTest::keyClick(m_form->DirSOURCE->edit(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(exclusionsShown);
    QCOMPARE(m_form->DirSOURCE->text(), QStringLiteral("/un/dossier"));
}

void TestMainWindow::escapeSetsCancelAndReachesTheControl()
{
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    KeyCounter counter;
    m_form->Edit_Masque->installEventFilter(&counter);
    m_form->Edit_Masque->setFocus();
    CancelFlag = false;
    QTest::keyClick(m_form->Edit_Masque, Qt::Key_Escape);
    QVERIFY(CancelFlag);
    QCOMPARE(counter.escapes, 1);
    CancelFlag = false;
}

void TestMainWindow::hintsReachPanelThree()
{
    m_form->show();
    m_form->setPanelText(3, QStringLiteral("résumé"));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(m_form->RadioGroup_DATEButtons->button(0), &enter);
    QCOMPARE(
        m_form->panelText(3),
        QStringLiteral(
            "Choisir s'il faut recopier tout ce qui est avant après ou pendant le jour choisi"));
    QEnterEvent enterGrid(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(m_form->ValueListEditor1, &enterGrid);
    QCOMPARE(m_form->panelText(3), QString());

    auto *quit = m_form->findChild<QAction *>(QStringLiteral("Quitter1"));
    emit m_form->findChild<QMenu *>(QStringLiteral("Fichier1"))->hovered(quit);
    QCOMPARE(m_form->panelText(3), QStringLiteral("Quitter l'application"));
}

void TestMainWindow::criterionTexts()
{
    const QDate day(2022, 1, 10);
    m_form->Calendar1->setSelectedDate(day);
    m_form->DirSOURCE->setText(QStringLiteral("/src"));
    m_form->DirCIBLE->setText(QStringLiteral("/dst"));
    const struct {
        int item;
        int mode;
        const char *caption;
    } cases[] = {{0, -1, "Copie des fichiers modifiés avant le  10/01/2022"},
                 {2, 1, "Copie des fichiers modifiés après le  10/01/2022"},
                 {1, 0, "Copie des fichiers modifiés le  10/01/2022"}};
    for (const auto &c : cases) {
        m_form->RadioGroup_DATEButtons->button(c.item)->click();
        QCOMPARE(int(DateMode), c.mode);
        QCOMPARE(m_form->group_FICHIERS->title(), QString::fromUtf8(c.caption));
    }
    m_form->Edit_Masque->setText(QString());
    QCOMPARE(m_form->Memo1->toPlainText(),
             CriterionConsoleText(QStringLiteral("OK"), QString(), 0, day, QStringLiteral("/src"),
                                  QStringLiteral("/dst"))
                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(m_form->Memo1->toPlainText().contains(QStringLiteral("fichiers \"\" modifiés")));

    // Toggling the archive option switches panel 0 and rewrites the console.
    m_form->Memo1->appendLine(QStringLiteral("sortie de 7-Zip"));
    m_form->chk_ZIP->trigger();
    QCOMPARE(m_form->panelText(0), QStringLiteral("COPY"));
    QVERIFY(!m_form->Memo1->toPlainText().contains(QStringLiteral("sortie de 7-Zip")));
    m_form->chk_ZIP->trigger();
    QCOMPARE(m_form->panelText(0), QStringLiteral("ZIP"));
}

void TestMainWindow::closingSavesAndQuitDoesNot()
{
    m_form->show();
    m_form->chk_AutoClose->trigger();
    QVERIFY(m_form->chk_AutoClose->isChecked());
    m_form->close();
    QCOMPARE(IniReadBool(QStringLiteral("OPTIONS"), QStringLiteral("chk_AutoClose"), false,
                         UserIniFileName()),
             true);

    m_form = newForm();
    QVERIFY(m_form->chk_AutoClose->isChecked());
    // The destination option is also written into the shared file at once.
    m_form->chk_OPEN->trigger();
    QCOMPARE(IniReadBool(QStringLiteral("OPTIONS"), QStringLiteral("OUVRE_DOSSIER"), true,
                         DefaultIniFileName()),
             false);
    m_form->chk_AutoClose->trigger();
    m_form->findChild<QAction *>(QStringLiteral("Quitter1"))->trigger();
    m_form = newForm();
    QVERIFY(m_form->chk_AutoClose->isChecked());
}

void TestMainWindow::restartRestoresPlacementOptionsAndFolders()
{
    m_form->show();
    m_form->setGeometry(100, 120, 760, 640);
    QCoreApplication::processEvents();
    const QRect frame = m_form->frameGeometry();
    m_form->DirSOURCE->setText(m_dir.path() + QStringLiteral("/source"));
    m_form->DirCIBLE->setText(m_dir.path() + QStringLiteral("/cible"));
    m_form->chk_ZIP->trigger();
    m_form->chk_FORCE->trigger();
    m_form->RadioGroup_DATEButtons->button(2)->click();
    m_form->close();

    m_form = newForm();
    m_form->show();
    QCoreApplication::processEvents();
    QCOMPARE(m_form->frameGeometry().topLeft(), frame.topLeft());
    QCOMPARE(m_form->frameGeometry().size(), frame.size());
    QCOMPARE(m_form->DirSOURCE->text(), m_dir.path() + QStringLiteral("/source"));
    QCOMPARE(m_form->DirCIBLE->text(), m_dir.path() + QStringLiteral("/cible"));
    QVERIFY(!m_form->chk_ZIP->isChecked());
    QVERIFY(!m_form->chk_FORCE->isChecked());
    // Every start begins with "Date Exacte" on today.
    QCOMPARE(m_form->RadioGroup_DATEButtons->checkedId(), 1);
    QCOMPARE(m_form->Calendar1->selectedDate(), QDate::currentDate());
    QCOMPARE(DelaySetting, 10);
    QCOMPARE(
        IniReadInteger(QStringLiteral("OPTIONS"), QStringLiteral("COMPARE"), -1, UserIniFileName()),
        2);
    QVERIFY(m_form->windowTitle().contains(QStringLiteral("| Norvane ***{:-  | ")));
}

void TestMainWindow::badPlacementIsReportedAndWindowOpens()
{
    m_form.reset();
    IniWriteString(ExeBaseName(false), QStringLiteral("Form1"), QStringLiteral("10:20:abc"),
                   UserIniFileName());
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), QStringLiteral("/x"),
                   UserIniFileName());
    MessageBox::clearShown();
    m_form = newForm();
    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].text.startsWith(QStringLiteral("INI_GETExecute\r\n")));
    QVERIFY(shown[0].text.contains(QStringLiteral("abc")));
    // The load stopped at the placement: the folders were not loaded.
    QCOMPARE(m_form->DirSOURCE->text(), QString());
    m_form->show();
    QVERIFY(m_form->isVisible());
}

void TestMainWindow::missingSourceAsksTheQuestion()
{
    m_form->DirSOURCE->setText(m_dir.path() + QStringLiteral("/absent"));
    QuestionBox::setNextAnswer(2);
    FileDialogs::setNextFolder(m_dir.path());
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();
    const QList<QuestionBox::Asked> asked = QuestionBox::asked();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].title, QStringLiteral("Le dossier SOURCE n'existe pas !"));
    QCOMPARE(asked[0].message,
             m_dir.path() + QStringLiteral("/absent\r\n\r\nVeuillez choisir un dossier SOURCE"));
    QCOMPARE(asked[0].yesCaption, QStringLiteral("Compris!"));
    QCOMPARE(asked[0].noCaption, QStringLiteral("Choisir..."));
    QCOMPARE(m_form->DirSOURCE->text(), m_dir.path());
    QCOMPARE(IniReadString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), QString(),
                           UserIniFileName()),
             m_dir.path());
    QVERIFY(CancelFlag);
    CancelFlag = false;
}

void TestMainWindow::selectionListsPanelsAndLog()
{
    const QString src = m_dir.path() + QStringLiteral("/sel/");
    QVERIFY(WriteStampedFile(src + QStringLiteral("a.txt"), "aaaa", at(10, 0)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("old.txt"), "o", at(10, 0).addDays(-3)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("sub/b=c.txt"), "bb", at(11, 0)));
    QVERIFY(WriteStampedFile(src + QStringLiteral(".cache/hidden.txt"), "h", at(11, 0)));
    QDir().mkpath(m_dir.path() + QStringLiteral("/selout"));

    m_form->chk_AutoCopy->setChecked(false);
    m_form->DirSOURCE->setText(m_dir.path() + QStringLiteral("/sel"));
    m_form->DirCIBLE->setText(m_dir.path() + QStringLiteral("/selout"));
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();

    QCOMPARE(m_form->DirSOURCE->text(), src);
    QCOMPARE(m_form->ListBox1, QStringList({src + "a.txt", src + "sub/b=c.txt"}));
    QCOMPARE(m_form->ListBox2.size(), 2);
    QCOMPARE(m_form->ValueListEditorModel->rowCount(), 2);
    QCOMPARE(m_form->ValueListEditorModel->path(1), src + QStringLiteral("sub/b=c.txt"));
    QCOMPARE(m_form->ValueListEditorModel->value(1), m_form->ListBox2[1]);
    QCOMPARE(m_form->ListBox_PATH->count(), 2);
    QCOMPARE(m_form->ListBox_PATH->item(0)->text(), QString());
    QCOMPARE(m_form->ListBox_PATH->item(1)->text(), QStringLiteral("sub/"));
    QVERIFY(QRegularExpression(QStringLiteral("^2/\\d+$")).match(m_form->panelText(1)).hasMatch());
    QCOMPARE(m_form->panelText(2), QStringLiteral("Taille = 0,00 Mo"));
    QVERIFY(m_form->panelText(3).startsWith(QStringLiteral("2 fichiers trouvés en ")));
    QVERIFY(m_form->panelText(3).endsWith(QStringLiteral(" secondes ")));
    QCOMPARE(m_form->group_FICHIERS->title(),
             QStringLiteral("2 FICHIERS ") +
                 m_form->Calendar1->selectedDate().toString(QStringLiteral("dd/MM/yyyy")));

    QFile log(LogFileName());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), (src + "a.txt\r\n" + src + "sub/b=c.txt\r\n").toUtf8());

    // A click on a found folder brings its first row into view.
    m_form->ListBox_PATH->setCurrentRow(1);
    m_form->ListBox_PATHClick();
    QCOMPARE(m_form->ValueListEditor1->currentIndex().row(), 1);

    // After "Tout Effacer" the copy still works on the hidden lists, and its first write into
    // the emptied grid ends it with the list-index error.
    m_form->findChild<QAction *>(QStringLiteral("Effacer1"))->trigger();
    m_form->command(QStringLiteral("DO_COPY"))->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::shown()[0].text.startsWith(
                 QStringLiteral("ERR:btn_OKExecute =>Index de liste hors limites (")),
             qPrintable(MessageBox::shown()[0].text));
}

void TestMainWindow::cancelStopsAfterTheFirstFolder()
{
    const QString src = m_dir.path() + QStringLiteral("/cancel/");
    QVERIFY(WriteStampedFile(src + QStringLiteral("top.txt"), "t", at(9, 0)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("deeper/below.txt"), "b", at(9, 0)));
    QDir().mkpath(m_dir.path() + QStringLiteral("/cancelout"));
    m_form->chk_AutoCopy->setChecked(false);
    m_form->DirSOURCE->setText(src);
    m_form->DirCIBLE->setText(m_dir.path() + QStringLiteral("/cancelout"));
    m_form->show();
    // The Escape key waits in the queue: the walk lets it through after the first folder.
    QCoreApplication::postEvent(m_form->Edit_Masque,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();
    QCOMPARE(m_form->ListBox1, QStringList({src + QStringLiteral("top.txt")}));
    QVERIFY(m_form->panelText(3).startsWith(QStringLiteral("1 fichiers trouvés")));
    CancelFlag = false;
}

void TestMainWindow::selectionChainsIntoACopyAndReports()
{
    const QString src = m_dir.path() + QStringLiteral("/chain/");
    const QString dst = m_dir.path() + QStringLiteral("/chainout/");
    QVERIFY(WriteStampedFile(src + QStringLiteral("one.txt"), "1", at(8, 0)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("d/two.txt"), "22", at(8, 30)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("d/excluded.ini"), "x", at(8, 30)));
    QDir().mkpath(dst);
    m_form->Form_exclu->Delphi1Click();
    selectAndCopy(src, dst);

    QVERIFY(QFile::exists(dst + QStringLiteral("one.txt")));
    QVERIFY(QFile::exists(dst + QStringLiteral("d/two.txt")));
    QVERIFY(!QFile::exists(dst + QStringLiteral("d/excluded.ini")));
    QCOMPARE(QFileInfo(dst + QStringLiteral("d/two.txt")).lastModified(), at(8, 30));
    const auto wordsByPath = [this] {
        QMap<QString, QString> words;
        for (int i = 0; i < m_form->ListBox1.size(); ++i)
            words[m_form->ListBox1[i]] = m_form->ListBox2[i];
        return words;
    };
    QCOMPARE(wordsByPath(),
             (QMap<QString, QString>{{src + "one.txt", QStringLiteral("Créé")},
                                     {src + "d/two.txt", QStringLiteral("Créé")},
                                     {src + "d/excluded.ini", QStringLiteral("Ignoré")}}));
    // "OK", two spaces (console line 4 is empty after a copy), the count, console line 1.
    const QString summary = m_form->panelText(3);
    const QString expectedStart =
        QStringLiteral("OK  de 3 fichiers De \"%1\" vers \"%2\" terminée en ").arg(src, dst);
    QVERIFY2(summary.startsWith(expectedStart), qPrintable(summary));
    QVERIFY(summary.endsWith(QStringLiteral(" secondes")));
    QVERIFY(m_form->group_FICHIERS->title().startsWith(QStringLiteral("3 FICHIERS ")));
    QVERIFY(m_form->isEnabled());

    // Again without always replacing: every file is kept.
    m_form->chk_FORCE->setChecked(false);
    m_form->command(QStringLiteral("DO_COPY"))->trigger();
    QCOMPARE(wordsByPath(),
             (QMap<QString, QString>{{src + "one.txt", QStringLiteral("Conservé")},
                                     {src + "d/two.txt", QStringLiteral("Conservé")},
                                     {src + "d/excluded.ini", QStringLiteral("Ignoré")}}));

    // The same folder as source and target is refused.
    m_form->DirCIBLE->setText(src);
    MessageBox::clearShown();
    m_form->command(QStringLiteral("DO_COPY"))->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown()[0].text,
             QStringLiteral("Les dossiers \"Source\" et \"Destination\" sont les mêmes !"));
}

void TestMainWindow::emptySelectionEndsWithoutLooping()
{
    const QString src = m_dir.path() + QStringLiteral("/empty/");
    QVERIFY(WriteStampedFile(src + QStringLiteral("old.txt"), "o", at(10, 0).addDays(-10)));
    QDir().mkpath(m_dir.path() + QStringLiteral("/emptyout"));
    m_form->chk_ZIP->setChecked(false);
    m_form->DirSOURCE->setText(src);
    m_form->DirCIBLE->setText(m_dir.path() + QStringLiteral("/emptyout"));
    m_form->command(QStringLiteral("act_BtnSEL"))->trigger();
    QCOMPARE(m_form->ListBox1.size(), 0);
    QVERIFY(m_form->group_FICHIERS->title().startsWith(QStringLiteral("0 FICHIERS ")));
    QVERIFY(m_form->panelText(3).startsWith(QStringLiteral("OK ")));
    QVERIFY(QuestionBox::asked().isEmpty());
}

void TestMainWindow::clearAllKeepsHiddenLists()
{
    m_form->ListBox1 = {QStringLiteral("/a/b")};
    m_form->ListBox2 = {QStringLiteral("date")};
    m_form->ValueListEditorModel->appendRow(QStringLiteral("/a/b"), QStringLiteral("date"));
    m_form->ValueListEditorModel->flush();
    m_form->ListBox_PATH->addItem(QStringLiteral("b/"));
    m_form->group_FICHIERS->setTitle(QStringLiteral("1 FICHIERS"));
    m_form->setPanelText(3, QStringLiteral("résumé"));
    m_form->findChild<QAction *>(QStringLiteral("Effacer1"))->trigger();
    QCOMPARE(m_form->ListBox_PATH->count(), 0);
    QCOMPARE(m_form->ValueListEditorModel->rowCount(), 0);
    QCOMPARE(m_form->Memo1->toPlainText(), QString());
    QCOMPARE(m_form->ListBox1.size(), 1);
    QCOMPARE(m_form->ListBox2.size(), 1);
    QCOMPARE(m_form->group_FICHIERS->title(), QStringLiteral("1 FICHIERS"));
    QCOMPARE(m_form->panelText(3), QStringLiteral("résumé"));
}

void TestMainWindow::dropPutsFirstPathIntoSource()
{
    m_form->DirCIBLE->setText(QStringLiteral("/cible"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/un fichier.txt")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/deux"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_form.get(), &drop);
    QCOMPARE(m_form->DirSOURCE->text(), QStringLiteral("/tmp/un fichier.txt"));
    QCOMPARE(m_form->DirCIBLE->text(), QStringLiteral("/cible"));
}

void TestMainWindow::leavingAFieldAddsToItsHistory()
{
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->DirSOURCE->edit()->setFocus();
    m_form->DirSOURCE->setText(QStringLiteral("/données/Photos"));
    m_form->Edit_Masque->setFocus();
    QCOMPARE(m_form->JvComboSources->count(), 1);
    QCOMPARE(m_form->JvComboSources->itemText(0), QStringLiteral("/données/Photos"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("\"/données/Photos\" ajouté à la liste"));

    m_form->DirSOURCE->edit()->setFocus();
    m_form->Edit_Masque->setFocus();
    QCOMPARE(m_form->JvComboSources->count(), 1);
    QCOMPARE(MessageBox::shown().size(), 1);

    // Choosing an entry fills the field; closing writes the history file.
    m_form->DirSOURCE->setText(QString());
    emit m_form->JvComboSources->activated(0);
    QCOMPARE(m_form->DirSOURCE->text(), QStringLiteral("/données/Photos"));
    m_form->close();
    QFile list(ListFileName(QStringLiteral("dossiers_source@")));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(list.readAll()), QStringLiteral("/données/Photos\r\n"));
}

void TestMainWindow::folderShortcutsAndOpening()
{
    m_form->findChild<QAction *>(QStringLiteral("Kelvra1"))->trigger();
    QCOMPARE(m_form->DirSOURCE->text(), QStringLiteral("/kelvra/"));
    m_form->findChild<QAction *>(QStringLiteral("DropBox1"))->trigger();
    QCOMPARE(m_form->DirCIBLE->text(), UserProfileFolder() + QStringLiteral("Dropbox"));
    // The shortcuts do not touch the histories.
    QCOMPARE(m_form->JvComboSources->count(), 0);

    // A folder the desktop cannot open is reported with the field's text.
    m_form->DirSOURCE->setText(QStringLiteral("/nulle/part"));
    ShellOpenSeam::setNextResult(false);
    m_form->findChild<QAction *>(QStringLiteral("OuvrirSource2"))->trigger();
    QCOMPARE(ShellOpenSeam::opened(), QStringList{QStringLiteral("/nulle/part")});
    QCOMPARE(MessageBox::shown().last().text,
             QStringLiteral("La SOURCE n'existe pas !\r/nulle/part"));
    ShellOpenSeam::setNextResult(true);
    m_form->findChild<QAction *>(QStringLiteral("Ouvrirdestination2"))->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    ShellOpenSeam::setNextResult(false);
    m_form->findChild<QAction *>(QStringLiteral("Ouvrirdestination3"))->trigger();
    QVERIFY(
        MessageBox::shown().last().text.startsWith(QStringLiteral("La Cible n'existe pas !\r")));
}

void TestMainWindow::refusedSaveIsReported()
{
    // A folder where the settings file should be: every write is refused.
    QVERIFY(QDir().mkpath(UserIniFileName()));
    auto removeFolder = qScopeGuard([] { QDir(UserIniFileName()).removeRecursively(); });
    m_form->findChild<QAction *>(QStringLiteral("INISAVE1"))->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown()[0].text,
             QStringLiteral("Impossible d'écrire dans %1").arg(UserIniFileName()));
    m_form->close();
    QCOMPARE(MessageBox::shown().size(), 2);
    QVERIFY(MessageBox::shown()[1].text.startsWith(
        QStringLiteral("Erreur\r\nTForm1.FormClose(Sender: TObject; var Action: TCloseAction)Ligne "
                       "500Impossible")));
}

void TestMainWindow::helpMenu()
{
    m_form->findChild<QAction *>(QStringLiteral("APropos1"))->trigger();
    const QString about = MessageBox::shown().last().text;
    QVERIFY(about.startsWith(QStringLiteral(
        "Sauvegarde l'ensemble des fichiers et dossiers contenus dans un dossier racine\r\n")));
    QVERIFY(about.contains(QStringLiteral("\r\n\r\nVERSION :\r\n1.0.0.0 du ")));

    m_form->findChild<QAction *>(QStringLiteral("Notes1"))->trigger();
    m_form->findChild<QAction *>(QStringLiteral("Cherchesilexisteunenouvelleversion1"))->trigger();
    const QStringList opened = ShellOpenSeam::opened();
    QCOMPARE(opened.size(), 2);
    QVERIFY(opened[0].endsWith(QStringLiteral("/_TARSEL_NOTES.TXT")));
    QVERIFY(opened[1].startsWith(QStringLiteral("https://")));
    QVERIFY(opened[1].endsWith(QStringLiteral("/tarsel/")));
}

void TestMainWindow::displayOptions()
{
    m_form->show();
    m_form->Memo1->appendLine(QStringLiteral("ligne gardée"));
    m_form->chk_AFFConsole->trigger();
    QVERIFY(!m_form->Memo1->isVisible());
    QCOMPARE(m_form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    m_form->chk_AFFConsole->trigger();
    QVERIFY(m_form->Memo1->isVisible());
    QCOMPARE(m_form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(m_form->Memo1->toPlainText().contains(QStringLiteral("ligne gardée")));

    m_form->chk_AffDossierTrouve->trigger();
    QVERIFY(!m_form->panel_DossierTrouve->isVisible());
    m_form->chk_AffDossierTrouve->trigger();
    QVERIFY(m_form->panel_DossierTrouve->isVisible());

    // The tray's "&Quitter" ends without saving either.
    m_form->chk_AFFConsole->trigger();
    m_form->findChild<QAction *>(QStringLiteral("Quitter2"))->trigger();
    QVERIFY(!QFile::exists(UserIniFileName()));
}

void TestMainWindow::failedCopyIsCountedInTheSummary()
{
    const QString src = m_dir.path() + QStringLiteral("/echec/");
    const QString dst = m_dir.path() + QStringLiteral("/echecout/");
    QVERIFY(WriteStampedFile(src + QStringLiteral("bon.txt"), "ok", at(7, 0)));
    QVERIFY(WriteStampedFile(src + QStringLiteral("bloque.txt"), "ko", at(7, 0)));
    // A folder stands where the copy must go: the copy fails, whoever runs it.
    QDir().mkpath(dst + QStringLiteral("bloque.txt"));
    selectAndCopy(src, dst);
    const int blocked = int(m_form->ListBox1.indexOf(src + QStringLiteral("bloque.txt")));
    QVERIFY(blocked >= 0);
    QCOMPARE(m_form->ListBox2[blocked], QStringLiteral("Echec"));
    QCOMPARE(m_form->ListBox2[1 - blocked], QStringLiteral("Créé"));
    QVERIFY2(m_form->panelText(3).endsWith(QStringLiteral(" secondes, 1 échec(s)")),
             qPrintable(m_form->panelText(3)));
    QVERIFY(MessageBox::shown().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
