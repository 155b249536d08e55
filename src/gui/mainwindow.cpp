#include "gui/mainwindow.h"

#include "core/archive.h"
#include "core/copyengine.h"
#include "core/criterion.h"
#include "core/deletepath.h"
#include "core/environment.h"
#include "core/error.h"
#include "core/exclusions.h"
#include "core/inifile.h"
#include "core/listfile.h"
#include "core/scan.h"
#include "gui/console.h"
#include "gui/exclusionswindow.h"
#include "gui/filedialogs.h"
#include "gui/folderfield.h"
#include "gui/historycombo.h"
#include "gui/messagebox.h"
#include "gui/placement.h"
#include "gui/processrunner.h"
#include "gui/questionbox.h"
#include "gui/selectiongrid.h"
#include "gui/shellopen.h"
#include "gui/style.h"
#include "gui/textprompt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

bool CancelFlag = false;
qint8 DateMode = 0;
qint64 StartMillisecond = 0;
qint64 SelectedSize = 0;
qint32 DelaySetting = 0;
QString SevenZipExe;
QString ZipStagingFolder;
QString ZipPasswordSwitch;
QString UserSettingsFile;
QString SourcesListFile;
QString TargetsListFile;
QString ExclusionsListFile;

qint64 MonotonicMilliseconds()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

