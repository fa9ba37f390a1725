#pragma once

#include <QCollator>
#include <QString>

#include <vector>

// The entries of a list box. A sorted list keeps them in locale-aware, case-insensitive order and
// places each new entry after those that compare equal to it, so duplicates stay side by side in
// the order they came. Entries live in blocks of bounded size: an insertion is a binary search
// and a move of at most one block, so filling a list with tens of thousands of names one at a
// time stays far from quadratic.
class SortedList {
public:
    explicit SortedList(bool sorted);

    bool isSorted() const { return m_sorted; }
    int size() const { return m_size; }
    const QString &at(int index) const;
    // Returns the position the entry took.
    int insert(const QString &text);
    // The first entry whose text equals text exactly, or -1.
    int indexOf(const QString &text) const;
    void clear();

private:
    struct Entry {
        QString text;
        QCollatorSortKey key;
    };
    using Block = std::vector<Entry>;
    static constexpr std::size_t MaxBlock = 512;

    int blockStart(std::size_t block) const;

    bool m_sorted;
    int m_size = 0;
    QCollator m_collator;
    std::vector<Block> m_blocks;
};
