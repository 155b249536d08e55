#pragma once

#include <QString>
#include <QStringList>

// Line-per-entry list files (folder histories, exclusion patterns). A file is read with
// byte-order-mark detection and written back in the encoding it was read with; a list that was
// never read from a file is written in the system encoding (UTF-8 without a mark on Linux).
enum class ListEncoding { System, Utf8Bom, Utf16LE, Utf16BE };

struct ListFile {
    QStringList lines;
    ListEncoding encoding = ListEncoding::System;
};

// A missing file reads as an empty list in the system encoding; an existing file that can't be
// read throws TarselError. Lines end at CR LF, LF or CR; a final line break adds no empty line.
ListFile ReadListFile(const QString &path);

// Every line, the last one too, ends with CR LF, after the encoding's byte-order mark. The file
// is replaced through a temporary file and a rename, so a failed write leaves the old one
// intact; a failure throws TarselError("Impossible de créer le fichier \"<path>\". <reason>").
void WriteListFile(const QString &path, const QStringList &lines, ListEncoding encoding);

// The log of the selected paths: one per line with CRLF, without a byte-order mark, written line
// by line through a temporary file, so that a million paths need no second copy in memory.
// Throws TarselError("Impossible de créer le fichier \"%1\". %2") when it cannot be written.
void WriteLogFile(const QString &path, const QStringList &lines);