namespace
{

// Every French text of the main window.
namespace Texts
{
const QString DesignedCaption = QStringLiteral("Tarsel 3 : ***{:- 2022-01");
const QString FoldersPanel = QStringLiteral("Sélection des dossiers");
const QString SourceLabel = QStringLiteral("Source : ");
const QString TargetLabel = QStringLiteral("Cible : ");
const QString HistoryHint = QStringLiteral("Chemins en mémoire");
const QString DatesGroup = QStringLiteral("Dates");
const QString MaskLabel = QStringLiteral("&Masque");
const QString DateGroup = QStringLiteral("&Date");
const QString DateHint = QStringLiteral(
    "Choisir s'il faut recopier tout ce qui est avant après ou pendant le jour choisi");
const QString ActionsGroup = QStringLiteral("Actions");
const QString FilesGroup = QStringLiteral("Liste des mofifications");
const QString FoundFolders = QStringLiteral("Dossiers trouvés");
const QString QuitHint = QStringLiteral("Quitter|Quitter l'application");
const QString TrayHint = QStringLiteral("[Clic = Agrandir ][ Clic droit = Menu ]");
const QString SourceMissingTitle = QStringLiteral("Le dossier SOURCE n'existe pas !");
const QString SourceMissingText = QStringLiteral("Veuillez choisir un dossier SOURCE");
const QString TargetMissingTitle = QStringLiteral("Le dossier CIBLE n'existe pas !");
const QString TargetMissingText = QStringLiteral("Veuillez choisir un dossier CIBLE");
const QString Understood = QStringLiteral("Compris!");
const QString Choose = QStringLiteral("Choisir...");
const QString RootQuestion = QStringLiteral("Etes vous sur de vouloir sélectionner la RACINE ?");
const QString SameFolders =
    QStringLiteral("Les dossiers \"Source\" et \"Destination\" sont les mêmes !");
const QString StagingFailed =
    QStringLiteral("1535: Erreur en création de dossier (forcedirectories)\r\n");
const QString Aborted = QStringLiteral(
    "OPERATION AVORTEE:\r\n\r\nAucun fichier trouvé dans ces critères de dates\r\nVérifiez les "
    "paramètres de filtre\r\n\r\n=> Réinialisation à la Date du Jour par défaut");
const QString CompressionNotice =
    QStringLiteral("3---> La compression peut prendre quelques secondes ... ");
const QString WaitNotice = QStringLiteral("Attendez le message \"Everything is OK\" !");
const QString StagingNotConform = QStringLiteral("ERREUR : Fichier temporaire non conforme");
const QString PasswordCaption = QStringLiteral("Mot de passe");
const QString PasswordLabel = QStringLiteral("Entrez un mot de passe");
const QString CompressionOk = QStringLiteral("Compression OK");
const QString SuccessLine = QStringLiteral("Everything is Ok");
const QString Locate7zTitle = QStringLiteral("Localisez le fichier 7z.exe");
const QString Use7z = QStringLiteral(
    "Seuls sont utilisés dans le package SevenZIP les fichiers \"Ligne de commande\" : 7z.exe et "
    "7z.dll");
const QString About = QStringLiteral(
    "Sauvegarde l'ensemble des fichiers et dossiers contenus dans un dossier racine\r\n=> D'après "
    "la date de dernière modification:\r\n-Date exacte\r\n-Tout ce qui est avant\r\n-Tout ce qui "
    "est après\r\n\r\nVERSION :\r\n");
const QString SourceOpenFailed = QStringLiteral("La SOURCE n'existe pas !\r");
const QString TargetOpenFailed = QStringLiteral("La Cible n'existe pas !\r");
const QString FailedSuffix = QStringLiteral(", %1 échec(s)");
const QString NotesFile = QStringLiteral("_TARSEL_NOTES.TXT");
const QString SevenZipPage = QStringLiteral("https://www.7-zip.org/");
const QString ProductPage = QStringLiteral("https://www.norvane.fr/tarsel/");
const QString KelvraFolder = QStringLiteral("/kelvra/");
const QString DropboxName = QStringLiteral("Dropbox");
const QString TagFormCreate = QStringLiteral("FormCreate\r\n");
const QString TagFormClose = QStringLiteral(
    "Erreur\r\nTForm1.FormClose(Sender: TObject; var Action: TCloseAction)Ligne 500");
const QString TagIniGet = QStringLiteral("INI_GETExecute\r\n");
const QString TagSelection = QStringLiteral("ERR:btn_SELExecute =>");
const QString TagRun = QStringLiteral("ERR:btn_OKExecute =>");
} // namespace Texts

const char *const LongHintProperty = "tarselHint";

QString longHint(const QString &hint)
{
    const int bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString shortHint(const QString &hint)
{
    const int bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

void setHint(QWidget *widget, const QString &hint)
{
    widget->setProperty(LongHintProperty, hint);
    widget->setToolTip(shortHint(hint));
}

// The application's general error display, for handlers without a guard of their own.
void showGeneralError(QWidget *parent, const std::exception &e)
{
    MessageBox::show(parent, MessageBox::Error, errorMessage(e));
}

template <typename Work> void runUnguarded(QWidget *parent, Work work)
{
    try {
        work();
    } catch (const std::exception &e) {
        showGeneralError(parent, e);
    }
}

} // namespace

// The walk reports to the window: the lists and the grid grow, the panels follow at most
// every 50 ms, and input is handled after every folder so that a cancel acts at once.
class WindowScanSink : public ScanSink
{
public:
    explicit WindowScanSink(TForm1 &form, bool &terminating)
        : m_form(form), m_terminating(terminating)
    {
        m_paint.start();
    }
    ~WindowScanSink() override { flush(); }

    void folderEntered(const QString &folder) override
    {
        m_folder = folder;
        ++m_foldersSeen;
        paintIfDue();
    }
    void fileSelected(const QString &fullPath, qint64 fileLocalMsecs, qint64 size,
                      int selectedCount, int listingPosition) override
    {
        // Files written in the same second share one date text: a million rows hold far fewer
        // different dates than files.
        const qint64 second =
            fileLocalMsecs >= 0 ? fileLocalMsecs / 1000 : (fileLocalMsecs - 999) / 1000;
        QString &date = m_dateTexts[second];
        if (date.isEmpty())
            date = FileDateText(fileLocalMsecs);
        const QString dateText = date;
        if (m_dateTexts.size() > 100000)
            m_dateTexts.clear();
        m_form.ListBox1.append(fullPath);
        m_form.ListBox2.append(dateText);
        m_form.ValueListEditorModel->appendRow(fullPath, dateText);
        SelectedSize += size;
        m_selected = selectedCount;
        m_position = listingPosition;
    }
    void folderFound(const QString &relativeFolder) override { m_folders.append(relativeFolder); }
    bool folderFilesDone() override
    {
        paintIfDue();
        QCoreApplication::processEvents();
        return !CancelFlag && !m_terminating;
    }

private:
    void paintIfDue()
    {
        if (m_paint.elapsed() < 50)
            return;
        flush();
        m_paint.restart();
    }
    void flush()
    {
        m_form.ProgressBar->setFormat(
            QStringLiteral("%1 dossiers, %2 fichiers retenus").arg(m_foldersSeen).arg(m_selected));
        m_form.setPanelText(3, m_folder);
        if (m_selected > 0)
            m_form.setPanelText(1, WalkProgressText(m_selected, m_position));
        m_form.ValueListEditorModel->flush();
        if (!m_folders.isEmpty()) {
            m_form.ListBox_PATH->addItems(m_folders);
            m_folders.clear();
        }
    }

    TForm1 &m_form;
    bool &m_terminating;
    QElapsedTimer m_paint;
    QString m_folder;
    QStringList m_folders; // found folders not yet shown
    int m_foldersSeen = 0;
    int m_selected = 0; // files selected so far
    int m_position = 0; // the last selected file's place in its folder's listing
    QHash<qint64, QString> m_dateTexts;
};

// The copy runs in a worker thread so that the window keeps painting while it takes no input.
// What the engine reports comes back to the interface thread as queued calls, in the order it
// happened: the rows' words, the file being copied and the progress. A message box is shown on
// the interface thread while the worker waits for its answer. The exclusions and the grid's
// length are read once before the copy: the window takes no input while it runs.
class WorkerCopySink : public CopySink
{
public:
    WorkerCopySink(TForm1 &form, int gridRows, const QStringList &exclusions)
        : m_form(form), m_gridRows(gridRows), m_exclusions(exclusions)
    {
    }

    void setRowWord(int row, const QString &word, bool gridOnly) override
    {
        if (row >= m_gridRows)
            throw TarselError(QStringLiteral("Index de liste hors limites (%1)").arg(row));
        TForm1 *form = &m_form;
        QMetaObject::invokeMethod(
            form,
            [form, row, word, gridOnly] {
                if (!gridOnly)
                    form->ListBox2[row] = word;
                form->ValueListEditorModel->setValue(row, word);
            },
            Qt::QueuedConnection);
    }
    void fileStarted(int row, const QString &path) override
    {
        TForm1 *form = &m_form;
        const qint64 bytes = m_bytes;
        QMetaObject::invokeMethod(
            form,
            [form, row, path, bytes] {
                form->setPanelText(3, path);
                form->showCopyProgress(row, bytes);
            },
            Qt::QueuedConnection);
    }
    void message(const QString &text) override
    {
        TForm1 *form = &m_form;
        QMetaObject::invokeMethod(
            form, [form, text] { MessageBox::show(form, MessageBox::Plain, text); },
            Qt::BlockingQueuedConnection);
    }
    bool isExcluded(const QString &path) override { return IsExcluded(path, m_exclusions); }
    void bytesCopied(qint64 bytes) override
    {
        m_bytes += bytes;
        TForm1 *form = &m_form;
        const qint64 total = m_bytes;
        QMetaObject::invokeMethod(
            form, [form, total] { form->showCopyProgress(-1, total); }, Qt::QueuedConnection);
    }

private:
    TForm1 &m_form;
    const int m_gridRows;
    const QStringList m_exclusions;
    qint64 m_bytes = 0; // touched by the worker only
};

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Texts::DesignedCaption);
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    buildActions();
    buildWidgets();
    buildMenus();
    buildTray();
    // A highlighted menu item shows its long hint in panel 3, also the empty one.
    for (QMenu *menu : findChildren<QMenu *>())
        connect(menu, &QMenu::hovered, this,
                [this](QAction *item) { APP_ShowHINT(item->statusTip()); });
    resize(682, 628);
    move(420, 131);
    qApp->installEventFilter(this);
    FormCreate();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

QAction *TForm1::newAction(const char *name, const QString &caption, int icon,
                           void (TForm1::*handler)())
{
    auto *action = new QAction(ImageListIcon(icon), caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    else
        action->setEnabled(false); // a command without a handler disables itself
    m_actions.append(action);
    return action;
}

QAction *TForm1::command(const QString &name) const
{
    for (QAction *action : m_actions)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

void TForm1::buildActions()
{
    newAction("INI_GET", QStringLiteral("INI_GET"), 1, &TForm1::INI_GETExecute);
    newAction("INI_SAVE", QStringLiteral("Enregistrer la configuration"), 4,
              &TForm1::INI_SAVEExecute)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    newAction("DO_COPY", QStringLiteral("Lancer la &copie"), 1, &TForm1::DO_COPYExecute)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    newAction("act_BtnSEL", QStringLiteral("&Sélect. les fichiers"), 0, &TForm1::act_BtnSELExecute)
        ->setShortcut(QKeySequence(Qt::Key_F4));
    newAction("act_BtnCANCEL", QStringLiteral("A&nnuler"), 2, &TForm1::act_BtnCANCELExecute);
    newAction("Affiche_Label", QStringLiteral("Affiche_Label"), 6, &TForm1::Affiche_LabelExecute);
    newAction("opt_Delai", QStringLiteral("&Délai"), 5);
    newAction("Open_Cible", QStringLiteral("Ouvrir &destination"), 1, &TForm1::Open_CibleExecute);
    newAction("Open_Source", QStringLiteral("Ouvrir &Source"), 1, &TForm1::Open_SourceExecute);
    newAction("exclure", QStringLiteral("Exclusions"), 2, &TForm1::exclureExecute);
    newAction("Notes", QStringLiteral("&Notes"), 10, &TForm1::NotesExecute)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    QAction *zip =
        newAction("DO_ZIP", QStringLiteral("Créer une copie conforme du dossier au format ZIP"), 17,
                  &TForm1::DO_ZIPExecute);
    zip->setStatusTip(QStringLiteral("Tous les fichiers dans tous leurs dossiers"));
    newAction("LOCATE_7Z", QStringLiteral("Localiser le programe 7z.Exe sur le disque"), 0,
              &TForm1::LOCATE_7ZExecute);
    newAction("Open_TEMP", QStringLiteral("Ouvrir le fichier temporaire"), 1,
              &TForm1::Open_TEMPExecute);
    newAction("act_BtnOK", QStringLiteral("OK"), 19, &TForm1::act_BtnOKExecute);
}

QAction *TForm1::newItem(QMenu *menu, const char *name, QAction *action,
                         const QKeySequence &ownShortcut)
{
    auto *item = new QAction(action->icon(), action->text(), this);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(ownShortcut.isEmpty() ? action->shortcut() : ownShortcut);
    item->setEnabled(action->isEnabled());
    item->setStatusTip(action->statusTip());
    connect(action, &QAction::changed, item,
            [item, action] { item->setEnabled(action->isEnabled()); });
    connect(item, &QAction::triggered, action, &QAction::trigger);
    menu->addAction(item);
    return item;
}

QAction *TForm1::newOption(QMenu *menu, const char *name, const QString &caption, bool ticked,
                           void (TForm1::*handler)())
{
    auto *item = new QAction(caption, this);
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    item->setChecked(ticked);
    if (handler)
        connect(item, &QAction::triggered, this, handler);
    menu->addAction(item);
    return item;
}

void TForm1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    // The menu bar shows the captions: Qt would draw a menu's icon in place of its caption.
    auto addMenu = [bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto plainItem = [this](QMenu *menu, const char *name, const QString &caption, int icon,
                            void (TForm1::*handler)()) {
        QAction *item =
            icon < 0 ? new QAction(caption, this) : new QAction(ImageListIcon(icon), caption, this);
        item->setObjectName(QString::fromLatin1(name));
        if (handler)
            connect(item, &QAction::triggered, this, handler);
        menu->addAction(item);
        return item;
    };

    QMenu *file = addMenu("Fichier1", QStringLiteral("&Fichier"));
    newItem(file, "Fichiersexclure1", command(QStringLiteral("exclure")),
            QKeySequence(Qt::CTRL | Qt::Key_X));
    file->addSeparator();
    newItem(file, "b1", command(QStringLiteral("act_BtnSEL")));
    newItem(file, "Copier1", command(QStringLiteral("DO_COPY")));
    file->addSeparator();
    newItem(file, "mnu_ZipLocate", command(QStringLiteral("LOCATE_7Z")),
            QKeySequence(Qt::CTRL | Qt::Key_Z));
    newItem(file, "OuvrirSource2", command(QStringLiteral("Open_Source")),
            QKeySequence(Qt::CTRL | Qt::Key_1));
    newItem(file, "Ouvrirdestination2", command(QStringLiteral("Open_Cible")),
            QKeySequence(Qt::CTRL | Qt::Key_2));
    newItem(file, "Ouvrirlefichiertemporaire1", command(QStringLiteral("Open_TEMP")),
            QKeySequence(Qt::CTRL | Qt::Key_3));
    file->addSeparator();
    QAction *quit1 =
        plainItem(file, "Quitter1", QStringLiteral("&Quitter"), 3, &TForm1::Quitter1Click);
    quit1->setStatusTip(longHint(Texts::QuitHint));
    quit1->setToolTip(shortHint(Texts::QuitHint));

    QMenu *view = addMenu("Affchage1", QStringLiteral("&Affichage"));
    chk_AffDossierTrouve = newOption(view, "chk_AffDossierTrouve", Texts::FoundFolders, true,
                                     &TForm1::chk_AffDossierTrouveClick);
    chk_AFFConsole = newOption(view, "chk_AFFConsole", QStringLiteral("Console"), true,
                               &TForm1::chk_AFFConsoleClick);
    view->addSeparator();
    plainItem(view, "Effacer1", QStringLiteral("Tout Effacer"), 2, &TForm1::Effacer1Click);

    QMenu *options = addMenu("Options1", QStringLiteral("&Options"));
    chk_ZIP = newOption(options, "chk_ZIP", QStringLiteral("Zipper au lieu de copier"), true,
                        &TForm1::act_BtnOk_captionExecute);
    chk_Zip_PW = newOption(options, "chk_Zip_PW",
                           QStringLiteral("Protéger l'archive par un mot de &passe"), false);
    options->addSeparator();
    chk_AutoRun = newOption(options, "chk_AutoRun",
                            QStringLiteral("Lancer la copie automatiquement à l'ouverture"), false);
    chk_AutoCopy =
        newOption(options, "chk_AutoCopy",
                  QStringLiteral("&Lancer la copie automatiquement après la sélection"), true);
    chk_AutoCopy->setVisible(false);
    chk_OPEN = newOption(options, "chk_OPEN",
                         QStringLiteral("Ouvrir la &destination à la fin du traitement "), true,
                         &TForm1::chk_OPENClick);
    chk_FORCE = newOption(options, "chk_FORCE",
                          QStringLiteral("Toujours &remplacer le fichier existant"), true);
    chk_AutoClose = newOption(options, "chk_AutoClose",
                              QStringLiteral("Fermer automatiquement à la fin de la copie"), false);
    options->addSeparator();
    newItem(options, "INISAVE1", command(QStringLiteral("INI_SAVE")));

    QMenu *help = addMenu("N3", QStringLiteral("?"));
    plainItem(help, "APropos1", QStringLiteral("&A Propos"), 7, &TForm1::APropos1Click);
    newItem(help, "Notes1", command(QStringLiteral("Notes")));
    help->addSeparator();
    QMenu *manual = help->addMenu(ImageListIcon(13), QStringLiteral("Mode d'emploi"));
    manual->setObjectName(QStringLiteral("Modedemploi1"));
    manual->menuAction()->setObjectName(QStringLiteral("Modedemploi1"));
    plainItem(manual, "N1choisirundossierscanner1",
              QStringLiteral("&1- Choisir un dossier à scanner"), -1, nullptr);
    plainItem(manual, "N2Choisirundossiercibleorecopierlesfichierstrouvs1",
              QStringLiteral("&2- Choisir un dossier cible où recopier les fichiers trouvés"), -1,
              nullptr);
    QAction *step3 = plainItem(manual, "N3Lancerlaslectiondeefichiers1",
                               QStringLiteral("3- Lancer la sélection des fichiers"), -1, nullptr);
    connect(step3, &QAction::triggered, command(QStringLiteral("act_BtnSEL")), &QAction::trigger);
    manual->addSeparator();
    plainItem(manual, "Utiliser7z1", QStringLiteral("Utiliser 7z"), -1, &TForm1::Utiliser7z1Click);
    help->addSeparator();
    plainItem(help, "lchargerleprogrammedecompressionSevenZIP1",
              QStringLiteral("&Télécharger le programme de compression Seven-ZIP"), 9,
              &TForm1::lchargerleprogrammedecompressionSevenZIP1Click);
    plainItem(help, "Cherchesilexisteunenouvelleversion1",
              QStringLiteral("Recherche une mise à jour en ligne"), 9,
              &TForm1::Cherchesilexisteunenouvelleversion1Click);

    Popup_source = new QMenu(this);
    Popup_source->setObjectName(QStringLiteral("Popup_source"));
    Popup_source->setDefaultAction(
        newItem(Popup_source, "OuvrirSource3", command(QStringLiteral("Open_Source"))));
    Popup_source->addSeparator();
    plainItem(Popup_source, "B2", QStringLiteral("Bureau"), 18, &TForm1::B2Click);
    plainItem(Popup_source, "MesDocuments1", QStringLiteral("Mes Documents"), 10,
              &TForm1::MesDocuments1Click);
    Popup_source->addSeparator();
    plainItem(Popup_source, "Kelvra1", QStringLiteral("Kelvra"), -1, &TForm1::Kelvra1Click);

    Popup_CIBLE = new QMenu(this);
    Popup_CIBLE->setObjectName(QStringLiteral("Popup_CIBLE"));
    Popup_CIBLE->setDefaultAction(
        newItem(Popup_CIBLE, "Ouvrirdestination3", command(QStringLiteral("Open_Cible"))));
    Popup_CIBLE->addSeparator();
    plainItem(Popup_CIBLE, "Bureau1", QStringLiteral("Bureau"), 18, &TForm1::Bureau1Click);
    plainItem(Popup_CIBLE, "MesDocuments2", QStringLiteral("Mes Documents"), 10,
              &TForm1::MesDocuments2Click);
    Popup_CIBLE->addSeparator();
    plainItem(Popup_CIBLE, "DropBox1", QStringLiteral("DropBox"), -1, &TForm1::DropBox1Click);

    connect(DirSOURCE, &FolderField::contextMenuRequested, Popup_source,
            [this](const QPoint &pos) { Popup_source->popup(pos); });
    connect(DirCIBLE, &FolderField::contextMenuRequested, Popup_CIBLE,
            [this](const QPoint &pos) { Popup_CIBLE->popup(pos); });
}

void TForm1::buildWidgets()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1_client"));
    setCentralWidget(central);
    auto *mainLayout = new QVBoxLayout(central);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);

    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto captionTitle = [](QFrame *panel, const QString &caption) {
        auto *title = new QLabel(caption, panel);
        title->setObjectName(panel->objectName() + QStringLiteral("_title"));
        return title;
    };

    // The file area above the folder panel.
    Panel1 = named(new QWidget(central), "Panel1");
    auto *panel1Layout = new QHBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(Panel1, 1);

    GroupBox2 =
        static_cast<QGroupBox *>(named(new QGroupBox(Texts::DatesGroup, Panel1), "GroupBox2"));
    // 251 pixels wide as designed, wider when the system's font needs it for the date modes.
    GroupBox2->setMinimumWidth(251);
    GroupBox2->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    panel1Layout->addWidget(GroupBox2);
    auto *datesLayout = new QVBoxLayout(GroupBox2);
    Calendar1 = static_cast<QCalendarWidget *>(named(new QCalendarWidget(GroupBox2), "Calendar1"));
    Calendar1->setFirstDayOfWeek(Qt::Monday);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    Calendar1->setGridVisible(false);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    datesLayout->addWidget(Calendar1, 1);

    Panel2 = named(new QWidget(GroupBox2), "Panel2");
    Panel2->setFixedHeight(148);
    datesLayout->addWidget(Panel2);
    auto *panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    Panel5 = named(new QWidget(Panel2), "Panel5");
    Panel5->setFixedHeight(26);
    auto *panel5Layout = new QHBoxLayout(Panel5);
    panel5Layout->setContentsMargins(2, 0, 2, 0);
    Label2 = static_cast<QLabel *>(named(new QLabel(Texts::MaskLabel, Panel5), "Label2"));
    Edit_Masque = static_cast<QLineEdit *>(
        named(new QLineEdit(QStringLiteral("*.*"), Panel5), "Edit_Masque"));
    Edit_Masque->setFixedWidth(164);
    Label2->setBuddy(Edit_Masque);
    panel5Layout->addWidget(Label2);
    panel5Layout->addWidget(Edit_Masque);
    panel2Layout->addWidget(Panel5);

    RadioGroup_DATE =
        static_cast<QGroupBox *>(named(new QGroupBox(Texts::DateGroup, Panel2), "RadioGroup_DATE"));
    setHint(RadioGroup_DATE, Texts::DateHint);
    RadioGroup_DATEButtons = new QButtonGroup(RadioGroup_DATE);
    auto *radioLayout = new QHBoxLayout(RadioGroup_DATE);
    radioLayout->setContentsMargins(2, 2, 2, 2);
    radioLayout->setSpacing(2);
    const QStringList modes = {QStringLiteral("Strict. Ant."), QStringLiteral("Date Exacte"),
                               QStringLiteral("Strict. Post.")};
    for (int i = 0; i < modes.size(); ++i) {
        auto *radio = new QRadioButton(modes[i], RadioGroup_DATE);
        radio->setObjectName(QStringLiteral("RadioGroup_DATE_item%1").arg(i));
        RadioGroup_DATEButtons->addButton(radio, i);
        radioLayout->addWidget(radio);
    }
    RadioGroup_DATEButtons->button(1)->setChecked(true);
    panel2Layout->addWidget(RadioGroup_DATE);

    GroupBox3 =
        static_cast<QGroupBox *>(named(new QGroupBox(Texts::ActionsGroup, Panel2), "GroupBox3"));
    GroupBox3->setFixedHeight(69);
    auto *actionsLayout = new QHBoxLayout(GroupBox3);
    // The buttons show their command's caption and icon; its shortcut stays with the menu item,
    // so that each key has one owner.
    auto bindButton = [](QToolButton *button, QAction *action) {
        button->setText(action->text());
        button->setIcon(action->icon());
        button->setEnabled(action->isEnabled());
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
    };
    btn_SEL = static_cast<QToolButton *>(named(new QToolButton(GroupBox3), "btn_SEL"));
    bindButton(btn_SEL, command(QStringLiteral("act_BtnSEL")));
    btn_SEL->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btn_SEL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    btn_CANCEL1 = static_cast<QToolButton *>(named(new QToolButton(GroupBox3), "btn_CANCEL1"));
    bindButton(btn_CANCEL1, command(QStringLiteral("act_BtnCANCEL")));
    btn_CANCEL1->setText(QStringLiteral("&"));
    btn_CANCEL1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btn_CANCEL1->setFixedWidth(53);
    btn_CANCEL1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    actionsLayout->addWidget(btn_SEL, 1);
    actionsLayout->addWidget(btn_CANCEL1);
    panel2Layout->addWidget(GroupBox3);

    group_FICHIERS =
        static_cast<QGroupBox *>(named(new QGroupBox(Texts::FilesGroup, Panel1), "group_FICHIERS"));
    panel1Layout->addWidget(group_FICHIERS, 1);
    auto *filesLayout = new QVBoxLayout(group_FICHIERS);
    splitter_FICHIERS = static_cast<QSplitter *>(
        named(new QSplitter(Qt::Vertical, group_FICHIERS), "splitter_FICHIERS"));
    filesLayout->addWidget(splitter_FICHIERS, 1);

    panel_DossierTrouve =
        static_cast<QFrame *>(named(new QFrame(splitter_FICHIERS), "panel_DossierTrouve"));
    auto *foundLayout = new QVBoxLayout(panel_DossierTrouve);
    foundLayout->setContentsMargins(0, 0, 0, 0);
    foundLayout->setSpacing(0);
    foundLayout->addWidget(captionTitle(panel_DossierTrouve, Texts::FoundFolders));
    ListBox_PATH =
        static_cast<QListWidget *>(named(new QListWidget(panel_DossierTrouve), "ListBox_PATH"));
    ListBox_PATH->setFrameShape(QFrame::NoFrame);
    // Two columns: each entry takes half of the list's width.
    ListBox_PATH->setFlow(QListView::TopToBottom);
    ListBox_PATH->setWrapping(true);
    ListBox_PATH->setResizeMode(QListView::Adjust);
    foundLayout->addWidget(ListBox_PATH, 1);
    connect(ListBox_PATH, &QListWidget::itemClicked, this, &TForm1::ListBox_PATHClick);

    ValueListEditorModel = new SelectionGridModel(this);
    ValueListEditor1 =
        static_cast<QTableView *>(named(new QTableView(splitter_FICHIERS), "ValueListEditor1"));
    ValueListEditor1->setModel(ValueListEditorModel);
    ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);
    // The path column takes what the date column leaves; the date column can be resized.
    ValueListEditor1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ValueListEditor1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    ValueListEditor1->setColumnWidth(1, 125);
    ValueListEditor1->setWordWrap(false);
    splitter_FICHIERS->setSizes({129, 400});
    splitter_FICHIERS->setCollapsible(1, false);

