// What an owner-drawn control drew, as data: the control face's view of the
// framework stand-in's device context (CDC), for tests and gwhost.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DrawnShape {
    enum class Kind { Frame, Text, Line, FocusRect, TextColour, BkMode, Brush };
    Kind kind = Kind::Frame;
    RECT rect{};      // Frame, Text, FocusRect
    POINT from{};     // Line
    POINT to{};       // Line: the end point, which a line leaves out
    COLORREF colour = 0; // Line: the pen's colour; TextColour
    HGDIOBJ brush = nullptr; // Brush: the answer to a colour request
    int penWidth = 0;    // Line
    std::string text;    // Text
    UINT flags = 0;      // Frame: the DFCS_ state; Text: the DT_ format; BkMode
};
