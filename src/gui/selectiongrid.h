#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <deque>

// The rows of the grid ValueListEditor1: a file's path and its date text or result word, kept
// apart so that a path holding "=" shows whole. Rows share their texts with the hidden lists
// (implicit sharing), so a row costs two string handles.
class SelectionGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SelectionGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // rowCount() counts the rows the views know of: those added before the last flush.
    void clear();
    // Adds a row without telling the views yet: the walk adds many rows between two paints.
    // The rows reach the views at the next flush(): the walk paints at most every 50 ms.
    void appendRow(const QString &path, const QString &value);
    // Shows every row added since the last flush in one insertion.
    void flush();

    // The calls below address every added row, flushed or not.
    // Throws TarselError("Index de liste hors limites (row)") for a row that does not exist.
    void setValue(int row, const QString &value);
    QString path(int row) const;
    QString value(int row) const;
    // First row whose path contains text (exact, case-sensitive); -1 for none or an empty text.
    int findFirstContaining(const QString &text) const;

private:
    struct Row {
        QString path;
        QString value;
    };

    // A deque grows without moving its rows: a million rows never need twice their memory.
    std::deque<Row> m_rows;
    int m_shown = 0; // rows the views know of
};
