# Pictures and icons: the icon resource, image choice, picture types, damaged files.
qm6_add_test(tst_modswgraphics
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
  LIBS qm6support Qt6::Gui)
qm6_add_test(tst_modswgraphics_malformed
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics_malformed.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
  LIBS qm6support Qt6::Gui)

# The damaged-file suite once more with the parser itself compiled under AddressSanitizer
# and UBSan, so that a read past a buffer fails the run instead of passing by luck.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address,undefined")
check_cxx_source_compiles("int main() { return 0; }" QM6_HAVE_ASAN_UBSAN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(QM6_HAVE_ASAN_UBSAN)
  qm6_add_test(tst_modswgraphics_malformed_asan
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_modswgraphics_malformed.cpp ${CMAKE_CURRENT_SOURCE_DIR}/iconfiles.h
            ${CMAKE_SOURCE_DIR}/support/modswgraphics.cpp ${CMAKE_SOURCE_DIR}/support/modswgraphics.h
    LIBS QM6HostApi Qt6::Gui Qt6::Widgets
    ENV "ASAN_OPTIONS=detect_leaks=0:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  target_include_directories(tst_modswgraphics_malformed_asan PRIVATE ${CMAKE_SOURCE_DIR}/support)
  target_compile_options(tst_modswgraphics_malformed_asan PRIVATE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tst_modswgraphics_malformed_asan PRIVATE -fsanitize=address,undefined)
endif()
