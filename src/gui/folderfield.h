#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

// A folder field: a text field with a flat browse button that opens the system's folder picker.
// The folder held by the field is its text; nothing checks it while it is edited.
class FolderField : public QWidget
{
    Q_OBJECT
public:
    explicit FolderField(QWidget *parent = nullptr);

    QString text() const { return m_edit->text(); }
    void setText(const QString &text);
    QLineEdit *edit() const { return m_edit; }
    QToolButton *browseButton() const { return m_button; }

    // Opens the folder picker; the chosen folder replaces the text, a cancel leaves it.
    void browse();

signals:
    void textChanged(const QString &text);
    void focusLeft();
    void contextMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit;
    QToolButton *m_button;
};
