#include "CKeyValues.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

enum class TokenKind { text, open, close, condition, unreadable, end };

struct Token {
    TokenKind kind = TokenKind::end;
    std::string text;
};

bool IsBlank(char c) {
    // A NUL byte outside quotes is damage, not text: it separates like a space.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0';
}

bool EndsUnquoted(char c) {
    return IsBlank(c) || c == '"' || c == '{' || c == '}';
}

CKeyValues Node(const std::string& key, const std::string& value, bool isSection) {
    CKeyValues node;
    node.key = key;
    node.value = value;
    node.isSection = isSection;
    return node;
}

class Reader {
public:
    explicit Reader(std::string_view text_) : text(text_) {}

    // The pairs up to the end of the section (or of the text) into section.
    void ReadSection(CKeyValues& section, int depth) {
        const bool topLevel = depth == 0;
        for (;;) {
            const Token key = Next();
            if (key.kind == TokenKind::end) {
                return;
            }
            if (key.kind == TokenKind::close) {
                if (topLevel) {
                    continue;  // a brace closing nothing
                }
                return;
            }
            if (key.kind == TokenKind::condition) {
                continue;  // the platform condition after the previous pair
            }
            if (key.kind == TokenKind::open) {
                SkipSection();  // a section without a key cannot be asked for
                continue;
            }
            Token value = Next();
            while (value.kind == TokenKind::condition) {
                value = Next();
            }
            const bool named = key.kind == TokenKind::text;
            switch (value.kind) {
                case TokenKind::end:
                    return;
                case TokenKind::close:
                    if (topLevel) {
                        continue;
                    }
                    return;
                case TokenKind::open:
                    if (!named || depth >= CKeyValues::kMaxDepth || !Count()) {
                        SkipSection();
                        continue;
                    }
                    section.children.push_back(Node(key.text, {}, true));
                    ReadSection(section.children.back(), depth + 1);
                    continue;
                case TokenKind::text:
                    if (named && Count()) {
                        section.children.push_back(Node(key.text, value.text, false));
                    }
                    continue;
                case TokenKind::condition:
                case TokenKind::unreadable:
                    continue;
            }
        }
    }

private:
    bool Count() {
        if (nodes >= CKeyValues::kMaxNodes) {
            return false;
        }
        ++nodes;
        return true;
    }

    // After an opening brace: everything up to its closing brace, or the end.
    void SkipSection() {
        for (size_t open = 1; open > 0;) {
            const Token token = Next();
            if (token.kind == TokenKind::end) {
                return;
            }
            if (token.kind == TokenKind::open) {
                ++open;
            } else if (token.kind == TokenKind::close) {
                --open;
            }
        }
    }

    Token Next() {
        for (;;) {
            while (at < text.size() && IsBlank(text[at])) {
                ++at;
            }
            if (text.substr(at, 2) != "//") {
                break;
            }
            const size_t lineEnd = text.find('\n', at);
            at = lineEnd == std::string_view::npos ? text.size() : lineEnd;
        }
        if (at >= text.size()) {
            return {};
        }
        const char c = text[at];
        if (c == '{' || c == '}') {
            ++at;
            return {c == '{' ? TokenKind::open : TokenKind::close, {}};
        }
        if (c == '"') {
            return Quoted();
        }
        size_t end = at + 1;
        while (end < text.size() && !EndsUnquoted(text[end]) && text[end] != ']') {
            ++end;
        }
        const bool condition = c == '[' && end < text.size() && text[end] == ']';
        if (condition) {
            ++end;
        } else {
            while (end < text.size() && !EndsUnquoted(text[end])) {
                ++end;
            }
        }
        Token token{condition ? TokenKind::condition : TokenKind::text,
                    std::string(text.substr(at, end - at))};
        at = end;
        return token;
    }

    // A quoted string: its escapes replaced. Unreadable when it holds a NUL byte (a name cut
    // short by every system call it reaches) or when the text ends before its closing quote.
    Token Quoted() {
        Token token{TokenKind::text, {}};
        ++at;
        while (at < text.size()) {
            const char c = text[at++];
            if (c == '"') {
                return token;
            }
            if (c == '\0') {
                token.kind = TokenKind::unreadable;
            }
            if (c != '\\' || at >= text.size()) {
                token.text += c;
                continue;
            }
            // Other backslashes are kept as written: Windows paths are not always escaped.
            switch (text[at]) {
                case '\\':
                case '"':
                    token.text += text[at++];
                    break;
                case 'n':
                    token.text += '\n';
                    ++at;
                    break;
                case 't':
                    token.text += '\t';
                    ++at;
                    break;
                default:
                    token.text += '\\';
            }
        }
        return {TokenKind::unreadable, {}};
    }

    std::string_view text;
    size_t at = 0;
    size_t nodes = 0;
};

}  // namespace

bool CKeyValues::SameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 'a' - 'A') : c; };
        return lower(x) == lower(y);
    });
}

CKeyValues CKeyValues::Parse(std::string_view text) {
    text = text.substr(0, kMaxBytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    CKeyValues root;
    root.isSection = true;
    Reader(text).ReadSection(root, 0);
    return root;
}

CKeyValues CKeyValues::Load(const std::string& path) {
    std::error_code error;
    // Only a regular file: a FIFO would block the reader, a device never end.
    if (!std::filesystem::is_regular_file(path, error)) {
        return Parse({});
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(std::min<uintmax_t>(std::filesystem::file_size(path, error), kMaxBytes), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return Parse(text);
}

const CKeyValues* CKeyValues::Find(std::string_view name) const {
    const auto found = std::find_if(children.begin(), children.end(), [&](const CKeyValues& child) {
        return SameKey(child.key, name);
    });
    return found != children.end() ? &*found : nullptr;
}

std::vector<const CKeyValues*> CKeyValues::FindAll(std::string_view name) const {
    std::vector<const CKeyValues*> found;
    for (const CKeyValues& child : children) {
        if (SameKey(child.key, name)) {
            found.push_back(&child);
        }
    }
    return found;
}

std::string CKeyValues::Value(std::string_view name) const {
    const CKeyValues* child = Find(name);
    return child != nullptr && !child->isSection ? child->value : std::string();
}
