#pragma once

#include "core/listfile.h"

#include <QDialog>
#include <QStringList>

class QListWidget;

// The exclusions window Form_exclu: the list of exclusion patterns, kept in the exclusions file
// between runs, with a menu of ready-made lists. The main window shows it modally.
class TForm_exclu : public QDialog
{
    Q_OBJECT
public:
    // Restores the window's placement and reads the list from listFile when it exists,
    // remembering the file's encoding for the write at closing.
    TForm_exclu(QWidget *parent, const QString &settingsFile, const QString &listFile);

    // The current lines of Liste_EXCLUS.
    QStringList patterns() const;

    QListWidget *Liste_EXCLUS;

    // "Exemples" / "Delphi": replaces the list with the Delphi preset.
    void Delphi1Click();

protected:
    // Saves the placement, then writes the list back (also when empty) in the encoding it was
    // read with.
    void closeEvent(QCloseEvent *event) override;
    // Escape closes the window the same way as its close box.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_settingsFile;
    QString m_listFile;
    ListEncoding m_encoding = ListEncoding::System;
};
