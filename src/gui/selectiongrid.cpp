#include "gui/selectiongrid.h"

#include "core/error.h"

SelectionGridModel::SelectionGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int SelectionGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int SelectionGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant SelectionGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_shown || index.column() > 1)
        return {};
    const Row &row = m_rows[size_t(index.row())];
    return index.column() == 0 ? row.path : row.value;
}

QVariant SelectionGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("Fichier") : QStringLiteral("Date");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags SelectionGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SelectionGridModel::clear()
{
    beginResetModel();
    std::deque<Row>().swap(m_rows);
    m_shown = 0;
    endResetModel();
}

void SelectionGridModel::appendRow(const QString &path, const QString &value)
{
    m_rows.push_back({path, value});
}

void SelectionGridModel::flush()
{
    const int total = int(m_rows.size());
    if (total == m_shown)
        return;
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

void SelectionGridModel::setValue(int row, const QString &value)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        throw TarselError(QStringLiteral("Index de liste hors limites (%1)").arg(row));
    m_rows[size_t(row)].value = value;
    if (row < m_shown) {
        const QModelIndex cell = index(row, 1);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

QString SelectionGridModel::path(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].path : QString();
}

QString SelectionGridModel::value(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].value : QString();
}

int SelectionGridModel::findFirstContaining(const QString &text) const
{
    if (text.isEmpty())
        return -1;
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].path.contains(text, Qt::CaseSensitive))
            return int(row);
    return -1;
}
