// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <vector>

class WordIndex;

// The word list's rows over the word index: every word (all-words view) or the words under one
// palette letter (filtered view). Each row has a check box that is the word's check mark, kept in
// the index itself, so marks survive switching views and re-sorting.
class WordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit WordListModel(QObject* parent = nullptr);

    void showAll(WordIndex* index);
    void showFiltered(WordIndex* index, std::vector<int> positions);
    // After the index changed under the view: rows are read afresh.
    void refresh();
    void clear();

    bool isFiltered() const { return m_filtered; }
    // The word-index position of a row.
    int indexPosition(int row) const;
    // The row showing a word-index position, -1 when it is not listed.
    int rowOfPosition(int position) const;

    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    void invertChecks();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    WordIndex* m_index = nullptr;
    std::vector<int> m_positions;
    bool m_filtered = false;
};
