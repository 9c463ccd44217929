// The reader of Steam's KeyValues files: every shape of text it meets, and damaged ones.
#include <gtest/gtest.h>

#include <string>

#include "CKeyValues.h"
#include "TestFolder.h"

namespace {

using namespace std::string_literals;

// "key=value" for a string, "key{...}" for a section, separated by spaces.
std::string Dump(const CKeyValues& section) {
    std::string out;
    for (const CKeyValues& child : section.children) {
        out += (out.empty() ? "" : " ") + child.key;
        out += child.isSection ? "{" + Dump(child) + "}" : "=" + child.value;
    }
    return out;
}

// depth sections "s" around inner, as a text and as Dump shows them.
std::string Nested(int depth, const std::string& inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "\"s\" { ";
    }
    return text + inner + std::string(depth, '}');
}
std::string DumpNested(int depth, const std::string& inner) {
    std::string out;
    for (int i = 0; i < depth; ++i) {
        out += "s{";
    }
    return out + inner + std::string(depth, '}');
}

}  // namespace

TEST(KeyValues, readsEveryShapeAndKeepsWhatPrecedesDamage) {
    struct Row {
        const char* name;
        std::string text, expected;
    };
    const Row rows[] = {
        {.name = "escapes", .text = R"("k" "a\\b\"c\nd\te\x")", .expected = "k=a\\b\"c\nd\te\\x"},
        {.name = "empty strings", .text = R"("" "" "k" "")", .expected = "= k="},
        {.name = "duplicate keys kept in order",
         .text = R"("k" "1" "K" "2" "k" {})",
         .expected = "k=1 K=2 k{}"},
        {.name = "comments",
         .text = "// head\n\"k\" \"v//not\" // \"x\" \"y\"\n\"a\" \"b\"//",
         .expected = "k=v//not a=b"},
        {.name = "unquoted tokens", .text = "k v\nsec{a b}", .expected = "k=v sec{a=b}"},
        {.name = "conditions passed over",
         .text = "\"k\" \"v\" [$WIN32]\n\"s\" [$X360] { \"a\" \"b\" } [!$OSX] \"c\" \"[d]\"",
         .expected = "k=v s{a=b} c=[d]"},
        {.name = "byte order mark", .text = "\xEF\xBB\xBF\"k\" \"v\"", .expected = "k=v"},
        {.name = "empty text", .text = "", .expected = ""},
        {.name = "truncated in a value",
         .text = R"("a" "1" "s" { "b" "2" "c" "unfinis)",
         .expected = "a=1 s{b=2}"},
        {.name = "truncated after a key", .text = R"("a" "1" "s" { "b")", .expected = "a=1 s{}"},
        {.name = "truncated in a key", .text = R"("a" "1" "b)", .expected = "a=1"},
        {.name = "escape at the end", .text = R"("a" "1" "b" "\)", .expected = "a=1"},
        {.name = "stray closing brace", .text = R"("a" "1" } "b" "2")", .expected = "a=1 b=2"},
        {.name = "section never closed", .text = R"("s" { "a" "1")", .expected = "s{a=1}"},
        {.name = "key without value closes its section",
         .text = R"("s" { "a" } "b" "2")",
         .expected = "s{} b=2"},
        {.name = "section without key passed over",
         .text = R"({ "a" { "x" "y" } } "c" "d")",
         .expected = "c=d"},
        {.name = "NUL in a quoted string drops its pair",
         .text = "\"a\" \"x\0y\" \"b\" \"2\" \"c\0\" { \"d\" \"e\" } \"f\" \"3\""s,
         .expected = "b=2 f=3"},
        {.name = "NUL between tokens", .text = "\"a\"\0\"1\"\0\0k\0v"s, .expected = "a=1 k=v"},
        {.name = "deepest nesting kept",
         .text = Nested(64, "\"a\" \"1\""),
         .expected = DumpNested(64, "a=1")},
        {.name = "deeper nesting passed over",
         .text = Nested(65, "\"a\" \"1\"") + " \"b\" \"2\"",
         .expected = DumpNested(64, "") + " b=2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Dump(CKeyValues::Parse(row.text)), row.expected);
    }
}

TEST(KeyValues, lookupsIgnoreCaseAndTakeTheFirst) {
    const CKeyValues root = CKeyValues::Parse(
        R"("AppState" { "AppID" "70" "appid" "10" "Name" { } "name" "Half-Life" })");
    const CKeyValues* state = root.Find("appstate");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Value("APPID"), "70");
    EXPECT_EQ(state->FindAll("appId").size(), 2u);
    EXPECT_EQ(state->Value("name"), "");  // the first "name" is a section
    EXPECT_EQ(state->FindAll("NAME").back()->value, "Half-Life");
    EXPECT_EQ(state->Find("missing"), nullptr);
    EXPECT_EQ(state->Value("missing"), "");
}

TEST(KeyValues, boundsWhatAFileMayCost) {
    std::string pairs;
    for (size_t i = 0; i < CKeyValues::kMaxNodes + 10; ++i) {
        pairs += "k v ";
    }
    EXPECT_EQ(CKeyValues::Parse(pairs).children.size(), CKeyValues::kMaxNodes);
    // Nesting far deeper than any stack could hold, named or not: no recursion follows it.
    EXPECT_EQ(Dump(CKeyValues::Parse(Nested(1 << 17, "") + "\"b\" \"2\"")),
              DumpNested(64, "") + " b=2");
    EXPECT_EQ(Dump(CKeyValues::Parse("\"s\" " + std::string(1 << 20, '{') + "\"a\" \"1\"")), "s{}");

    TestFolder folder;
    folder.WriteFile("big.vdf", "\"a\" \"1\" \"b\" \"" + std::string(CKeyValues::kMaxBytes, 'x') +
                                    "\" \"c\" \"3\"");
    EXPECT_EQ(Dump(CKeyValues::Load(folder / "big.vdf")), "a=1");
    EXPECT_EQ(Dump(CKeyValues::Load(folder / "missing.vdf")), "");
    EXPECT_EQ(Dump(CKeyValues::Load(folder.Path())), "");
}