    Memo1 = static_cast<Console *>(named(new Console(group_FICHIERS), "Memo1"));
    Memo1->setFixedHeight(52);
    Memo1->setMinimumHeight(7);
    filesLayout->addWidget(Memo1);

    // The folder panel at the bottom.
    JvCaptionPanel1 = static_cast<QFrame *>(named(new QFrame(central), "JvCaptionPanel1"));
    JvCaptionPanel1->setFixedHeight(57);
    mainLayout->addWidget(JvCaptionPanel1);
    auto *captionLayout = new QVBoxLayout(JvCaptionPanel1);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    captionLayout->setSpacing(0);
    captionLayout->addWidget(captionTitle(JvCaptionPanel1, Texts::FoldersPanel));
    auto *fieldsRow = new QHBoxLayout;
    fieldsRow->setContentsMargins(0, 0, 0, 0);
    fieldsRow->setSpacing(0);
    captionLayout->addLayout(fieldsRow, 1);

    auto historyBox = [](QWidget *parent, const char *name) {
        auto *box = new QComboBox(parent);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedWidth(22);
        box->view()->setMinimumWidth(400);
        box->setAcceptDrops(false);
        setHint(box, Texts::HistoryHint);
        return box;
    };

    pan_source = named(new QWidget(JvCaptionPanel1), "pan_source");
    auto *sourceLayout = new QHBoxLayout(pan_source);
    sourceLayout->setContentsMargins(2, 2, 2, 2);
    Label1 = static_cast<QLabel *>(named(new QLabel(Texts::SourceLabel, pan_source), "Label1"));
    JvComboSources = historyBox(pan_source, "JvComboSources");
    DirSOURCE = static_cast<FolderField *>(named(new FolderField(pan_source), "DirSOURCE"));
    sourceLayout->addWidget(Label1);
    sourceLayout->addWidget(JvComboSources);
    sourceLayout->addWidget(DirSOURCE, 1);
    fieldsRow->addWidget(pan_source);

