// How far the stand-ins' long jobs on real files have got, for a host that
// shows progress: the DXF reader's position in the drawing text, the cells
// the .xlsx writer has put out, and the rows whose key cell (the comment of
// the first column) a reader of exported rows has asked for. The workers
// store plain counts with relaxed atomics every few thousand steps (no call,
// no lock); a host's display thread polls them. Process-wide, as the
// stand-ins' libraries are; a host resets them before the job it watches.
#pragma once
#include <atomic>
#include <cstdint>

struct StandInProgress {
    std::atomic<std::uint64_t> drawingBytesParsed{0}; // of drawingBytes
    std::atomic<std::uint64_t> drawingBytes{0};
    std::atomic<std::uint64_t> workbookCellsWritten{0}; // by the .xlsx writer, all saves together
    std::atomic<std::uint64_t> keyCellsRead{0};         // comment reads in column A below row 1

    void Reset()
    {
        drawingBytesParsed = 0;
        drawingBytes = 0;
        workbookCellsWritten = 0;
        keyCellsRead = 0;
    }
};

StandInProgress& Progress();
