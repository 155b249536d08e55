#pragma once

#include <QComboBox>

// Adds a path to a history box (kept sorted) unless it is already there. Where file names
// ignore case the path is stored in upper case and compared without case; elsewhere it is kept
// and compared exactly. With announce, a new path is announced in a message box. Returns true
// when the path was added.
bool AddToJvCombo(QComboBox *box, const QString &text, bool upper, bool announce);

// Replaces the entries of a history box, sorted.
void SetHistoryEntries(QComboBox *box, const QStringList &entries);
QStringList HistoryEntries(const QComboBox *box);

QString HistoryEditText(const QComboBox *box);
void SetHistoryEditText(QComboBox *box, const QString &text);
