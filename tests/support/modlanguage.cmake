# The suite compiles its own small string tables with lrelease, and reads the real ones from
# the build tree.
qm6_add_test(tst_modlanguage SOURCES ${CMAKE_CURRENT_LIST_DIR}/modlanguage/tst_modlanguage.cpp LIBS qm6support)
target_compile_definitions(tst_modlanguage PRIVATE
  QM6_LRELEASE="$<TARGET_FILE:Qt6::lrelease>"
  QM6_BUILD_LANG_DIR="${CMAKE_BINARY_DIR}/lang")
add_dependencies(tst_modlanguage qm6lang)

# Once more with the string-table code under AddressSanitizer and UBSan: damaged tables.
qm6_add_asan_test(tst_modlanguage_asan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/modlanguage/tst_modlanguage.cpp
          ${CMAKE_SOURCE_DIR}/support/modlanguage.h ${CMAKE_SOURCE_DIR}/support/modlanguage.cpp
          ${CMAKE_SOURCE_DIR}/support/modstringtable.h ${CMAKE_SOURCE_DIR}/support/modstringtable.cpp
          ${CMAKE_SOURCE_DIR}/support/clsregistry.h ${CMAKE_SOURCE_DIR}/support/clsregistry.cpp
  LIBS qm6registry qm6locale Qt6::Widgets ${CMAKE_DL_LIBS}
  INCLUDES ${CMAKE_SOURCE_DIR}/support
  DEFINES QM6_LRELEASE="$<TARGET_FILE:Qt6::lrelease>" QM6_BUILD_LANG_DIR="${CMAKE_BINARY_DIR}/lang"
  DEPENDS qm6lang)

# The loader's fuzz target, seeded with the shipped tables: a fixed set of mutants, each checked
# and, when accepted, searched by Qt (see the file for a libFuzzer build).
if(QM6_HAVE_ASAN_UBSAN)
  add_executable(fuzz_stringtable ${CMAKE_CURRENT_LIST_DIR}/modlanguage/fuzz_stringtable.cpp
    ${CMAKE_SOURCE_DIR}/support/modstringtable.h ${CMAKE_SOURCE_DIR}/support/modstringtable.cpp)
  target_include_directories(fuzz_stringtable PRIVATE ${CMAKE_SOURCE_DIR}/support)
  target_link_libraries(fuzz_stringtable PRIVATE Qt6::Core)
  set_target_properties(fuzz_stringtable PROPERTIES AUTOMOC OFF)
  qm6_warnings(fuzz_stringtable)
  qm6_sanitize(fuzz_stringtable)
  add_dependencies(fuzz_stringtable qm6lang)
  add_test(NAME fuzz_stringtable COMMAND fuzz_stringtable --runs 100000
    ${CMAKE_BINARY_DIR}/lang/1033/devfleetLangRes.qm ${CMAKE_BINARY_DIR}/lang/1036/devfleetLangRes.qm)
  set_tests_properties(fuzz_stringtable PROPERTIES ENVIRONMENT
    "ASAN_OPTIONS=abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()
