// Read access to the parts of an .xlsx package (a zip archive), within the
// size limits of xlsx_limits.h.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct zip;

namespace excelsim::xlsx {

class Package {
public:
    Package() = default;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Takes a copy of the bytes; false with `error` set for a bad archive.
    bool Open(const void* data, std::size_t size, std::string& error);
    bool Has(const std::string& name) const;
    // The part's bytes; nullopt with `error` set when missing or over a limit.
    std::optional<std::string> Read(const std::string& name, std::string& error);
    // The same in pieces as they come out of the archive, so that a large
    // part is never held whole; `take` returns false to stop (and says why).
    bool ReadInPieces(const std::string& name, const std::function<bool(const char*, std::size_t)>& take,
                      std::string& error);

private:
    std::string bytes_;
    zip* archive_ = nullptr;
    std::size_t totalRead_ = 0;
};

// Resolves a relationship target against the part that names it:
// ("xl/workbook.xml", "worksheets/sheet1.xml") -> "xl/worksheets/sheet1.xml".
std::string ResolvePartName(const std::string& fromPart, const std::string& target);
// "xl/worksheets/sheet1.xml" -> "xl/worksheets/_rels/sheet1.xml.rels".
std::string RelationshipsPartOf(const std::string& part);

} // namespace excelsim::xlsx
