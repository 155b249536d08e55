#pragma once

#include <QIcon>

class QApplication;

// The visual style "Auric": the program's style sheet for every window.
void ApplyAuricStyle(QApplication &app);
// Icon number index of the image list (0 to 19); a null icon for any other number.
QIcon ImageListIcon(int index);
QIcon ProgramIcon();
