// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlistmodel.h"

#include "core/store/wordindex.h"

#include <algorithm>

WordListModel::WordListModel(QObject* parent) : QAbstractListModel(parent) {}

void WordListModel::showAll(WordIndex* index) {
    beginResetModel();
    m_index = index;
    m_positions.clear();
    m_filtered = false;
    endResetModel();
}

void WordListModel::showFiltered(WordIndex* index, std::vector<int> positions) {
    beginResetModel();
    m_index = index;
    m_positions = std::move(positions);
    m_filtered = true;
    endResetModel();
}

void WordListModel::refresh() {
    beginResetModel();
    endResetModel();
}

void WordListModel::clear() {
    beginResetModel();
    m_index = nullptr;
    m_positions.clear();
    m_filtered = false;
    endResetModel();
}

int WordListModel::indexPosition(int row) const {
    if (row < 0 || row >= rowCount())
        return -1;
    return m_filtered ? m_positions[size_t(row)] : row;
}

int WordListModel::rowOfPosition(int position) const {
    if (!m_filtered)
        return position >= 0 && position < rowCount() ? position : -1;
    auto it = std::lower_bound(m_positions.begin(), m_positions.end(), position);
    return it != m_positions.end() && *it == position ? int(it - m_positions.begin()) : -1;
}

bool WordListModel::isChecked(int row) const {
    const int p = indexPosition(row);
    return p >= 0 && m_index->at(p).checkMark;
}

void WordListModel::setChecked(int row, bool checked) {
    const int p = indexPosition(row);
    if (p < 0)
        return;
    m_index->setCheckMark(p, checked);
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

void WordListModel::setAllChecked(bool checked) {
    for (int row = 0; row < rowCount(); ++row)
        m_index->setCheckMark(indexPosition(row), checked);
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

void WordListModel::invertChecks() {
    for (int row = 0; row < rowCount(); ++row) {
        const int p = indexPosition(row);
        m_index->setCheckMark(p, !m_index->at(p).checkMark);
    }
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

int WordListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_index)
        return 0;
    return m_filtered ? int(m_positions.size()) : m_index->size();
}

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    const int p = indexPosition(index.row());
    if (!index.isValid() || p < 0)
        return {};
    if (role == Qt::DisplayRole)
        return m_index->at(p).word;
    if (role == Qt::CheckStateRole)
        return m_index->at(p).checkMark ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool WordListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || indexPosition(index.row()) < 0)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags WordListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}