    Panel6 = named(new QWidget(JvCaptionPanel1), "Panel6");
    auto *targetLayout = new QHBoxLayout(Panel6);
    targetLayout->setContentsMargins(2, 2, 2, 2);
    Label3 = static_cast<QLabel *>(named(new QLabel(Texts::TargetLabel, Panel6), "Label3"));
    DirCIBLE = static_cast<FolderField *>(named(new FolderField(Panel6), "DirCIBLE"));
    JvComboCibles = historyBox(Panel6, "JvComboCibles");
    targetLayout->addWidget(Label3);
    targetLayout->addWidget(DirCIBLE, 1);
    targetLayout->addWidget(JvComboCibles);
    fieldsRow->addWidget(Panel6, 1);

    // The status bar: four panels of fixed width; the rest of the bar stays empty.
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    const int widths[4] = {40, 60, 100, 200};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusBar1_panel%1").arg(i));
        StatusPanels[i]->setFixedWidth(widths[i]);
        StatusPanels[i]->setAlignment((i < 2 ? Qt::AlignHCenter : Qt::AlignLeft) |
                                      Qt::AlignVCenter);
        StatusPanels[i]->setFrameShape(QFrame::StyledPanel);
        StatusBar1->addWidget(StatusPanels[i]);
    }
    ProgressBar = new QProgressBar(StatusBar1);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setFixedWidth(220);
    ProgressBar->setTextVisible(true);
    ProgressBar->hide();
    StatusBar1->addWidget(ProgressBar);

    JvCreateProcess1 = new ProcessRunner(this);
    JvCreateProcess1->setObjectName(QStringLiteral("JvCreateProcess1"));
    connect(JvCreateProcess1, &ProcessRunner::read, this, &TForm1::JvCreateProcess1Read);
    connect(JvCreateProcess1, &ProcessRunner::terminated, this, &TForm1::JvCreateProcess1Terminate);

    connect(Edit_Masque, &QLineEdit::textChanged, this, &TForm1::Affiche_LabelExecute);
    connect(RadioGroup_DATEButtons, &QButtonGroup::idClicked, this, &TForm1::RadioGroup_DATEClick);
    connect(Calendar1, &QCalendarWidget::clicked, this, &TForm1::Calendar1Click);
    connect(DirSOURCE, &FolderField::textChanged, this, &TForm1::Affiche_LabelExecute);
    connect(DirCIBLE, &FolderField::textChanged, this, &TForm1::Affiche_LabelExecute);
    // Leaving a field adds its folder to the history. A field does not count as left when the
    // window loses the focus because a transfer disables it or because it closes.
    connect(DirSOURCE, &FolderField::focusLeft, this, [this] {
        if (!m_terminating && isEnabled())
            AddToJvCombo(JvComboSources, DirSOURCE->text(), true, true);
    });
    connect(DirCIBLE, &FolderField::focusLeft, this, [this] {
        if (!m_terminating && isEnabled())
            AddToJvCombo(JvComboCibles, DirCIBLE->text(), true, true);
    });
    connect(JvComboSources, &QComboBox::activated, this, [this](int index) {
        SetHistoryEditText(JvComboSources, JvComboSources->itemText(index));
        DirSOURCE->setText(JvComboSources->itemText(index));
    });
    connect(JvComboCibles, &QComboBox::activated, this, [this](int index) {
        SetHistoryEditText(JvComboCibles, JvComboCibles->itemText(index));
        DirCIBLE->setText(JvComboCibles->itemText(index));
    });
}

