// Writes the benchmark drawing: REFERENCES block references spread over
// BLOCKS blocks with three attributes each (NUMBER, KIND, NOTE), in an R12
// DXF file. The records are spelt by the one DXF writer of the tests and
// written out in batches, so a drawing of a million references never sits in
// memory as one string.
//
//   generate_drawing OUT.dxf REFERENCES BLOCKS
#include "tests/support/dxf_writer.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool Put(std::FILE* out, const DxfWriter& records)
{
    const std::string& text = records.text();
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

int main(int argc, char** argv)
{
    const long references = argc == 4 ? std::strtol(argv[2], nullptr, 10) : 0;
    const long blocks = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
    if (references <= 0 || blocks <= 0) {
        std::fprintf(stderr, "usage: generate_drawing OUT.dxf REFERENCES BLOCKS\n");
        return 2;
    }
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(argv[1], "wb"));
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    // Handles: the blocks' records first, then four per reference (the
    // reference, three attributes), and one for each end of sequence.
    unsigned long next = 0x100;
    auto handle = [&next] { return DxfWriter::Hex(++next); };
    const unsigned long lastHandle = next + static_cast<unsigned long>(blocks) * 5 + static_cast<unsigned long>(references) * 5;

    DxfWriter head(true);
    head.beginSection("HEADER");
    head.group(9, "$ACADVER").group(1, "AC1009");
    head.group(9, "$HANDLING").group(70, "1");
    head.group(9, "$HANDSEED").group(5, DxfWriter::Hex(lastHandle + 1));
    head.endSection();
    head.beginSection("TABLES");
    head.group(0, "TABLE").group(2, "LAYER").group(70, "2");
    for (const char* layer : {"0", "Fixtures"})
        head.group(0, "LAYER").group(2, layer).group(70, "0").group(62, "7").group(6, "CONTINUOUS");
    head.group(0, "ENDTAB").endSection();
    head.beginSection("BLOCKS");
    const char* tags[] = {"NUMBER", "KIND", "NOTE"};
    const char* prompts[] = {"Number?", "Kind?", "Note?"};
    const char* defaults[] = {"0", "plain", ""};
    for (long b = 0; b < blocks; ++b) {
        const std::string name = "B" + std::to_string(b);
        head.entity("BLOCK", handle(), "0").group(2, name).group(70, "2").point(0, 0, 0).group(3, name);
        for (int a = 0; a < 3; ++a)
            head.attdef({.handle = handle(), .y = -1.5 * a, .value = defaults[a], .tag = tags[a]}, prompts[a]);
        head.entity("ENDBLK", handle(), "0");
    }
    head.endSection().beginSection("ENTITIES");
    if (!Put(out.get(), head))
        return 1;

    constexpr long kBatch = 4096;
    for (long first = 0; first < references; first += kBatch) {
        DxfWriter batch(true);
        for (long i = first; i < references && i < first + kBatch; ++i) {
            const double x = static_cast<double>(i) * 1.25, y = -static_cast<double>(i) * 0.5;
            batch.entity("INSERT", handle(), "Fixtures").group(66, "1").group(2, "B" + std::to_string(i % blocks));
            batch.point(x, y, 0).number(41, 1).number(42, 1).number(43, 1).number(50, static_cast<double>(i % 360));
            const std::string values[] = {std::to_string(i), "fitting", "n" + std::to_string(i % 97)};
            for (int a = 0; a < 3; ++a)
                batch.attrib({.handle = handle(), .layer = "Fixtures", .x = x, .y = y, .value = values[a], .tag = tags[a]});
            batch.seqend(handle(), "Fixtures");
        }
        if (!Put(out.get(), batch))
            return 1;
    }
    DxfWriter tail(true);
    tail.endSection().group(0, "EOF");
    if (!Put(out.get(), tail) || std::fflush(out.get()) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
