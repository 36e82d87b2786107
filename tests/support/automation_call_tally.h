// The automation calls a job made, by member, read from the spreadsheet
// stand-in's counters. The tests of calls per row compare two runs of it.
#pragma once
#include <excel.tlh>
#include <excel_context.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>

// The calls by member since the counters were last reset. Every member the
// stand-in answers is listed, so a call to one left off the list fails here.
inline std::map<DISPID, std::uint64_t> CallsByMember(const excelsim::ExcelContext& excel)
{
    static const DISPID kAllMembers[] = {
        Excel::dispidValue,     Excel::dispidBold,           Excel::dispidName,         Excel::dispidCount,
        Excel::dispidText,      Excel::dispidFont,           Excel::dispidParent,       Excel::dispidItem,
        Excel::dispidAdd,       Excel::dispidNumberFormat,   Excel::dispidRange,        Excel::dispidAutoFit,
        Excel::dispidCells,     Excel::dispidColumn,         Excel::dispidColumns,      Excel::dispidEntireRow,
        Excel::dispidRow,       Excel::dispidRows,           Excel::dispidUsedRange,    Excel::dispidActivate,
        Excel::dispidActiveSheet, Excel::dispidActiveWorkbook, Excel::dispidWorksheet,  Excel::dispidInteractive,
        Excel::dispidVisible,   Excel::dispidWorkbooks,      Excel::dispidComment,      Excel::dispidWorksheets,
        Excel::dispidAddComment,
    };
    std::map<DISPID, std::uint64_t> calls;
    std::uint64_t total = 0;
    for (DISPID member : kAllMembers)
        if (std::uint64_t count = excel.CallCount(member)) {
            calls[member] = count;
            total += count;
        }
    EXPECT_EQ(total, excel.TotalCalls()) << "a member this tally does not list was called";
    return calls;
}

// What each of the `addedRows` rows that `more` has beyond `fewer` adds,
// member by member. A member whose extra calls do not divide evenly among
// the rows is not called the same number of times per row, which fails here.
inline std::map<DISPID, std::uint64_t> CallsPerAddedRow(const std::map<DISPID, std::uint64_t>& fewer,
                                                        const std::map<DISPID, std::uint64_t>& more,
                                                        std::uint64_t addedRows)
{
    std::map<DISPID, std::uint64_t> perRow;
    for (const auto& [member, count] : more) {
        const auto it = fewer.find(member);
        const std::uint64_t extra = count - (it == fewer.end() ? 0 : it->second);
        EXPECT_EQ(extra % addedRows, 0u) << "member " << member << " is not called the same number of times per row";
        if (extra)
            perRow[member] = extra / addedRows;
    }
    return perRow;
}
