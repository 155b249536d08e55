#pragma once

#include <QString>
#include <QStringList>

// Typed access to INI settings files. Every call opens the file, performs its one access and
// closes it; an empty file name means the shared settings file (DefaultIniFileName()).
// Sections and keys are matched without regard to ASCII case. Reads never fail: a missing file,
// section or key, or a value that is no whole number, gives the default. Every write rewrites the
// file at once through a temporary file and a rename, keeping all other lines as they were, and
// throws TarselError("Impossible d'écrire dans <file>") when the system refuses it.

QString IniReadString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &file);
void IniWriteString(const QString &section, const QString &key, const QString &value,
                    const QString &file);
int IniReadInteger(const QString &section, const QString &key, int defaultValue,
                   const QString &file);
void IniWriteInteger(const QString &section, const QString &key, int value, const QString &file);
bool IniReadBool(const QString &section, const QString &key, bool defaultValue,
                 const QString &file);
void IniWriteBool(const QString &section, const QString &key, bool value, const QString &file);

// Cuts the text at every separator; a part after the last separator is kept only when not empty.
QStringList SplitText(const QString &text, const QString &separator);
