#include "xlsx_package.h"

#include <functional>

#include "xlsx_limits.h"

#include <zip.h>

#include <vector>

namespace excelsim::xlsx {

Package::~Package()
{
    if (archive_)
        zip_discard(archive_);
}

bool Package::Open(const void* data, std::size_t size, std::string& error)
{
    if (size > kMaxFileBytes) {
        error = "the file is too large";
        return false;
    }
    bytes_.assign(static_cast<const char*>(data), size);
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &zipError);
    if (source)
        archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    if (!archive_) {
        if (source)
            zip_source_free(source);
        error = std::string("not a valid .xlsx package: ") + zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    zip_error_fini(&zipError);
    if (zip_get_num_entries(archive_, 0) > kMaxEntries) {
        error = "the package holds too many parts";
        return false;
    }
    return true;
}

bool Package::Has(const std::string& name) const
{
    return archive_ && zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

bool Package::ReadInPieces(const std::string& name, const std::function<bool(const char*, std::size_t)>& take,
                           std::string& error)
{
    zip_int64_t index = archive_ ? zip_name_locate(archive_, name.c_str(), 0) : -1;
    if (index < 0) {
        error = "the part " + name + " is missing";
        return false;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        error = "the part " + name + " is unreadable";
        return false;
    }
    if (stat.size > kMaxPartBytes || totalRead_ + stat.size > kMaxTotalBytes) {
        error = "the part " + name + " is too large";
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        error = "the part " + name + " cannot be opened";
        return false;
    }
    // Read no more than the size the archive declares, whatever the stream holds.
    std::size_t read = 0;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        zip_int64_t n = zip_fread(file, chunk.data(), chunk.size());
        if (n < 0) {
            zip_fclose(file);
            error = "the part " + name + " is damaged";
            return false;
        }
        if (n == 0)
            break;
        if (read + static_cast<std::size_t>(n) > stat.size) {
            zip_fclose(file);
            error = "the part " + name + " is larger than declared";
            return false;
        }
        read += static_cast<std::size_t>(n);
        if (!take(chunk.data(), static_cast<std::size_t>(n))) {
            zip_fclose(file);
            return false; // the taker has said why
        }
    }
    if (zip_fclose(file) != 0) {
        error = "the part " + name + " is damaged";
        return false;
    }
    totalRead_ += read;
    return true;
}

std::optional<std::string> Package::Read(const std::string& name, std::string& error)
{
    std::string out;
    if (!ReadInPieces(name, [&](const char* data, std::size_t size) { out.append(data, size); return true; }, error))
        return std::nullopt;
    return out;
}

std::string ResolvePartName(const std::string& fromPart, const std::string& target)
{
    std::string path;
    if (!target.empty() && target[0] == '/') {
        path = target.substr(1);
    } else {
        std::size_t slash = fromPart.rfind('/');
        path = (slash == std::string::npos ? std::string() : fromPart.substr(0, slash + 1)) + target;
    }
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& segment : segments)
        out += (out.empty() ? "" : "/") + segment;
    return out;
}

std::string RelationshipsPartOf(const std::string& part)
{
    std::size_t slash = part.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + file + ".rels";
}

} // namespace excelsim::xlsx
