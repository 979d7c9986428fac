#include "core/CGameList.h"

#include <new>

GamePosition CGameList::Link(CGameListNode* prev, CGameListNode* next, void* data)
{
    if (!data)
        return nullptr;
    auto* node = new (std::nothrow) CGameListNode{next, prev, data};
    if (!node)
        return nullptr;
    if (prev)
        prev->next = node;
    else
        m_head = node;
    if (next)
        next->prev = node;
    else
        m_tail = node;
    ++m_count;
    return node;
}

GamePosition CGameList::AddHead(void* data)
{
    return Link(nullptr, m_head, data);
}

GamePosition CGameList::AddTail(void* data)
{
    return Link(m_tail, nullptr, data);
}

GamePosition CGameList::InsertBefore(GamePosition position, void* data)
{
    if (!position || position == m_head)
        return AddHead(data);
    return Link(position->prev, position, data);
}

GamePosition CGameList::InsertAfter(GamePosition position, void* data)
{
    if (!position || position == m_tail)
        return AddTail(data);
    return Link(position, position->next, data);
}

void* CGameList::RemoveAt(GamePosition position)
{
    if (!position)
        return nullptr;
    if (position->prev)
        position->prev->next = position->next;
    else
        m_head = position->next;
    if (position->next)
        position->next->prev = position->prev;
    else
        m_tail = position->prev;
    void* data = position->data;
    delete position;
    --m_count;
    return data;
}

void* CGameList::RemoveHead()
{
    return RemoveAt(m_head);
}

void* CGameList::RemoveTail()
{
    return RemoveAt(m_tail);
}

void CGameList::RemoveAll()
{
    while (m_head)
        RemoveAt(m_head);
}

void* CGameList::GetNext(GamePosition& position)
{
    if (!position)
        return nullptr;
    void* data = position->data;
    position = position->next;
    return data;
}

void* CGameList::GetPrev(GamePosition& position)
{
    if (!position)
        return nullptr;
    void* data = position->data;
    position = position->prev;
    return data;
}

int32_t CGameList::IndexOf(const void* data) const
{
    int32_t index = 0;
    for (auto* n = m_head; n; n = n->next, ++index) {
        if (n->data == data)
            return index;
    }
    return -1;
}

GamePosition CGameList::Find(const void* data, GamePosition start) const
{
    for (auto* n = start ? start : m_head; n; n = n->next) {
        if (n->data == data)
            return n;
    }
    return nullptr;
}

GamePosition CGameList::FindIndex(int32_t index, GamePosition start) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    auto* n = start ? start : m_head;
    while (n && index-- > 0)
        n = n->next;
    return n;
}

void CGameList::Copy(const CGameList& other, bool append)
{
    if (&other == this)
        return;
    if (!append)
        RemoveAll();
    for (auto* n = other.m_head; n; n = n->next)
        AddTail(n->data);
}
