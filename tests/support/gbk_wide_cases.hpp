// The rule of the Windows build's one GBK <-> UTF-16 conversion, as a table of cases that
// each place a text meets the system (file names, the window, the console) is held to.
#pragma once

#include <string>

namespace quillreap::test_support {

enum class Way { kBoth, kToWide, kToGbk };

struct Case {
  const char* what;
  std::string gbk;
  std::wstring wide;
  Way way = Way::kBoth;
};

// The rule: each character that is not GBK becomes one '?', and the rest still converts.
inline const Case kGbkWideCases[] = {
    {"Chinese", "\xC8\xFD\xB9\xFA", L"\u4E09\u56FD"},
    {"ASCII", "Book 1", L"Book 1"},
    {"euro sign alone", "\x80", L"\u20AC"},
    {"lead byte at the end", "ab\x81", L"ab?", Way::kToWide},
    {"lead byte before a byte that cannot trail it", "\x81 x", L"? x", Way::kToWide},
    {"byte that starts nothing",
     "a\xFF"
     "b",
     L"a?b", Way::kToWide},
    {"bad byte amid Chinese", "\xC8\xFD\xFF\xB9\xFA", L"\u4E09?\u56FD", Way::kToWide},
    {"character outside GBK", "a?", L"a\u0E01", Way::kToGbk},
};

}  // namespace quillreap::test_support
