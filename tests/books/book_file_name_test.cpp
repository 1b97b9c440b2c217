// The book file name made from a novel name off a web page: it never leaves the book
// directory and is a name both Windows and Linux can create.
#include <gtest/gtest.h>

#include "books/book_file.hpp"

namespace quillreap::books {
namespace {

TEST(SafeBookFileName, KeepsOrdinaryNames) {
  EXPECT_EQ(safe_book_file_name("三体"), "三体");
  EXPECT_EQ(safe_book_file_name("Book 2 (修订版)"), "Book 2 (修订版)");
  EXPECT_EQ(safe_book_file_name(""), "");
  EXPECT_EQ(safe_book_file_name("a.b"), "a.b");
}

TEST(SafeBookFileName, ReplacesSeparatorsAndForbiddenCharacters) {
  EXPECT_EQ(safe_book_file_name("..\\..\\evil/name"), ".._.._evil_name");
  EXPECT_EQ(safe_book_file_name("/etc/passwd"), "_etc_passwd");
  EXPECT_EQ(safe_book_file_name("a:b*c?d\"e<f>g|h"), "a_b_c_d_e_f_g_h");
  EXPECT_EQ(safe_book_file_name("\x01line\r\nend\t"), "_line__end_");
}

TEST(SafeBookFileName, TrailBytesThatLookLikeSeparatorsStayPartOfTheirCharacter) {
  const Text name = "淺東";  // trail bytes 0x5C ('\') and 0x7C ('|')
  ASSERT_EQ(name[1], '\\');
  ASSERT_EQ(name[3], '|');
  EXPECT_EQ(safe_book_file_name(name), name);
  // A '\' that starts a character is still a separator.
  EXPECT_EQ(safe_book_file_name("淺\\東"), "淺_東");
}

TEST(SafeBookFileName, BytesThatStartNoCharacterCannotSwallowWhatFollows) {
  EXPECT_EQ(safe_book_file_name("三体\xB0"), "三体_");  // a lone lead byte at the end
  EXPECT_EQ(safe_book_file_name("\xB0/x"), "__x");      // a lead byte before a separator
  EXPECT_EQ(safe_book_file_name("\x80\xFF"), "__");
}

TEST(SafeBookFileName, DefusesDirectoryStepsAndTrailingDotsAndSpaces) {
  EXPECT_EQ(safe_book_file_name("."), "._");
  EXPECT_EQ(safe_book_file_name(".."), ".._");
  EXPECT_EQ(safe_book_file_name("name."), "name._");
  EXPECT_EQ(safe_book_file_name("name "), "name _");
  EXPECT_EQ(safe_book_file_name("第一卷 "), "第一卷 _");
}

TEST(SafeBookFileName, DefusesDeviceNamesInAnyCaseWithOrWithoutExtension) {
  for (const char* device : {"CON", "prn", "Aux", "nul", "COM1", "com9", "LPT1", "lpt9"}) {
    EXPECT_EQ(safe_book_file_name(device), Text("_") + device) << device;
    EXPECT_EQ(safe_book_file_name(Text(device) + ".txt"), Text("_") + device + ".txt") << device;
  }
  EXPECT_EQ(safe_book_file_name("CON .tar.gz"), "_CON .tar.gz");
  EXPECT_EQ(safe_book_file_name("CON."), "_CON._");
  for (const char* ordinary : {"COM0", "LPT", "CONSOLE", "NULL", "xCON", "COM10"})
    EXPECT_EQ(safe_book_file_name(ordinary), ordinary) << ordinary;
}

}  // namespace
}  // namespace quillreap::books
