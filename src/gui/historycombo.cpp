#include "gui/historycombo.h"

#include "core/environment.h"
#include "core/error.h"
#include "gui/messagebox.h"

namespace
{

QString comparable(const QString &text)
{
    return FileNamesIgnoreCase() ? AsciiUpper(text) : text;
}

int sortedPosition(const QComboBox *box, const QString &text)
{
    int i = 0;
    while (i < box->count() && box->itemText(i).compare(text) < 0)
        ++i;
    return i;
}

} // namespace

bool AddToJvCombo(QComboBox *box, const QString &text, bool upper, bool announce)
{
    QString candidate = text;
    if (!candidate.isEmpty())
        SetHistoryEditText(box, candidate);
    else
        candidate = HistoryEditText(box);
    if (candidate.isEmpty())
        return false;
    try {
        const QString added = upper && FileNamesIgnoreCase() ? AsciiUpper(candidate) : candidate;
        bool known = false;
        for (int i = 0; i < box->count(); ++i)
            known = known || comparable(box->itemText(i)) == comparable(added);
        if (known)
            return false;
        box->insertItem(sortedPosition(box, added), added);
        if (announce)
            MessageBox::show(box->window(), MessageBox::Information,
                             QStringLiteral("\"%1\" ajouté à la liste").arg(added));
        return true;
    } catch (const std::exception &e) {
        MessageBox::show(box->window(), MessageBox::Plain,
                         QStringLiteral("ERR:AddToJvCombo =>") + errorMessage(e));
        return false;
    }
}

void SetHistoryEntries(QComboBox *box, const QStringList &entries)
{
    QStringList sorted = entries;
    sorted.removeAll(QString());
    sorted.sort();
    box->clear();
    box->addItems(sorted);
    box->setCurrentIndex(-1);
}

QStringList HistoryEntries(const QComboBox *box)
{
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    return entries;
}

// The history box shows only its drop button; the text it would show in its edit part is kept
// beside it, as the last text given to it or chosen from it.
QString HistoryEditText(const QComboBox *box)
{
    return box->property("historyEditText").toString();
}

void SetHistoryEditText(QComboBox *box, const QString &text)
{
    box->setProperty("historyEditText", text);
}
