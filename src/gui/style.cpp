#include "gui/style.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>

namespace
{

constexpr int ImageListSize = 20;

} // namespace

void ApplyAuricStyle(QApplication &app)
{
    // The sheet is drawn over Fusion, so the program looks the same on every desktop.
    if (QStyle *base = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(base);
    QFile sheet(QStringLiteral(":/style/auric.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

QIcon ImageListIcon(int index)
{
    if (index < 0 || index >= ImageListSize)
        return {};
    return QIcon(QStringLiteral(":/icons/icon%1.svg").arg(index, 2, 10, QLatin1Char('0')));
}

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/icons/tarsel.svg"));
}
