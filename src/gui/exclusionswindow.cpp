#include "gui/exclusionswindow.h"

#include "core/error.h"
#include "gui/messagebox.h"
#include "gui/placement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QVBoxLayout>

namespace
{

// Texts of the exclusions window.
const char *const WindowCaption = "Exclusions";
const char *const ExamplesMenuCaption = "Exemples";
const char *const DelphiItemCaption = "Delphi";
const char *const ReadErrorText = "Impossible de lire la liste des exclusions \"%1\" : %2";
const char *const WriteErrorText = "Impossible d'enregistrer la liste des exclusions \"%1\" : %2";

const QStringList DelphiPreset = {
    QStringLiteral("*.ini"), QStringLiteral("*.dcu"), QStringLiteral("*.cfg"),
    QStringLiteral("*.dof"), QStringLiteral("*.dsk"), QStringLiteral("*.ddp"),
    QStringLiteral("*.zip"),
};

constexpr QSize DesignedClientSize(233, 263);

} // namespace

TForm_exclu::TForm_exclu(QWidget *parent, const QString &settingsFile, const QString &listFile)
    : QDialog(parent), m_settingsFile(settingsFile), m_listFile(listFile)
{
    setObjectName(QStringLiteral("Form_exclu"));
    setWindowFlags(Qt::Tool);
    setWindowTitle(QString::fromUtf8(WindowCaption));

    auto *menuBar = new QMenuBar(this);
    QMenu *examples = menuBar->addMenu(QString::fromUtf8(ExamplesMenuCaption));
    QAction *delphi = examples->addAction(QString::fromUtf8(DelphiItemCaption));
    delphi->setObjectName(QStringLiteral("Delphi1"));
    connect(delphi, &QAction::triggered, this, &TForm_exclu::Delphi1Click);

    Liste_EXCLUS = new QListWidget(this);
    Liste_EXCLUS->setObjectName(QStringLiteral("Liste_EXCLUS"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(Liste_EXCLUS);
    resize(DesignedClientSize);

    // A bad stored placement is reported but still lets the list be read: the list is written
    // back at every closing, so an unread list would wipe the file.
    try {
        LoadFormPlacement(this, m_settingsFile);
    } catch (const std::exception &e) {
        MessageBox::show(parent, MessageBox::Error, errorMessage(e));
    }
    try {
        const ListFile list = ReadListFile(m_listFile);
        Liste_EXCLUS->addItems(list.lines);
        m_encoding = list.encoding;
    } catch (const std::exception &e) {
        MessageBox::show(parent, MessageBox::Error,
                         QString::fromUtf8(ReadErrorText).arg(m_listFile, errorMessage(e)));
    }
}

QStringList TForm_exclu::patterns() const
{
    QStringList lines;
    lines.reserve(Liste_EXCLUS->count());
    for (int row = 0; row < Liste_EXCLUS->count(); ++row)
        lines.append(Liste_EXCLUS->item(row)->text());
    return lines;
}

void TForm_exclu::Delphi1Click()
{
    Liste_EXCLUS->clear();
    Liste_EXCLUS->addItems(DelphiPreset);
}

void TForm_exclu::closeEvent(QCloseEvent *event)
{
    // A refused placement write does not keep the list from being saved.
    try {
        SaveFormPlacement(this, m_settingsFile);
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Error, errorMessage(e));
    }
    try {
        WriteListFile(m_listFile, patterns(), m_encoding);
    } catch (const std::exception &e) {
        MessageBox::show(this, MessageBox::Error,
                         QString::fromUtf8(WriteErrorText).arg(m_listFile, errorMessage(e)));
    }
    QDialog::closeEvent(event);
}

void TForm_exclu::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}
