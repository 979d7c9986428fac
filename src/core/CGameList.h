#pragma once
#include <cstdint>

struct CGameListNode {
    CGameListNode* next;
    CGameListNode* prev;
    void* data;
};

// A position is a node handle; null means before the first / after the last.
using GamePosition = CGameListNode*;

// Doubly linked list of untyped pointers. Owns its nodes, not the data.
class CGameList {
public:
    CGameList() = default;
    CGameList(const CGameList&) = delete;
    CGameList& operator=(const CGameList&) = delete;
    ~CGameList() { RemoveAll(); }

    GamePosition AddHead(void* data);
    GamePosition AddTail(void* data);
    GamePosition InsertBefore(GamePosition position, void* data);
    GamePosition InsertAfter(GamePosition position, void* data);

    void* RemoveHead();
    void* RemoveTail();
    void* RemoveAt(GamePosition position);
    void RemoveAll();

    void* GetHead() const { return m_head ? m_head->data : nullptr; }
    void* GetTail() const { return m_tail ? m_tail->data : nullptr; }
    GamePosition GetHeadPosition() const { return m_head; }
    GamePosition GetTailPosition() const { return m_tail; }

    // Data at position; position moves on (null past the end).
    static void* GetNext(GamePosition& position);
    static void* GetPrev(GamePosition& position);
    static void* GetAt(GamePosition position) { return position ? position->data : nullptr; }

    int32_t GetCount() const { return m_count; }
    int32_t IndexOf(const void* data) const;
    GamePosition Find(const void* data, GamePosition start = nullptr) const;
    GamePosition FindIndex(int32_t index, GamePosition start = nullptr) const;
    void Copy(const CGameList& other, bool append);

private:
    GamePosition Link(CGameListNode* prev, CGameListNode* next, void* data);

    CGameListNode* m_head = nullptr;
    CGameListNode* m_tail = nullptr;
    int32_t m_count = 0;
};
