// Writing an .xlsx package (a zip archive) part by part. Each part is
// deflated in memory as its text is produced, then goes out whole with its
// sizes and checksum in the local header, so no part is ever held unpacked
// and the file needs no data descriptors.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace excelsim::xlsx {

// zlib's level for every part, time against size: on the export of 100,000
// references level 1 wrote 8.8 MB, level 3 8.7 MB and level 6 (zlib's
// default) 7.5 MB, as big as libxlsxwriter's; level 6 cost about 0.5 s
// more CPU than level 1, level 3 about 0.2 s.
inline constexpr int kDeflateLevel = 1;

// One part's text going through deflate. Callers append to Text() and call
// Pump() now and then; Finish() ends the stream.
class PartDeflater {
public:
    explicit PartDeflater(std::string name);
    ~PartDeflater();
    PartDeflater(const PartDeflater&) = delete;
    PartDeflater& operator=(const PartDeflater&) = delete;

    const std::string& Name() const { return name_; }
    std::string& Text() { return text_; }
    void Append(std::string_view text)
    {
        text_.append(text);
        Pump();
    }
    // Deflates what has gathered once there is enough to be worth a call.
    void Pump()
    {
        if (text_.size() >= kChunk)
            Deflate(false);
    }
    // False when zlib fails (out of memory).
    bool Finish();
    bool Failed() const { return failed_; }

    const std::string& Compressed() const { return compressed_; }
    std::uint32_t Crc() const { return crc_; }
    std::uint64_t Size() const { return size_; }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    void Deflate(bool finish);

    std::string name_;
    std::string text_;
    std::string compressed_;
    z_stream stream_{};
    bool ready_ = false, failed_ = false;
    std::uint32_t crc_ = 0;
    std::uint64_t size_ = 0;
};

class ZipWriter {
public:
    ZipWriter() = default;
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool Open(const std::string& path, std::string& error);
    // Writes a finished part; false with `error` set on a write failure or
    // when the package would outgrow the classic zip's 4 GiB offsets.
    bool Add(const PartDeflater& part, std::string& error);
    // Writes the central directory and closes the file.
    bool Close(std::string& error);

private:
    struct Entry {
        std::string name;
        std::uint32_t crc, compressed, size, offset;
    };
    bool Put(const void* data, std::size_t size);

    std::FILE* file_ = nullptr;
    std::vector<Entry> entries_;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
};

} // namespace excelsim::xlsx
