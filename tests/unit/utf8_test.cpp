#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "utf8.h"

namespace {

struct Utf8Case {
  const char* name;
  std::string bytes;
  std::wstring expected;
};

void PrintTo(const Utf8Case& c, std::ostream* out) { *out << c.name; }

class WidenUtf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(WidenUtf8Test, DecodesOrReplacesEachBadByte) {
  EXPECT_EQ(winapi_host::WidenUtf8(GetParam().bytes), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, WidenUtf8Test,
    testing::Values(Utf8Case{"ASCII", "smbios-probe --help", L"smbios-probe --help"},
                    Utf8Case{"two three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
                             L"\u00E9\u20AC\U0001F600"},
                    Utf8Case{"a stray continuation byte", "a\x80z", L"a\uFFFDz"},
                    Utf8Case{"a sequence cut at the end", "a\xE2\x82", L"a\uFFFD\uFFFD"},
                    Utf8Case{"an overlong encoding", "\xC0\xAF", L"\uFFFD\uFFFD"},
                    Utf8Case{"an encoded surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"}),
    test_support::CaseName());

}  // namespace
