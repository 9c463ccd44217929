#include "JournalRecord.h"

#include <nlohmann/json.hpp>
#include <unordered_map>

#include "CaseFold.h"

namespace {

using nlohmann::json;

constexpr int kFormat = 1;
constexpr size_t kMaxPath = 4096;

// Names are bytes as the file system has them, not always UTF-8, which a JSON text cannot hold:
// such a name is kept as the hex of its bytes under a key of its own.
bool IsUtf8(const std::string& text) {
    try {
        (void)json(text).dump();
        return true;
    } catch (const json::type_error&) {
        return false;
    }
}

void PutPath(json& item, const std::string& path) {
    if (IsUtf8(path)) {
        item["path"] = path;
        return;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : path) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    item["path-hex"] = hex;
}

bool FromHex(const std::string& hex, std::string& bytes) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (size_t j = i; j < i + 2; ++j) {
            const char c = hex[j];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + digit;
        }
        bytes += static_cast<char>(value);
    }
    return true;
}

bool IsDigest(const std::string& text) {
    if (text.size() != 64) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// Reading stops at the first field that is not as written; the field's name says which.
struct Reader {
    JournalRecord::Fault fault = JournalRecord::Fault::none;
    std::string detail;

    bool Fail(JournalRecord::Fault why, const std::string& what) {
        if (fault == JournalRecord::Fault::none) {
            fault = why;
            detail = what;
        }
        return false;
    }
    bool Text(const json& object, const char* key, std::string& value, bool required = true) {
        const auto found = object.find(key);
        if (found == object.end()) {
            return !required || Fail(JournalRecord::Fault::badField, key);
        }
        if (!found->is_string()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        value = found->get<std::string>();
        return true;
    }
    bool Number(const json& object, const char* key, uint64_t& value) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_number_unsigned()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        value = found->get<uint64_t>();
        return true;
    }
    bool Time(const json& object, const char* key, int64_t& value) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_number_integer()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        value = found->get<int64_t>();
        return true;
    }
    // A name as PutPath writes it, whatever it holds.
    bool Bytes(const json& holder, const char* key, std::string& bytes) {
        if (!holder.is_object()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        const auto hex = holder.find("path-hex");
        if (hex != holder.end()) {
            return (hex->is_string() && FromHex(hex->get<std::string>(), bytes)) ||
                   Fail(JournalRecord::Fault::badField, key);
        }
        const auto text = holder.find("path");
        if (text == holder.end() || !text->is_string()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        bytes = text->get<std::string>();
        return true;
    }
    bool Path(const json& holder, std::string& path) {
        return Bytes(holder, "path", path) &&
               (JournalRecord::IsSafePath(path) || Fail(JournalRecord::Fault::unsafePath, path));
    }
    bool Array(const json& document, const char* key, const json*& array) {
        const auto found = document.find(key);
        if (found == document.end() || !found->is_array()) {
            return Fail(JournalRecord::Fault::badField, key);
        }
        array = &*found;
        return true;
    }
};

}  // namespace

bool JournalRecord::IsSafePath(const std::string& path) {
    if (path.empty() || path.size() > kMaxPath || path.front() == '/' || path.back() == '/' ||
        path.find('\\') != std::string::npos || path.find('\0') != std::string::npos) {
        return false;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('/', start);
        const std::string name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." ||
            (start == 0 && CaseFold::Fold(name) == ".zanvo")) {
            return false;
        }
        if (end == std::string::npos) {
            return true;
        }
        start = end + 1;
    }
}

bool JournalRecord::IsSafeName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name.front() != '.' &&
           name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// A journal is written as its install goes: its head, one line per file written, then the
// rest. A journal of 20,000 files is never held whole in memory.
std::string JournalRecord::Head() const {
    json document = {{"zanvo-journal", kFormat},
                     {"kind", kind == Kind::install ? "install" : "uninstall"},
                     {"archive", archive},
                     {"time", time}};
    if (!undoes.empty()) {
        document["undoes"] = undoes;
    }
    std::string text = document.dump();
    text.pop_back();  // the object goes on
    return text + ",\n\"files\": [";
}

std::string JournalRecord::FileLine(const File& file) {
    // Written by hand, in the order a JSON object of these keys is written: one line per
    // file of an install, the cost of each counts.
    std::string path;
    try {
        path = "\"path\":" + json(file.path).dump();
    } catch (const json::type_error&) {
        json item = json::object();
        PutPath(item, file.path);
        path = "\"path-hex\":" + item["path-hex"].dump();
    }
    return "{\"mtime\":" + std::to_string(file.mtime) + "," + path + ",\"sha256\":\"" +
           file.sha256 + "\",\"size\":" + std::to_string(file.size) + "}";
}

