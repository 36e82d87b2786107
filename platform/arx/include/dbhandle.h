// Stand-in for the host's database handle (dbhandle.h): a 64-bit number that
// names an object for the life of the drawing, written as hexadecimal text.
#pragma once
#include "adesk.h"

#include <cstdint>

class AcDbHandle {
public:
    AcDbHandle() = default;
    AcDbHandle(Adesk::UInt32 low, Adesk::UInt32 high)
        : m_value((static_cast<std::uint64_t>(high) << 32) | low)
    {
    }
    // Hexadecimal digits, either case, at most 16 of them. Anything else
    // (empty text, another character, more digits) gives the null handle.
    AcDbHandle(const char* hexText) { *this = hexText; }
    AcDbHandle& operator=(const char* hexText);

    bool isNull() const { return m_value == 0; }
    void setNull() { m_value = 0; }
    Adesk::UInt32 low() const { return static_cast<Adesk::UInt32>(m_value); }
    Adesk::UInt32 high() const { return static_cast<Adesk::UInt32>(m_value >> 32); }
    // Upper-case hexadecimal digits without leading zeros ("0" for null);
    // `buffer` holds at least 17 characters.
    bool getIntoAsciiBuffer(char* buffer) const;
    bool operator==(const AcDbHandle& other) const { return m_value == other.m_value; }
    bool operator!=(const AcDbHandle& other) const { return m_value != other.m_value; }
    bool operator<(const AcDbHandle& other) const { return m_value < other.m_value; }
    AcDbHandle& operator++()
    {
        ++m_value;
        return *this;
    }

    // Not in the host's API: the number itself, for hashing.
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0;
};
