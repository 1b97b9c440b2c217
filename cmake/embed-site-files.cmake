# Writes the built-in site files into a C++ source as byte arrays, so that one executable
# carries them. Run at build time: cmake -DOUTPUT=file.cpp -DINPUTS="a.json|b.json" -P this.
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(arrays "")
set(entries "")
set(n 0)
foreach(input IN LISTS INPUTS)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  get_filename_component(name "${input}" NAME)
  string(APPEND arrays "constexpr unsigned char kFile${n}[] = {${bytes}};\n")
  string(APPEND entries "      {\"${name}\", {reinterpret_cast<const char*>(kFile${n}), sizeof kFile${n}}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUTPUT}.new"
"// Generated from sites/builtin/*.json at build time; not to be edited.
#include \"sites/builtin_sites.hpp\"

namespace quillreap::sites {
namespace {
${arrays}}  // namespace

std::span<const SiteFileText> builtin_site_files() {
  static const SiteFileText kFiles[] = {
${entries}  };
  return kFiles;
}

}  // namespace quillreap::sites
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
