#pragma once

#include "core/listfile.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QButtonGroup;
class QCalendarWidget;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QMenu;
class QRadioButton;
class QSplitter;
class QStatusBar;
class QSystemTrayIcon;
class QTableView;
class QToolButton;
class Console;
class FolderField;
class ProcessRunner;
class SelectionGridModel;
class TForm_exclu;

// Run state shared by the main window's commands. All are zero, false or empty when the
// process starts and are touched only on the interface thread.
extern bool CancelFlag;
extern qint8 DateMode;
extern qint64 StartMillisecond; // monotonic milliseconds at which the current operation started
extern qint64 SelectedSize;
extern qint32 DelaySetting;
extern QString SevenZipExe;
extern QString ZipStagingFolder;
extern QString ZipPasswordSwitch;
extern QString UserSettingsFile;
extern QString SourcesListFile;
extern QString TargetsListFile;
extern QString ExclusionsListFile;

// Milliseconds of a monotonic clock, for elapsed times that stay right across midnight.
qint64 MonotonicMilliseconds();

// The main window Form1.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The exclusions window is created after FormCreate, because it reads the file names that
    // the settings load sets.
    void createExclusionsWindow();

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    QAction *command(const QString &name) const;

    // Components, named as in the window description.
    QStatusBar *StatusBar1;
    QLabel *StatusPanels[4];
    QProgressBar *ProgressBar; // after the four panels, shown while a walk or a copy runs
    QFrame *JvCaptionPanel1;
    QWidget *pan_source;
    QWidget *Panel6;
    QLabel *Label1;
    QLabel *Label3;
    QComboBox *JvComboSources;
    QComboBox *JvComboCibles;
    FolderField *DirSOURCE;
    FolderField *DirCIBLE;
    QWidget *Panel1;
    QGroupBox *GroupBox2;
    QCalendarWidget *Calendar1;
    QWidget *Panel2;
    QWidget *Panel5;
    QLabel *Label2;
    class QLineEdit *Edit_Masque;
    QGroupBox *RadioGroup_DATE;
    QButtonGroup *RadioGroup_DATEButtons;
    QGroupBox *GroupBox3;
    QToolButton *btn_SEL;
    QToolButton *btn_CANCEL1;
    QGroupBox *group_FICHIERS;
    QSplitter *splitter_FICHIERS;
    QFrame *panel_DossierTrouve;
    QListWidget *ListBox_PATH;
    QTableView *ValueListEditor1;
    SelectionGridModel *ValueListEditorModel;
    Console *Memo1;
    QStringList ListBox1; // hidden list: full paths of the selection
    QStringList ListBox2; // hidden list: date texts, then result words
    QSystemTrayIcon *TrayIcon1;
    QMenu *PopupMenu_TRAY;
    QMenu *Popup_source;
    QMenu *Popup_CIBLE;
    ProcessRunner *JvCreateProcess1;
    TForm_exclu *Form_exclu = nullptr;
    QAction *chk_AffDossierTrouve;
    QAction *chk_AFFConsole;
    QAction *chk_ZIP;
    QAction *chk_Zip_PW;
    QAction *chk_AutoRun;
    QAction *chk_AutoCopy;
    QAction *chk_OPEN;
    QAction *chk_FORCE;
    QAction *chk_AutoClose;

    // Progress of the running copy: files done (-1 keeps the count) and bytes copied.
    void showCopyProgress(int filesDone, qint64 bytesDone);

public slots:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void FormDestroy();
    void APP_ShowHINT(const QString &hint);

    void INI_GETExecute();
    void INI_SAVEExecute();
    void chk_OPENClick();

    void Affiche_LabelExecute();
    void RadioGroup_DATEClick();
    void Calendar1Click();

    void act_BtnSELExecute();
    void act_BtnOKExecute();
    void act_BtnOk_captionExecute();
    void act_BtnCANCELExecute();
    void DO_COPYExecute();
    void DO_ZIPExecute();
    void LOCATE_7ZExecute();
    void Open_TEMPExecute();
    void JvCreateProcess1Read(const QString &text);
    void JvCreateProcess1Terminate(int exitCode);
    void ListBox_PATHClick();

    void Open_SourceExecute();
    void Open_CibleExecute();
    void exclureExecute();
    void NotesExecute();
    void APropos1Click();
    void Utiliser7z1Click();
    void lchargerleprogrammedecompressionSevenZIP1Click();
    void Cherchesilexisteunenouvelleversion1Click();

    void chk_AffDossierTrouveClick();
    void chk_AFFConsoleClick();
    void Effacer1Click();
    void Quitter1Click();
    void Quitter2Click();
    void TrayIcon1Click();
    void Agrandir1Click();

    void B2Click();
    void MesDocuments1Click();
    void Kelvra1Click();
    void Bureau1Click();
    void MesDocuments2Click();
    void DropBox1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildWidgets();
    void buildTray();
    QAction *newAction(const char *name, const QString &caption, int icon,
                       void (TForm1::*handler)() = nullptr);
    QAction *newItem(QMenu *menu, const char *name, QAction *action,
                     const QKeySequence &ownShortcut = {});
    QAction *newOption(QMenu *menu, const char *name, const QString &caption, bool ticked,
                       void (TForm1::*handler)() = nullptr);
    void Scan_Source(const QString &sourceFolder, const QString &mask);
    void openFolderField(FolderField *field, const QString &failureText);
    QString consoleLine(int index) const;
    void updateHintUnderPointer(QWidget *widget);
    struct CopySummary copyInWorker(const QString &source, const QString &target, bool force);
    void saveSettings();   // the save command; its errors reach whoever started it
    void runCommand();     // the run command; its errors reach whoever started it
    void runArchiveJob();  // the archive job; its errors reach the run command
    void archiveAborted(); // the warning for an empty archive selection, and the reset of the day
    void selectExactDateToday(); // "Date Exacte" on today, as every start begins

    QList<QAction *> m_actions;
    QString m_currentHint;
    bool m_shown = false;
    bool m_terminating = false;
    bool m_walking = false;
    bool m_selectionChains = true;   // false while the copy command runs the selection itself
    bool m_runFromSelection = false; // a run started by a selection never starts another one
    int m_lastFailed = 0;
    int m_copyFiles = 0;
    int m_copyFilesDone = 0;
    ListEncoding m_sourcesEncoding = ListEncoding::System;
    ListEncoding m_targetsEncoding = ListEncoding::System;
};
