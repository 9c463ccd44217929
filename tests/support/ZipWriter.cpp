#include "ZipWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>

namespace {

// Whole fields at once: archives of many thousand entries are built in every test run.
void Put16(std::string& out, uint32_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    out.append(bytes, sizeof bytes);
}

void Put32(std::string& out, uint32_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                          static_cast<char>((value >> 16) & 0xFF),
                          static_cast<char>((value >> 24) & 0xFF)};
    out.append(bytes, sizeof bytes);
}

// The run of fields that local header and central record share, from the flags to the name's
// length.
void PutShared(std::string& out, const ZipEntry& e, uint16_t method, const ZipFields& fields) {
    Put16(out, e.flags | (e.descriptor != ZipEntry::Descriptor::none ? 8 : 0));
    Put16(out, method);
    Put16(out, e.dosTime);
    Put16(out, e.dosDate);
    Put32(out, *fields.crc);
    Put32(out, *fields.compressedSize);
    Put32(out, *fields.uncompressedSize);
    Put16(out, static_cast<uint32_t>(e.name.size()));
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

}  // namespace

std::string ZipWriter::TinyEntryName(size_t index) {
    return "part" + std::to_string(index / 10000) + "/" + std::to_string(index) + ".txt";
}

std::vector<ZipEntry> ZipWriter::TinyEntries(size_t count) {
    std::vector<ZipEntry> tiny(count);
    for (size_t i = 0; i < count; ++i) {
        tiny[i].name = TinyEntryName(i);
        tiny[i].data = std::string(1, static_cast<char>('a' + i % 26));
    }
    return tiny;
}

std::vector<ZipEntry> ZipWriter::FromWords(const std::string& words) {
    std::vector<ZipEntry> entries;
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        const size_t equals = std::min(word.find('='), word.size());
        const std::string name = word.substr(0, equals);
        entries.push_back({.name = name,
                           .data = word.substr(std::min(equals + 1, word.size())),
                           .externalAttributes = name.ends_with('/') ? 0x10u : 0x20u});
    }
    return entries;
}

std::vector<ZipEntry> ZipWriter::Numbered(const std::vector<std::string>& names) {
    std::vector<ZipEntry> entries;
    for (const std::string& name : names) {
        entries.push_back({.name = name, .data = "entry " + std::to_string(entries.size() + 1)});
    }
    return entries;
}

std::string ZipWriter::Deflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

uint16_t ZipWriter::DosDate(int year, int month, int day) {
    return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

uint16_t ZipWriter::DosTime(int hour, int minute, int second) {
    return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

std::string ZipWriter::Build() {
    std::string out = junk;
    std::vector<ZipFields> truth;
    std::vector<size_t> localAt;
    cuts.clear();
    for (const ZipEntry& e : entries) {
        const std::string stored = e.stored ? *e.stored : e.method == 8 ? Deflate(e.data) : e.data;
        const auto* bytes = reinterpret_cast<const Bytef*>(e.data.data());
        truth.push_back({e.stated.crc.value_or(crc32(0, bytes, static_cast<uInt>(e.data.size()))),
                         e.stated.compressedSize.value_or(static_cast<uint32_t>(stored.size())),
                         e.stated.uncompressedSize.value_or(static_cast<uint32_t>(e.data.size()))});
        const ZipFields& t = truth.back();
        // With a data descriptor the local header leaves the values to it and holds zeros.
        const bool descriptor = e.descriptor != ZipEntry::Descriptor::none;
        const auto local = [&](const std::optional<uint32_t>& own, uint32_t value) {
            return own.value_or(descriptor ? 0u : value);
        };
        if (e.startsVolume) {
            cuts.push_back(out.size());
        }
        localAt.push_back(out.size());
        Put32(out, e.localSignature.value_or(0x04034b50));
        Put16(out, 20);
        PutShared(out, e, e.localMethod.value_or(e.method),
                  {local(e.local.crc, *t.crc), local(e.local.compressedSize, *t.compressedSize),
                   local(e.local.uncompressedSize, *t.uncompressedSize)});
        Put16(out, static_cast<uint32_t>(e.localExtra.size()));
        out += e.name + e.localExtra;
        if (e.volumeCutInData) {
            cuts.push_back(out.size() + *e.volumeCutInData);
        }
        out += stored;
        if (descriptor) {
            if (e.descriptor == ZipEntry::Descriptor::withSignature) {
                Put32(out, 0x08074b50);
            }
            Put32(out, e.descriptorFields.crc.value_or(*t.crc));
            Put32(out, e.descriptorFields.compressedSize.value_or(*t.compressedSize));
            Put32(out, e.descriptorFields.uncompressedSize.value_or(*t.uncompressedSize));
        }
    }
    if (directoryStartsVolume) {
        cuts.push_back(out.size());
    }
    // Volume numbers and offsets within a volume; offsets skip the junk unless told not to.
    const auto disk = [&](size_t at) {
        return static_cast<uint16_t>(std::upper_bound(cuts.begin(), cuts.end(), at) - cuts.begin());
    };
    const auto offset = [&](size_t at) {
        const uint16_t d = disk(at);
        return static_cast<uint32_t>(at - (d > 0              ? cuts[d - 1]
                                           : offsetsCountJunk ? 0
                                                              : junk.size()));
    };
    std::vector<size_t> order = centralOrder;
    if (order.empty()) {
        order.resize(entries.size());
        std::iota(order.begin(), order.end(), 0);
    }
    centralAt = out.size();
    for (size_t n = 0; n < order.size(); ++n) {
        if (directoryCutBefore == n) {
            cuts.push_back(out.size());
        }
        const size_t i = order[n];
        const ZipEntry& e = entries[i];
        Put32(out, 0x02014b50);
        Put16(out, (uint32_t{e.host} << 8) | 20);
        Put16(out, 20);
        PutShared(out, e, e.method, truth[i]);
        Put16(out, static_cast<uint32_t>(e.extra.size()));
        Put16(out, static_cast<uint32_t>(e.comment.size()));
        Put16(out, disk(localAt[i]));
        Put16(out, 0);
        Put32(out, e.externalAttributes);
        Put32(out, e.offset.value_or(offset(localAt[i])));
        out += e.name + e.extra + e.comment;
    }
    const size_t endAt = out.size();
    const auto count = totalEntries.value_or(static_cast<uint16_t>(order.size()));
    Put32(out, 0x06054b50);
    Put16(out, static_cast<uint32_t>(cuts.size()));
    Put16(out, disk(centralAt));
    Put16(out, count);
    Put16(out, count);
    Put32(out, directorySize.value_or(static_cast<uint32_t>(endAt - centralAt)));
    Put32(out, directoryOffset.value_or(offset(centralAt)));
    Put16(out, static_cast<uint32_t>(comment.size()));
    return out + comment;
}

void ZipWriter::Save(const std::string& path) {
    const std::string bytes = Build();
    size_t start = 0;
    for (size_t volume = 0; volume < cuts.size(); ++volume) {
        char extension[32];
        std::snprintf(extension, sizeof extension, ".%03zu", volume);
        WriteFile(path.substr(0, path.rfind('.')) + extension,
                  bytes.substr(start, cuts[volume] - start));
        start = cuts[volume];
    }
    WriteFile(path, bytes.substr(start));
}
