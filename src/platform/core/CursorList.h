// An ordered list with a current-element cursor, the shape the program's global lists
// share (feeds, articles, queues). Elements keep their address while in the list.
#pragma once
#include <cstddef>
#include <iterator>
#include <list>

template <class T> class CursorList {
  public:
    using iterator = typename std::list<T>::iterator;
    using const_iterator = typename std::list<T>::const_iterator;

    // Cursor before the first element: the next Next() returns the first one.
    void Reset() { m_cur = m_list.end(); }
    // Moves the cursor on; nullptr (and the cursor before the first) past the end.
    T* Next() {
        if (m_cur == m_list.end())
            m_cur = m_list.begin();
        else
            ++m_cur;
        return m_cur == m_list.end() ? nullptr : &*m_cur;
    }
    T* Current() { return m_cur == m_list.end() ? nullptr : &*m_cur; }
    const T* Current() const { return m_cur == m_list.end() ? nullptr : &*m_cur; }
    // Selects by 0-based position; nullptr (cursor unchanged) when out of range.
    T* Select(long index) {
        if (index < 0 || static_cast<size_t>(index) >= m_list.size()) return nullptr;
        m_cur = std::next(m_list.begin(), index);
        return &*m_cur;
    }
    // Makes the element at `it` current.
    void SetCurrent(iterator it) { m_cur = it; }
    // Makes `element` (an element of this list) current; false when not found.
    bool SetCurrent(const T* element) {
        for (auto it = m_list.begin(); it != m_list.end(); ++it)
            if (&*it == element) {
                m_cur = it;
                return true;
            }
        return false;
    }
    // 0-based position of the current element, -1 when there is none.
    long Index() const {
        if (m_cur == m_list.end()) return -1;
        return static_cast<long>(std::distance(m_list.begin(), const_iterator(m_cur)));
    }
    size_t Size() const { return m_list.size(); }
    bool Empty() const { return m_list.empty(); }
    // Inserts after the current element (at the start when there is none); the new
    // element becomes current.
    T& Add(T value = T()) {
        iterator pos = (m_cur == m_list.end()) ? m_list.begin() : std::next(m_cur);
        m_cur = m_list.insert(pos, std::move(value));
        return *m_cur;
    }
    T& AddFirst(T value = T()) {
        m_cur = m_list.insert(m_list.begin(), std::move(value));
        return *m_cur;
    }
    T& AddLast(T value = T()) {
        m_cur = m_list.insert(m_list.end(), std::move(value));
        return *m_cur;
    }
    // Removes the current element; the previous one becomes current (before the first
    // when it was the first).
    void DeleteCurrent() {
        if (m_cur == m_list.end()) return;
        iterator prev = (m_cur == m_list.begin()) ? m_list.end() : std::prev(m_cur);
        m_list.erase(m_cur);
        m_cur = prev;
    }
    void Clear() {
        m_list.clear();
        m_cur = m_list.end();
    }
    iterator begin() { return m_list.begin(); }
    iterator end() { return m_list.end(); }
    const_iterator begin() const { return m_list.begin(); }
    const_iterator end() const { return m_list.end(); }
    iterator CurrentIterator() { return m_cur; }
    std::list<T>& Raw() { return m_list; }
    const std::list<T>& Raw() const { return m_list; }

  private:
    std::list<T> m_list;
    iterator m_cur = m_list.end();
};