void TForm1::buildTray()
{
    PopupMenu_TRAY = new QMenu(this);
    PopupMenu_TRAY->setObjectName(QStringLiteral("PopupMenu_TRAY"));
    auto *enlarge = new QAction(ImageListIcon(14), QStringLiteral("&Agrandir"), this);
    enlarge->setObjectName(QStringLiteral("Agrandir1"));
    connect(enlarge, &QAction::triggered, this, &TForm1::Agrandir1Click);
    PopupMenu_TRAY->addAction(enlarge);
    newItem(PopupMenu_TRAY, "Dlai3", command(QStringLiteral("opt_Delai")));
    PopupMenu_TRAY->addSeparator();
    auto *quit2 = new QAction(ImageListIcon(3), QStringLiteral("&Quitter"), this);
    quit2->setObjectName(QStringLiteral("Quitter2"));
    quit2->setStatusTip(longHint(Texts::QuitHint));
    quit2->setToolTip(shortHint(Texts::QuitHint));
    connect(quit2, &QAction::triggered, this, &TForm1::Quitter2Click);
    PopupMenu_TRAY->addAction(quit2);

    TrayIcon1 = new QSystemTrayIcon(ProgramIcon(), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(Texts::TrayHint);
    TrayIcon1->setContextMenu(PopupMenu_TRAY);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    TrayIcon1Click();
            });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        TrayIcon1->show();
}

void TForm1::createExclusionsWindow()
{
    Form_exclu = new TForm_exclu(this, UserSettingsFile, ExclusionsListFile);
}

QString TForm1::panelText(int panel) const
{
    return StatusPanels[panel]->text();
}

void TForm1::setPanelText(int panel, const QString &text)
{
    StatusPanels[panel]->setText(text);
}

QString TForm1::consoleLine(int index) const
{
    return Memo1->displayedLine(index);
}

// ---------------------------------------------------------------------------------------------
// Life of the window

void TForm1::FormCreate()
{
    try {
        INI_GETExecute();
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Plain, Texts::TagFormCreate + errorMessage(e));
    }
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    setPanelText(0, chk_ZIP->isChecked() ? QStringLiteral("ZIP") : QStringLiteral("COPY"));
    Affiche_LabelExecute();
    chk_AffDossierTrouveClick();
    chk_AFFConsoleClick();
    DirSOURCE->setFocus();
    if (chk_AutoRun->isChecked())
        QTimer::singleShot(0, this, [this] { command(QStringLiteral("act_BtnOK"))->trigger(); });
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    pan_source->setFixedWidth(JvCaptionPanel1->width() / 2);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormClose();
    m_terminating = true;
    event->accept();
}

