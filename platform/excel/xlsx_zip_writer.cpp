#include "xlsx_zip_writer.h"

#include <algorithm>
#include <limits>

namespace excelsim::xlsx {
namespace {

void Le16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Le32(std::string& out, std::uint32_t v)
{
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

// 1980-01-01 00:00, the earliest date a zip entry can carry: the package
// is the same bytes whenever it is written.
constexpr std::uint32_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint32_t kDosTime = 0;
constexpr std::uint32_t kMax32 = std::numeric_limits<std::uint32_t>::max();

} // namespace

PartDeflater::PartDeflater(std::string name) : name_(std::move(name))
{
    // Raw deflate (negative window bits): the zip entry carries no zlib header.
    ready_ = deflateInit2(&stream_, kDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    failed_ = !ready_;
    crc_ = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
    text_.reserve(kChunk + 4096);
}

PartDeflater::~PartDeflater()
{
    if (ready_)
        deflateEnd(&stream_);
}

void PartDeflater::Deflate(bool finish)
{
    if (failed_) {
        text_.clear();
        return;
    }
    const auto* in = reinterpret_cast<const Bytef*>(text_.data());
    // zlib counts in uInt: a text is handed over in pieces that fit.
    std::size_t left = text_.size();
    crc_ = static_cast<std::uint32_t>(crc32_z(crc_, in, left));
    size_ += left;
    stream_.next_in = const_cast<Bytef*>(in);
    for (;;) {
        std::size_t piece = std::min<std::size_t>(left, 1u << 30);
        stream_.avail_in = static_cast<uInt>(piece);
        const bool last = piece == left;
        const int flush = finish && last ? Z_FINISH : Z_NO_FLUSH;
        int status;
        do {
            std::size_t had = compressed_.size();
            std::size_t room = deflateBound(&stream_, stream_.avail_in) + 64;
            compressed_.resize(had + room);
            stream_.next_out = reinterpret_cast<Bytef*>(compressed_.data() + had);
            stream_.avail_out = static_cast<uInt>(room);
            status = deflate(&stream_, flush);
            compressed_.resize(had + room - stream_.avail_out);
            if (status == Z_STREAM_ERROR) {
                failed_ = true;
                text_.clear();
                return;
            }
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        left -= piece;
        if (last)
            break;
    }
    text_.clear();
}

bool PartDeflater::Finish()
{
    Deflate(true);
    return !failed_;
}

ZipWriter::~ZipWriter()
{
    if (file_)
        std::fclose(file_);
}

bool ZipWriter::Open(const std::string& path, std::string& error)
{
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error = "cannot create " + path;
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool ZipWriter::Put(const void* data, std::size_t size)
{
    if (!failed_ && size && std::fwrite(data, 1, size, file_) != size)
        failed_ = true;
    offset_ += size;
    return !failed_;
}

bool ZipWriter::Add(const PartDeflater& part, std::string& error)
{
    if (part.Failed()) {
        error = "cannot compress " + part.Name();
        return false;
    }
    if (offset_ > kMax32 || part.Size() > kMax32 || part.Compressed().size() > kMax32 - offset_) {
        error = "the workbook is too large for a zip package without 64-bit sizes";
        return false;
    }
    Entry entry{part.Name(), part.Crc(), static_cast<std::uint32_t>(part.Compressed().size()),
                static_cast<std::uint32_t>(part.Size()), static_cast<std::uint32_t>(offset_)};
    std::string header;
    Le32(header, 0x04034b50);
    Le16(header, 20); // version needed: deflate
    Le16(header, 0);  // flags
    Le16(header, 8);  // deflate
    Le16(header, kDosTime);
    Le16(header, kDosDate);
    Le32(header, entry.crc);
    Le32(header, entry.compressed);
    Le32(header, entry.size);
    Le16(header, static_cast<std::uint32_t>(entry.name.size()));
    Le16(header, 0);
    header += entry.name;
    entries_.push_back(std::move(entry));
    if (!Put(header.data(), header.size()) || !Put(part.Compressed().data(), part.Compressed().size())) {
        error = "cannot write the workbook";
        return false;
    }
    return true;
}

bool ZipWriter::Close(std::string& error)
{
    std::string directory;
    for (const Entry& e : entries_) {
        Le32(directory, 0x02014b50);
        Le16(directory, 20); // made by: MS-DOS attributes
        Le16(directory, 20);
        Le16(directory, 0);
        Le16(directory, 8);
        Le16(directory, kDosTime);
        Le16(directory, kDosDate);
        Le32(directory, e.crc);
        Le32(directory, e.compressed);
        Le32(directory, e.size);
        Le16(directory, static_cast<std::uint32_t>(e.name.size()));
        Le16(directory, 0); // extra
        Le16(directory, 0); // comment
        Le16(directory, 0); // disk
        Le16(directory, 0); // internal attributes
        Le32(directory, 0); // external attributes
        Le32(directory, e.offset);
        directory += e.name;
    }
    const std::uint64_t start = offset_;
    if (start > kMax32 || directory.size() > kMax32 - start || entries_.size() > 0xFFFF) {
        error = "the workbook is too large for a zip package without 64-bit sizes";
        return false;
    }
    const auto directorySize = static_cast<std::uint32_t>(directory.size());
    Le32(directory, 0x06054b50);
    Le16(directory, 0);
    Le16(directory, 0);
    Le16(directory, static_cast<std::uint32_t>(entries_.size()));
    Le16(directory, static_cast<std::uint32_t>(entries_.size()));
    Le32(directory, directorySize);
    Le32(directory, static_cast<std::uint32_t>(start));
    Le16(directory, 0);
    bool written = Put(directory.data(), directory.size());
    int closed = std::fclose(file_);
    file_ = nullptr;
    if (!written || closed != 0) {
        error = "cannot write the workbook";
        return false;
    }
    return true;
}

} // namespace excelsim::xlsx
