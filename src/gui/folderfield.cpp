#include "gui/folderfield.h"

#include "gui/filedialogs.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QStyle>

FolderField::FolderField(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_button->setAutoRaise(true);
    m_button->setFixedWidth(20);
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_edit->setAcceptDrops(false);
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &FolderField::textChanged);
    connect(m_button, &QToolButton::clicked, this, &FolderField::browse);
}

void FolderField::setText(const QString &text)
{
    m_edit->setText(text);
}

void FolderField::browse()
{
    const QString chosen = FileDialogs::chooseFolder(window(), m_edit->text());
    if (!chosen.isEmpty())
        setText(chosen);
}

bool FolderField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::FocusOut) {
            // Only a move to another control leaves the field; a dialog or a menu opening
            // over the window does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                emit focusLeft();
        } else if (event->type() == QEvent::ContextMenu)
            emit contextMenuRequested(static_cast<QContextMenuEvent *>(event)->globalPos());
    }
    return QWidget::eventFilter(watched, event);
}