void TForm1::FormClose()
{
    try {
        saveSettings();
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Plain, Texts::TagFormClose + errorMessage(e));
    }
}

void TForm1::FormDestroy()
{
    // The archiver may still pack the staging folder: its folder is deleted only once it has
    // ended, and its late output no longer reaches the closing window.
    JvCreateProcess1->disconnect(this);
    JvCreateProcess1->waitForFinished();
    DeletePathSilently(ZipStagingFolder);
}

void TForm1::APP_ShowHINT(const QString &hint)
{
    m_currentHint = hint;
    setPanelText(3, hint);
}

void TForm1::updateHintUnderPointer(QWidget *widget)
{
    QString hint;
    for (QWidget *w = widget; w && w != this; w = w->parentWidget()) {
        hint = w->property(LongHintProperty).toString();
        if (!hint.isEmpty())
            break;
    }
    hint = longHint(hint);
    if (hint != m_currentHint)
        APP_ShowHINT(hint);
}

bool TForm1::event(QEvent *event)
{
    // Status tips of Qt would cover the panels; hints reach panel 3 through APP_ShowHINT.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        // FormKeyPress: the window previews every key; Escape still reaches the control.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            CancelFlag = true;
        break;
    case QEvent::ShortcutOverride: {
        // The window's shortcuts are looked up before the focused control handles the key, so
        // Ctrl+X in a text field opens the exclusions instead of cutting.
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction *item : findChildren<QAction *>()) {
            if (!item->shortcut().isEmpty() && item->shortcut() == pressed &&
                !item->associatedObjects().isEmpty()) {
                key->ignore();
                return true;
            }
        }
        break;
    }
    case QEvent::Enter:
        updateHintUnderPointer(widget);
        break;
    case QEvent::Resize:
        if (widget == JvCaptionPanel1)
            FormResize();
        else if (widget == ListBox_PATH->viewport())
            ListBox_PATH->setGridSize(
                QSize(widget->width() / 2, ListBox_PATH->fontMetrics().height() + 4));
        break;
    case QEvent::Leave:
        updateHintUnderPointer(widget->parentWidget());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    const QUrl &first = urls.first();
    DirSOURCE->setText(first.isLocalFile() ? QDir::toNativeSeparators(first.toLocalFile())
                                           : first.toString());
    event->acceptProposedAction();
}

// ---------------------------------------------------------------------------------------------
// Settings

void TForm1::INI_GETExecute()
{
    UserSettingsFile = UserIniFileName();
    SourcesListFile = ListFileName(QStringLiteral("dossiers_source@"));
    TargetsListFile = ListFileName(QStringLiteral("dossiers_cible@"));
    ExclusionsListFile = ListFileName(QStringLiteral("exclusions@"));
    ZipPasswordSwitch.clear();
    try {
        LoadFormPlacement(this, UserSettingsFile);
        LoadCheckOptions(this, UserSettingsFile);
        setWindowTitle(WindowTitleText(QString(), QStringLiteral("dd/mm/yyyy")));
        DirSOURCE->setText(IniReadString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"),
                                         QString(), UserSettingsFile));
        DirCIBLE->setText(IniReadString(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"),
                                        QString(), UserSettingsFile));
        if (QFileInfo::exists(SourcesListFile)) {
            const ListFile sources = ReadListFile(SourcesListFile);
            m_sourcesEncoding = sources.encoding;
            SetHistoryEntries(JvComboSources, sources.lines);
        }
        if (QFileInfo::exists(TargetsListFile)) {
            const ListFile targets = ReadListFile(TargetsListFile);
            m_targetsEncoding = targets.encoding;
            SetHistoryEntries(JvComboCibles, targets.lines);
        }
        selectExactDateToday();
        DelaySetting = IniReadInteger(QStringLiteral("OPTIONS"), QStringLiteral("DELAI"), 10,
                                      UserSettingsFile);
        SevenZipExe = IniReadString(QStringLiteral("OPTIONS"), QStringLiteral("SEVENZIP_EXE"),
                                    QString(), UserSettingsFile);
        if (SevenZipExe.isEmpty())
            SevenZipExe = DefaultSevenZipExe();
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Plain, Texts::TagIniGet + errorMessage(e));
    }
}

void TForm1::INI_SAVEExecute()
{
    runUnguarded(this, [this] { saveSettings(); });
}

void TForm1::saveSettings()
{
    SaveFormPlacement(this, UserSettingsFile);
    SaveCheckOptions(this, UserSettingsFile);
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"), DirSOURCE->text(),
                   UserSettingsFile);
    IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"), DirCIBLE->text(),
                   UserSettingsFile);
    IniWriteInteger(QStringLiteral("OPTIONS"), QStringLiteral("COMPARE"),
                    RadioGroup_DATEButtons->checkedId(), UserSettingsFile);
    IniWriteInteger(QStringLiteral("OPTIONS"), QStringLiteral("DELAI"), DelaySetting,
                    UserSettingsFile);
    IniWriteInteger(QStringLiteral("GRILLE"), QStringLiteral("LARGEUR"),
                    ValueListEditor1->columnWidth(0), UserSettingsFile);
    WriteListFile(ListFileName(QStringLiteral("dossiers_source@")), HistoryEntries(JvComboSources),
                  m_sourcesEncoding);
    WriteListFile(ListFileName(QStringLiteral("dossiers_cible@")), HistoryEntries(JvComboCibles),
                  m_targetsEncoding);
}

void TForm1::chk_OPENClick()
{
    runUnguarded(this, [this] {
        IniWriteBool(QStringLiteral("OPTIONS"), QStringLiteral("OUVRE_DOSSIER"),
                     chk_OPEN->isChecked(), QString());
    });
}

// ---------------------------------------------------------------------------------------------
// Criterion

void TForm1::Affiche_LabelExecute()
{
    const QDate day = Calendar1->selectedDate();
    group_FICHIERS->setTitle(CriterionCaption(DateMode, day));
    Memo1->setConsoleText(CriterionConsoleText(command(QStringLiteral("act_BtnOK"))->text(),
                                               Edit_Masque->text(), DateMode, day,
                                               DirSOURCE->text(), DirCIBLE->text()));
}

void TForm1::RadioGroup_DATEClick()
{
    switch (RadioGroup_DATEButtons->checkedId()) {
    case 0:
        DateMode = -1;
        break;
    case 1:
        DateMode = 0;
        break;
    case 2:
        DateMode = 1;
        break;
    default:
        break;
    }
    Affiche_LabelExecute();
}

void TForm1::Calendar1Click()
{
    Affiche_LabelExecute();
}

// ---------------------------------------------------------------------------------------------
// Selection

