// Every part of a zip package (an .xlsx file) by name, for tests that look
// at what a save wrote byte for byte. Empty when the file is no zip.
// Header-only: only the test programs that link libzip include it.
#pragma once
#include <zip.h>

#include <map>
#include <string>

using ZipParts = std::map<std::string, std::string>;

inline ZipParts ReadZipParts(const std::string& path)
{
    ZipParts out;
    int err = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!archive)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string data(static_cast<std::size_t>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        out[stat.name] = data;
    }
    zip_discard(archive);
    return out;
}
