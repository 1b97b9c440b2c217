# Install rules and CPack: a portable zip on Windows, .deb packages on Linux. Everything
# takes its version from project(). The sample sites are a component of their own and
# ship only when the build talks to them (the default site settings).
include(GNUInstallDirs)

set(quillreap_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(quillreap_generated_dir ${PROJECT_BINARY_DIR}/packaging)

# Built with the default site settings, the programs only ever talk to the sample sites,
# so those come along; pointed at real sites, the packages hold Quillreap alone.
set(QUILLREAP_SHIP_SAMPLE_SITES OFF)
if(QUILLREAP_SEARCH_HOST STREQUAL "127.0.0.1:18061" AND
   QUILLREAP_SEARCH_ID STREQUAL "1000000000000000001" AND
   QUILLREAP_SOURCE1_HOST STREQUAL "127.0.0.1:18062" AND
   QUILLREAP_SOURCE2_HOST STREQUAL "127.0.0.1:18063" AND
   QUILLREAP_SOURCE2_LABEL STREQUAL "")
  set(QUILLREAP_SHIP_SAMPLE_SITES ON)
endif()

# The built-in site files go with the packages as examples for a user's own, each with the
# host this build's site has (the files in the sources name the sample sites').
set(quillreap_example_site_files "")
foreach(site source1 source2)
  string(TOUPPER "QUILLREAP_${site}_HOST" host_variable)
  file(READ ${PROJECT_SOURCE_DIR}/sites/builtin/${site}.json site_text)
  string(REGEX REPLACE "\"host\": \"[^\"]*\"" "\"host\": \"${${host_variable}}\"" site_text
                       "${site_text}")
  # A label the build gives source 2 goes into its file, which would otherwise follow the host.
  if(site STREQUAL "source2" AND NOT QUILLREAP_SOURCE2_LABEL STREQUAL "")
    string(REGEX REPLACE "(\"host\": \"[^\"]*\",)" "\\1\n  \"label\": \"${QUILLREAP_SOURCE2_LABEL}\","
                         site_text "${site_text}")
  endif()
  file(WRITE ${quillreap_generated_dir}/sites/${site}.json "${site_text}")
  list(APPEND quillreap_example_site_files ${quillreap_generated_dir}/sites/${site}.json)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/sites/builtin/source1.json
             ${PROJECT_SOURCE_DIR}/sites/builtin/source2.json)
# The third sample site's file, the worked example of docs/sites.md, goes with the sample sites.
if(QUILLREAP_SHIP_SAMPLE_SITES)
  list(APPEND quillreap_example_site_files ${PROJECT_SOURCE_DIR}/tests/fixtures/sites/example.json)
endif()

set(quillreap_user_programs quillreap-cli)
if(TARGET quillreap)
  list(PREPEND quillreap_user_programs quillreap)
endif()

