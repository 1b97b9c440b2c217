// Writes what the system's code page 936 makes of every UTF-16 code unit and every byte
// pair, one line each, for make-table to turn into the program's own table. Windows only;
// run under Wine with a Chinese locale (scripts/wine-run).
#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

constexpr UINT kGbk = 936;

struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

// "-" when the system refuses the bytes, else the UTF-16 units they give.
void print_decoded(std::FILE* out, const char* bytes, int size) {
  wchar_t units[4];
  const int got = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, size, units, 4);
  if (got <= 0) std::fputs(" -", out);
  for (int i = 0; i < got; ++i) std::fprintf(out, " %04X", static_cast<unsigned>(units[i]));
  std::fputc('\n', out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: quillreap-cp936-dump OUTPUT\n", stderr);
    return 2;
  }
  std::unique_ptr<std::FILE, FileCloser> out(std::fopen(argv[1], "wb"));
  if (!out) return 1;
  // Encoding: flags 0 and no default character, as the program converts, so best fit
  // applies and whatever has no GBK form becomes the code page's default character.
  for (unsigned u = 0; u <= 0xFFFF; ++u) {
    const wchar_t unit = static_cast<wchar_t>(u);
    char bytes[8];
    const int got = WideCharToMultiByte(kGbk, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr);
    std::fprintf(out.get(), "E %04X", u);
    if (got <= 0)
      std::fputs(" -", out.get());
    else
      std::fputc(' ', out.get());
    for (int i = 0; i < got; ++i) {
      std::fprintf(out.get(), "%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
    }
    std::fputc('\n', out.get());
  }
  // Decoding, with invalid bytes refused: every byte from 0x80 on its own, then behind
  // each of them every possible second byte.
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const char one[1] = {static_cast<char>(lead)};
    std::fprintf(out.get(), "S %02X", lead);
    print_decoded(out.get(), one, 1);
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      std::fprintf(out.get(), "D %02X%02X", lead, trail);
      print_decoded(out.get(), two, 2);
    }
  }
  return std::fclose(out.release()) == 0 ? 0 : 1;
}
