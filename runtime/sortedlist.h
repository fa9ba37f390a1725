#pragma once

#include <QCollator>
#include <QString>

#include <vector>

// The entries of a list box. A sorted list keeps them in locale-aware, case-insensitive order and
// places each new entry after those that compare equal to it, so duplicates stay side by side in
// the order they came. Entries stay where they arrived; the order is kept as blocks of entry
// numbers of bounded size, so an insertion is a binary search and a move of at most one block of
// integers: filling a list with tens of thousands of names one at a time stays far from quadratic.
// A name that sorts after the last one, as most do when they come from an already ordered source,
// costs a single comparison.
class SortedList {
public:
    explicit SortedList(bool sorted);

    int size() const { return int(m_texts.size()); }
    const QString &at(int index) const;
    // Returns the position the entry took.
    int insert(const QString &text);
    // The first entry whose text equals text exactly, or -1.
    int indexOf(const QString &text) const;

private:
    using Block = std::vector<quint32>;
    static constexpr std::size_t MaxBlock = 1024;

    bool less(const QString &a, const QString &b) const { return m_collator.compare(a, b) < 0; }
    void split(std::size_t block);

    bool m_sorted;
    QCollator m_collator;
    std::vector<QString> m_texts;
    std::vector<Block> m_blocks;
    // The position of each block's first entry.
    std::vector<int> m_starts;
};