if(WIN32)
  # Explorer's Details tab reads these.
  foreach(program IN ITEMS quillreap quillreap-cli)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(QUILLREAP_RC_NAME ${program})
    if(program STREQUAL "quillreap")
      set(QUILLREAP_RC_DESCRIPTION "Quillreap web novel downloader")
    else()
      set(QUILLREAP_RC_DESCRIPTION "Quillreap web novel downloader (command line)")
    endif()
    configure_file(${quillreap_packaging_dir}/version.rc.in
                   ${quillreap_generated_dir}/${program}-version.rc @ONLY)
    target_sources(${program} PRIVATE ${quillreap_generated_dir}/${program}-version.rc)
  endforeach()

  # Portable: everything side by side at the top of the zip's folder.
  install(TARGETS ${quillreap_user_programs} RUNTIME DESTINATION . COMPONENT quillreap)

  # The read-me is written for Chinese Windows: GBK with CR LF.
  set(QUILLREAP_README_SAMPLE_SITES "")
  if(QUILLREAP_SHIP_SAMPLE_SITES)
    string(CONCAT QUILLREAP_README_SAMPLE_SITES
           "\n试用:先双击 quillreap-sample-sites.exe 启动示例网站(本机 127.0.0.1 的 18061-18064 端口,"
           "窗口保持打开),\n再运行 quillreap.exe,搜索\"西游\"即可下载示例书籍。\n")
  endif()
  # Every line break made CR LF after filling in, the inserted lines' ones too.
  file(READ ${quillreap_packaging_dir}/readme-windows.txt.in quillreap_readme)
  string(CONFIGURE "${quillreap_readme}" quillreap_readme @ONLY)
  string(REPLACE "\n" "\r\n" quillreap_readme "${quillreap_readme}")
  file(WRITE ${quillreap_generated_dir}/readme-utf8.txt "${quillreap_readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${quillreap_packaging_dir}/readme-windows.txt.in)
  execute_process(COMMAND iconv -f UTF-8 -t GBK ${quillreap_generated_dir}/readme-utf8.txt
                  OUTPUT_FILE ${quillreap_generated_dir}/readme.txt
                  RESULT_VARIABLE quillreap_iconv_result)
  if(NOT quillreap_iconv_result EQUAL 0)
    message(FATAL_ERROR "could not write the Windows read-me in GBK (iconv: ${quillreap_iconv_result})")
  endif()
  install(FILES ${quillreap_generated_dir}/readme.txt DESTINATION . COMPONENT quillreap)
  # The site files as examples, one folder below the sites folder the program reads, so
  # that they stand as examples until a user copies one up to mend it.
  install(FILES ${quillreap_example_site_files} DESTINATION sites/examples COMPONENT quillreap)
  if(QUILLREAP_SHIP_SAMPLE_SITES)
    install(TARGETS quillreap-sample-sites RUNTIME DESTINATION . COMPONENT sample_sites)
  endif()
else()
  install(TARGETS ${quillreap_user_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT quillreap)
  install(FILES ${quillreap_packaging_dir}/quillreap.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT quillreap)
  install(FILES ${quillreap_packaging_dir}/quillreap.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT quillreap)
  configure_file(${quillreap_packaging_dir}/quillreap-cli.1.in
                 ${quillreap_generated_dir}/quillreap-cli.1 @ONLY)
  install(FILES ${quillreap_generated_dir}/quillreap-cli.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT quillreap)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
          COMPONENT quillreap)
  install(FILES ${quillreap_example_site_files} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/sites
          COMPONENT quillreap)
  if(QUILLREAP_SHIP_SAMPLE_SITES)
    install(TARGETS quillreap-sample-sites RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT sample_sites)
  endif()
endif()

# Packaging builds only the programs; the tests and benchmarks a build also holds are not
# needed for it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME quillreap)
set(CPACK_PACKAGE_VENDOR "Quillreap")
set(CPACK_PACKAGE_CONTACT "Quillreap developers <quillreap@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find a web novel and save the whole book as one text file")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL quillreap)
if(QUILLREAP_SHIP_SAMPLE_SITES)
  list(APPEND CPACK_COMPONENTS_ALL sample_sites)
endif()

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  # One zip, unpacked into a folder of its own.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_PACKAGE_FILE_NAME quillreap-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # Depends are read off the binaries' shared libraries (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION net)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_QUILLREAP_PACKAGE_NAME quillreap)
  set(CPACK_DEBIAN_QUILLREAP_DESCRIPTION
      "find a web novel and save the whole book as one text file
 Quillreap searches two novel sites for a book, fetches its chapter index and
 every chapter, strips the sites' markup and advertising lines and saves the
 whole book as one GBK text file. The package holds the window (quillreap, in
 the desktop menu) and the terminal program quillreap-cli.")
  set(CPACK_DEBIAN_SAMPLE_SITES_PACKAGE_NAME quillreap-sample-sites)
  set(CPACK_DEBIAN_SAMPLE_SITES_DESCRIPTION
      "sample novel sites for trying Quillreap
 A small web server on 127.0.0.1 (ports 18061-18064) serving public-domain
 classics in the markup of the novel sites Quillreap reads. Start
 quillreap-sample-sites, then search for a book in Quillreap.")
endif()

include(CPack)
