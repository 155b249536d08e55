#pragma once

#include <QString>

class QWidget;

// Window placement and option items, kept in a settings file (the shared one when empty).

// Writes "left:top:width:height" (outer position and size) under the section of the
// executable, keyed by the window's object name.
void SaveFormPlacement(QWidget *window, const QString &file);
// Restores the stored placement (the present one when none is stored), limited to the work area:
// a left beyond its width moves the window back onto it, a negative top becomes 0, a width or
// height larger than the work area's is cut to it. Throws TarselError with the conversion
// message when a part is not a whole number (a missing part is an empty text); the window is
// then left as it was.
void LoadFormPlacement(QWidget *window, const QString &file);

// Every action below the window whose object name begins with "chk_" is an option item; its tick
// is kept under its own name in the section "OPTIONS", in the order of the window's children.
void SaveCheckOptions(QWidget *window, const QString &file);
// A missing or unreadable key keeps the item's present tick; the items' handlers do not run.
void LoadCheckOptions(QWidget *window, const QString &file);
