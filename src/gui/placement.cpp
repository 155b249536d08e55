#include "gui/placement.h"

#include "core/environment.h"
#include "core/error.h"
#include "core/inifile.h"

#include <QAction>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace
{

const QString OptionsSection = QStringLiteral("OPTIONS");
const QString OptionPrefix = QStringLiteral("chk_");
const QString PartSeparator = QStringLiteral(":");

// The position is the window's outer position; the size is taken inside the frame, because
// the frame is only known once the window is shown and the placement is loaded before that:
// an outer size would make the window grow by its frame at every start.
QString placementText(const QWidget *window)
{
    const QPoint position = window->frameGeometry().topLeft();
    return QStringLiteral("%1:%2:%3:%4")
        .arg(position.x())
        .arg(position.y())
        .arg(window->width())
        .arg(window->height());
}

int wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw TarselError(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text));
    return value;
}

QList<QAction *> optionItems(const QWidget *window)
{
    QList<QAction *> items;
    const QList<QAction *> actions = window->findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName().startsWith(OptionPrefix))
            items.append(action);
    }
    return items;
}

} // namespace

void SaveFormPlacement(QWidget *window, const QString &file)
{
    IniWriteString(ExeBaseName(false), window->objectName(), placementText(window), file);
}

void LoadFormPlacement(QWidget *window, const QString &file)
{
    const QStringList parts = SplitText(
        IniReadString(ExeBaseName(false), window->objectName(), placementText(window), file),
        PartSeparator);
    const int storedLeft = wholeNumber(parts.value(0));
    const int storedTop = wholeNumber(parts.value(1));
    const int storedWidth = wholeNumber(parts.value(2));
    const int storedHeight = wholeNumber(parts.value(3));

    const QRect workArea = window->screen()->availableGeometry();
    const int left =
        storedLeft > workArea.width() ? workArea.width() - window->width() : storedLeft;
    const int top = qMax(storedTop, 0);
    const int width = qMin(storedWidth, workArea.width());
    const int height = qMin(storedHeight, workArea.height());

    window->move(left, top);
    window->resize(width, height);
}

void SaveCheckOptions(QWidget *window, const QString &file)
{
    for (const QAction *item : optionItems(window))
        IniWriteBool(OptionsSection, item->objectName(), item->isChecked(), file);
}

void LoadCheckOptions(QWidget *window, const QString &file)
{
    for (QAction *item : optionItems(window))
        item->setChecked(IniReadBool(OptionsSection, item->objectName(), item->isChecked(), file));
}