void TForm1::act_BtnSELExecute()
{
    if (m_walking)
        return;
    SelectedSize = 0;
    ListBox_PATH->clear();
    try {
        const QString source = DirSOURCE->text();
        if (source.isEmpty() || !QFileInfo(source).isDir()) {
            CancelFlag = true;
            const int answer = AskQuestion(
                this, Texts::SourceMissingTitle,
                source + QStringLiteral("\r\n\r\n") + Texts::SourceMissingText, Texts::Understood,
                Texts::Choose, QuestionKind::Warning, false, QString());
            if (answer == 2) {
                DirSOURCE->setText(ExeFolder());
                DirSOURCE->browse();
                IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("SOURCE"),
                               DirSOURCE->text(), UserSettingsFile);
            } else {
                DirSOURCE->setFocus();
            }
            return;
        }
        if (source == QString(PathDelimiter()) && !MessageBox::confirm(this, Texts::RootQuestion))
            DirSOURCE->browse();
        const QString target = DirCIBLE->text();
        if (target.size() < 3 || !QFileInfo(target).isDir()) {
            CancelFlag = true;
            const int answer = AskQuestion(
                this, Texts::TargetMissingTitle,
                target + QStringLiteral("\r\n\r\n") + Texts::TargetMissingText, Texts::Understood,
                Texts::Choose, QuestionKind::Warning, false, QString());
            if (answer == 2) {
                DirCIBLE->setText(ExeFolder());
                DirCIBLE->browse();
                IniWriteString(QStringLiteral("DOSSIER"), QStringLiteral("CIBLE"), DirCIBLE->text(),
                               UserSettingsFile);
            } else {
                DirCIBLE->setFocus();
            }
            return;
        }
        if (!DirSOURCE->text().endsWith(PathDelimiter()))
            DirSOURCE->setText(DirSOURCE->text() + PathDelimiter());
        ListBox1.clear();
        ListBox2.clear();
        StartMillisecond = MonotonicMilliseconds();
        Scan_Source(DirSOURCE->text(), Edit_Masque->text());
        WriteLogFile(LogFileName(), ListBox1);
        const QDate day = Calendar1->selectedDate();
        group_FICHIERS->setTitle(SelectionCountCaption(int(ListBox1.size()), day));
        setPanelText(3, WalkSummaryText(int(ListBox1.size()),
                                        (MonotonicMilliseconds() - StartMillisecond) / 1000.0));
        setPanelText(2, SizeText(SelectedSize));
        // A walk stopped because the program ends is reported, but no transfer starts after it.
        if (chk_AutoCopy->isChecked() && m_selectionChains && !m_terminating) {
            m_runFromSelection = true;
            auto reset = qScopeGuard([this] { m_runFromSelection = false; });
            runCommand();
        }
        if (ListBox_PATH->count() > 0)
            ListBox_PATH->setCurrentRow(0);
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Plain, Texts::TagSelection + errorMessage(e));
    }
}

void TForm1::Scan_Source(const QString &sourceFolder, const QString &mask)
{
    CancelFlag = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_walking = true;
    auto restore = qScopeGuard([this] {
        m_walking = false;
        QApplication::restoreOverrideCursor();
    });
    ValueListEditorModel->clear();
    ScanContext context;
    context.mask = mask;
    context.sourceText = DirSOURCE->text();
    context.dateMode = [] { return int(DateMode); };
    context.calendarDay = [this] { return Calendar1->selectedDate(); };
    // The bar shows activity: the number of files to come is not known.
    ProgressBar->setRange(0, 0);
    ProgressBar->show();
    auto hideBar = qScopeGuard([this] { ProgressBar->hide(); });
    WindowScanSink sink(*this, m_terminating);
    ScanFolder(sourceFolder, context, sink);
}

void TForm1::ListBox_PATHClick()
{
    QListWidgetItem *item = ListBox_PATH->currentItem();
    if (!item)
        return;
    const int row = ValueListEditorModel->findFirstContaining(item->text());
    if (row < 0)
        return;
    const QModelIndex index = ValueListEditorModel->index(row, 0);
    ValueListEditor1->setCurrentIndex(index);
    ValueListEditor1->scrollTo(index);
}

// ---------------------------------------------------------------------------------------------
// Run, copy and archive

void TForm1::act_BtnOKExecute()
{
    runUnguarded(this, [this] { runCommand(); });
}

void TForm1::runCommand()
{
    if (m_walking)
        return;
    const bool empty = ValueListEditorModel->rowCount() == 0;
    if (empty && !m_runFromSelection) {
        btn_SEL->click();
        return;
    }
    m_lastFailed = 0;
    if (empty) {
        // A selection that found nothing ends here instead of starting itself again.
        if (chk_ZIP->isChecked() && !chk_AutoClose->isChecked())
            archiveAborted();
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setEnabled(false);
        auto restore = qScopeGuard([this] {
            setEnabled(true);
            QCoreApplication::processEvents();
            QApplication::restoreOverrideCursor();
        });
        if (chk_ZIP->isChecked())
            runArchiveJob();
        else
            DO_COPYExecute();
        if (chk_OPEN->isChecked())
            Open_CibleExecute();
    }
    const int count = int(ListBox1.size());
    group_FICHIERS->setTitle(
        RunCountCaption(count, Calendar1->selectedDate(), QTime::currentTime()));
    QString summary =
        RunSummaryText(command(QStringLiteral("act_BtnOK"))->text(), consoleLine(4), count,
                       consoleLine(1), (MonotonicMilliseconds() - StartMillisecond) / 1000.0);
    if (m_lastFailed > 0)
        summary += Texts::FailedSuffix.arg(m_lastFailed);
    setPanelText(3, summary);
    if (chk_AutoClose->isChecked())
        close();
}

void TForm1::act_BtnOk_captionExecute()
{
    setPanelText(0, chk_ZIP->isChecked() ? QStringLiteral("ZIP") : QStringLiteral("COPY"));
    Affiche_LabelExecute();
}

void TForm1::act_BtnCANCELExecute()
{
    CancelFlag = true;
}

void TForm1::DO_COPYExecute()
{
    if (m_walking)
        return;
    const QString source = IncludeTrailingDelimiter(DirSOURCE->text());
    const QString target = IncludeTrailingDelimiter(DirCIBLE->text());
    if (DirSOURCE->text() != source)
        DirSOURCE->setText(source);
    if (DirCIBLE->text() != target)
        DirCIBLE->setText(target);
    try {
        if (source == target || SameFolder(source, target)) {
            MessageBox::show(this, MessageBox::Warning, Texts::SameFolders);
            return;
        }
        StartMillisecond = MonotonicMilliseconds();
        if (ListBox1.isEmpty()) {
            // The copy runs the selection itself and copies afterwards: that selection does
            // not chain into a run of its own.
            m_selectionChains = false;
            auto reset = qScopeGuard([this] { m_selectionChains = true; });
            act_BtnSELExecute();
            QCoreApplication::processEvents();
        }
        if (ListBox1.isEmpty())
            return;
        m_lastFailed = copyInWorker(source, target, chk_FORCE->isChecked()).failed;
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Plain, Texts::TagRun + errorMessage(e));
    }
}

CopySummary TForm1::copyInWorker(const QString &source, const QString &target, bool force)
{
    WorkerCopySink sink(*this, ValueListEditorModel->rowCount(),
                        Form_exclu ? Form_exclu->patterns() : QStringList());
    const QStringList paths = ListBox1;
    CopySummary summary;
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            summary = RunCopy(paths, source, target, force, sink);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    m_copyFiles = int(paths.size());
    showCopyProgress(0, 0);
    ProgressBar->show();
    worker->start();
    // Input waits until the copy has ended, as it would behind a copy that does not yield.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A request to end the program also ends the loop above: the copy still runs to its end.
    while (!worker->wait(10))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    ProgressBar->hide();
    if (failure)
        std::rethrow_exception(failure);
    return summary;
}

void TForm1::showCopyProgress(int filesDone, qint64 bytesDone)
{
    if (filesDone >= 0)
        m_copyFilesDone = filesDone;
    const qint64 totalBytes = qMax(SelectedSize, bytesDone);
    ProgressBar->setRange(0, 1000);
    ProgressBar->setValue(totalBytes > 0
                              ? int(bytesDone * 1000 / totalBytes)
                              : (m_copyFiles > 0 ? m_copyFilesDone * 1000 / m_copyFiles : 0));
    ProgressBar->setFormat(QStringLiteral("%1/%2 fichiers, %3/%4 Mo")
                               .arg(m_copyFilesDone)
                               .arg(m_copyFiles)
                               .arg(DecimalText(double(bytesDone) / 1000000.0, 1),
                                    DecimalText(double(totalBytes) / 1000000.0, 1)));
}

