// Stand-in for objidl.h: IStream, as far as the marshalling functions use it
// (a stream that carries one marshalled interface between threads).
// Simplification: no Read, Write or Seek; the stream is opaque.
#pragma once
#include "unknwn.h"

struct IStream : IUnknown {
protected:
    ~IStream() = default;
};
using LPSTREAM = IStream*;
GW_INTERFACE_ID(IStream, 0x0000000C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
inline constexpr IID IID_IStream = __uuidof(IStream);
