#include "app/Input.h"

#include <cstring>

int32_t TranslateKey(uint32_t vk, bool shift)
{
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    if (vk >= 'A' && vk <= 'Z')
        return shift ? static_cast<int32_t>(vk) : static_cast<int32_t>(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return shift ? kShiftedDigits[vk - '0'] : static_cast<int32_t>(vk);
    if (vk >= 96 && vk <= 105)
        return shift ? kShiftedDigits[vk - 96] : static_cast<int32_t>('0' + vk - 96);
    switch (vk) {
    case 8:
        return 8;
    case 13:
        return 13;
    case 32:
        return ' ';
    case 106:
        return '*';
    case 107:
        return '+';
    case 109:
        return '-';
    case 110:
        return '.';
    case 111:
        return '/';
    case 186:
        return shift ? ':' : ';';
    case 187:
        return shift ? '+' : '=';
    case 188:
        return shift ? '<' : ',';
    case 189:
        return shift ? '_' : '-';
    case 190:
        return shift ? '>' : '.';
    case 191:
        return shift ? '?' : '/';
    case 192:
        return shift ? '~' : '`';
    case 219:
        return shift ? '{' : '[';
    case 220:
        return shift ? '|' : '\\';
    case 221:
        return shift ? '}' : ']';
    case 222:
        return shift ? '"' : '\'';
    default:
        return 0;
    }
}

bool InputState::KeyDown(uint32_t vk)
{
    if (vk >= 256 || m_keys[vk])
        return false;
    m_keys[vk] = true;
    return true;
}

void InputState::KeyUp(uint32_t vk)
{
    if (vk < 256)
        m_keys[vk] = false;
}

static uint32_t FlagOfLatch(uint32_t latch)
{
    switch (latch) {
    case 1:
        return kClickLeft;
    case 2:
        return kClickRight;
    case 4:
        return kClickMiddle;
    default:
        return 0;
    }
}

bool InputState::ButtonDown(uint32_t latch)
{
    uint32_t flag = FlagOfLatch(latch);
    if (!flag || m_keys[latch])
        return false;
    m_clickFlags |= flag;
    m_keys[latch] = true;
    return true;
}

bool InputState::ButtonUp(uint32_t latch)
{
    if (!FlagOfLatch(latch))
        return false;
    m_keys[latch] = false;
    return !m_keys[1] && !m_keys[2] && !m_keys[4];
}

void KeyCode::Reset()
{
    m_matched = 0;
    m_digitsTyped = 0;
    m_digits[0] = m_digits[1] = m_digits[2] = 0;
}

bool KeyCode::Feed(uint32_t vk)
{
    int32_t letters = static_cast<int32_t>(std::strlen(m_letters));
    if (m_matched < letters) {
        if (vk == static_cast<uint32_t>(m_letters[m_matched])) {
            ++m_matched;
            return m_matched == letters && m_digitCount == 0;
        }
        Reset();
        return false;
    }
    // The letters are in: the next keys are the digits, whatever they are.
    char c = static_cast<char>(vk >= 96 && vk <= 105 ? '0' + (vk - 96) : vk);
    if (!(m_digitsTyped == 0 && c == '0')) {
        int32_t len = static_cast<int32_t>(std::strlen(m_digits));
        if (len < 2)
            m_digits[len] = c;
    }
    return ++m_digitsTyped == m_digitCount;
}