void TForm1::DO_ZIPExecute()
{
    runUnguarded(this, [this] { runArchiveJob(); });
}

void TForm1::archiveAborted()
{
    MessageBox::show(this, MessageBox::Warning, Texts::Aborted);
    selectExactDateToday();
}

void TForm1::selectExactDateToday()
{
    if (RadioGroup_DATEButtons->checkedId() != 1) {
        RadioGroup_DATEButtons->button(1)->setChecked(true);
        RadioGroup_DATEClick(); // only a change of item runs the group's click
    }
    Calendar1->setSelectedDate(QDate::currentDate());
}

void TForm1::runArchiveJob()
{
    if (!SevenZipFound(SevenZipExe))
        LOCATE_7ZExecute();
    const QString rememberedTarget = DirCIBLE->text();
    const QString name = ArchiveName(UserComputerTag(), DirSOURCE->text(), QDate::currentDate());
    ZipStagingFolder = TempFolder() + name + PathDelimiter();
    DirCIBLE->setText(ZipStagingFolder);
    if (!QFileInfo(ZipStagingFolder).isDir() && !ForceDirectories(ZipStagingFolder))
        MessageBox::show(this, MessageBox::Plain, Texts::StagingFailed + ZipStagingFolder);
    DO_COPYExecute();
    DirCIBLE->setText(rememberedTarget);
    if (ListBox1.isEmpty()) {
        archiveAborted();
        return;
    }
    Memo1->appendLine(Texts::CompressionNotice);
    Memo1->appendLine(QString());
    Memo1->appendLine(Texts::WaitNotice);
    if (!QFileInfo(ZipStagingFolder).isDir()) {
        Memo1->appendLine(Texts::StagingNotConform);
        Memo1->appendLine(QString());
        Open_TEMPExecute();
        return;
    }
    if (!chk_Zip_PW->isChecked()) {
        ZipPasswordSwitch.clear();
    } else {
        QString password;
        if (TextPrompt::ask(this, Texts::PasswordCaption, Texts::PasswordLabel, password))
            ZipPasswordSwitch = QStringLiteral("-p") + password;
        else if (ZipPasswordSwitch.isEmpty() &&
                 TextPrompt::ask(this, Texts::PasswordCaption, Texts::PasswordLabel, password))
            ZipPasswordSwitch = QStringLiteral("-p") + password;
    }
    const QString archivePath = IncludeTrailingDelimiter(DirCIBLE->text()) + name;
    Memo1->appendLine(
        SevenZipCommandLineText(SevenZipExe, ZipPasswordSwitch, archivePath, ZipStagingFolder));
    JvCreateProcess1->start(SevenZipExe,
                            SevenZipArguments(ZipPasswordSwitch, archivePath, ZipStagingFolder));
}

void TForm1::JvCreateProcess1Read(const QString &text)
{
    Memo1->appendLine(text);
}

void TForm1::JvCreateProcess1Terminate(int exitCode)
{
    setPanelText(2, ArchiveDoneText(DirCIBLE->text(), exitCode));
    if (Memo1->toPlainText().contains(Texts::SuccessLine))
        MessageBox::show(this, MessageBox::Plain, Texts::CompressionOk);
}

void TForm1::LOCATE_7ZExecute()
{
    OpenFileSetup setup;
    setup.title = Texts::Locate7zTitle;
#ifdef Q_OS_WIN
    setup.filter = QStringLiteral("7Z.Exe (*.exe)");
    setup.defaultSuffix = QStringLiteral("EXE");
    setup.initialFolder = QStringLiteral("C:\\Program Files\\7-Zip\\");
    setup.proposedName = QStringLiteral("7z.exe");
#else
    setup.filter = QStringLiteral("7-Zip (7z 7zz 7za)");
    setup.initialFolder = QStringLiteral("/usr/bin/");
    setup.proposedName = QStringLiteral("7zz");
#endif
    const QString chosen = FileDialogs::openFile(this, setup);
    if (chosen.isEmpty())
        return;
    SevenZipExe = chosen;
    runUnguarded(this, [this] {
        IniWriteString(QStringLiteral("OPTIONS"), QStringLiteral("SEVENZIP_EXE"), SevenZipExe,
                       UserSettingsFile);
    });
    setPanelText(2, SevenZipExe);
}

void TForm1::Open_TEMPExecute()
{
    runUnguarded(this, [] { ShellOpen(TempFolder()); });
}

void TForm1::Utiliser7z1Click()
{
    MessageBox::show(this, MessageBox::Information, Texts::Use7z);
}

void TForm1::lchargerleprogrammedecompressionSevenZIP1Click()
{
    ShellOpen(Texts::SevenZipPage);
}

// ---------------------------------------------------------------------------------------------
// Folders, shell and help

void TForm1::openFolderField(FolderField *field, const QString &failureText)
{
    if (!ShellOpen(field->text()))
        MessageBox::show(this, MessageBox::Plain, failureText + field->text());
}

void TForm1::Open_SourceExecute()
{
    openFolderField(DirSOURCE, Texts::SourceOpenFailed);
}

void TForm1::Open_CibleExecute()
{
    openFolderField(DirCIBLE, Texts::TargetOpenFailed);
}

void TForm1::exclureExecute()
{
    if (Form_exclu)
        Form_exclu->exec();
}

void TForm1::NotesExecute()
{
    ShellOpen(QDir::current().absoluteFilePath(Texts::NotesFile));
}

void TForm1::APropos1Click()
{
    runUnguarded(this, [this] {
        MessageBox::show(this, MessageBox::Information, Texts::About + VersionAndDate());
    });
}

void TForm1::Cherchesilexisteunenouvelleversion1Click()
{
    ShellOpen(Texts::ProductPage);
}

void TForm1::B2Click()
{
    DirSOURCE->setText(DesktopFolder());
}

void TForm1::MesDocuments1Click()
{
    DirSOURCE->setText(MyDocumentsFolder());
}

void TForm1::Kelvra1Click()
{
    DirSOURCE->setText(Texts::KelvraFolder);
}

void TForm1::Bureau1Click()
{
    DirCIBLE->setText(DesktopFolder());
}

void TForm1::MesDocuments2Click()
{
    DirCIBLE->setText(MyDocumentsFolder());
}

void TForm1::DropBox1Click()
{
    DirCIBLE->setText(UserProfileFolder() + Texts::DropboxName);
}

// ---------------------------------------------------------------------------------------------
// Display, tray and end

void TForm1::chk_AffDossierTrouveClick()
{
    panel_DossierTrouve->setVisible(chk_AffDossierTrouve->isChecked());
}

void TForm1::chk_AFFConsoleClick()
{
    const bool shown = chk_AFFConsole->isChecked();
    Memo1->setVisible(shown);
    Memo1->setVerticalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TForm1::Effacer1Click()
{
    ListBox_PATH->clear();
    ValueListEditorModel->clear();
    Memo1->setConsoleText(QString());
}

void TForm1::Quitter1Click()
{
    m_terminating = true;
    QCoreApplication::quit();
}

void TForm1::Quitter2Click()
{
    Quitter1Click();
}

void TForm1::TrayIcon1Click()
{
    Agrandir1Click();
}

void TForm1::Agrandir1Click()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}