std::string JournalRecord::Tail() const {
    json backups = json::array();
    for (const Backup& backup : replaced) {
        json item = {{"size", backup.size}, {"mtime", backup.mtime}};
        PutPath(item, backup.path);
        if (backup.sha256.empty()) {
            PutPath(item["link"], backup.link);
        } else {
            item["sha256"] = backup.sha256;
        }
        backups.push_back(std::move(item));
    }
    json made = json::array();
    for (const std::string& folder : folders) {
        json item = json::object();
        PutPath(item, folder);
        made.push_back(std::move(item));
    }
    return "],\n\"replaced\": " + backups.dump() + ",\n\"folders\": " + made.dump() + "\n}\n";
}

std::string JournalRecord::ToJson() const {
    std::string text = Head();
    for (size_t i = 0; i < files.size(); ++i) {
        text += (i == 0 ? "\n" : ",\n") + FileLine(files[i]);
    }
    return text + Tail();
}

std::optional<JournalRecord> JournalRecord::Parse(const std::string& text, Fault& fault,
                                                  std::string& detail) {
    JournalRecord record;
    Reader reader;
    const json document = json::parse(text, nullptr, false);
    const json* files = nullptr;
    const json* backups = nullptr;
    const json* folders = nullptr;
    std::string kind;
    bool ok = true;
    if (document.is_discarded() || !document.is_object()) {
        ok = reader.Fail(Fault::notJson, {});
    } else {
        const auto format = document.find("zanvo-journal");
        ok = (format != document.end() && *format == kFormat) ||
             reader.Fail(Fault::badField, "zanvo-journal");
        ok = ok && reader.Text(document, "kind", kind) &&
             (kind == "install" || kind == "uninstall" || reader.Fail(Fault::badField, "kind"));
        ok = ok && reader.Text(document, "archive", record.archive) &&
             reader.Text(document, "time", record.time) &&
             reader.Text(document, "undoes", record.undoes, false) &&
             (record.undoes.empty() || IsSafeName(record.undoes) ||
              reader.Fail(Fault::badField, "undoes")) &&
             reader.Array(document, "files", files) &&
             reader.Array(document, "replaced", backups) &&
             reader.Array(document, "folders", folders);
    }
    record.kind = kind == "uninstall" ? Kind::uninstall : Kind::install;
    // A path written twice by one install (two entries sent to one place): the later stands.
    std::unordered_map<std::string, size_t> seen;
    for (size_t i = 0; ok && i < files->size(); ++i) {
        const json& item = (*files)[i];
        File file;
        ok = reader.Path(item, file.path) && reader.Number(item, "size", file.size) &&
             reader.Text(item, "sha256", file.sha256) &&
             (IsDigest(file.sha256) || reader.Fail(Fault::badField, "sha256")) &&
             reader.Time(item, "mtime", file.mtime);
        const auto [at, added] = seen.emplace(CaseFold::Fold(file.path), record.files.size());
        if (added) {
            record.files.push_back(std::move(file));
        } else {
            record.files[at->second] = std::move(file);
        }
    }
    for (size_t i = 0; ok && i < backups->size(); ++i) {
        const json& item = (*backups)[i];
        Backup backup;
        ok = reader.Path(item, backup.path) && reader.Number(item, "size", backup.size) &&
             reader.Time(item, "mtime", backup.mtime);
        if (ok && item.contains("link")) {
            // A link's text need not be a safe path: it is only ever put back as it was.
            ok = reader.Bytes(item["link"], "link", backup.link);
        } else if (ok) {
            ok = reader.Text(item, "sha256", backup.sha256) &&
                 (IsDigest(backup.sha256) || reader.Fail(Fault::badField, "sha256"));
        }
        record.replaced.push_back(std::move(backup));
    }
    for (size_t i = 0; ok && i < folders->size(); ++i) {
        std::string folder;
        ok = reader.Path((*folders)[i], folder);
        record.folders.push_back(std::move(folder));
    }
    if (!ok) {
        fault = reader.fault;
        detail = reader.detail;
        return std::nullopt;
    }
    fault = Fault::none;
    detail.clear();
    return record;
}
