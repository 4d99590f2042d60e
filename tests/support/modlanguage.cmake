# The suite compiles its own small string tables with lrelease, and reads the real ones from
# the build tree.
qm6_add_test(tst_modlanguage SOURCES ${CMAKE_CURRENT_LIST_DIR}/modlanguage/tst_modlanguage.cpp LIBS qm6support)
target_compile_definitions(tst_modlanguage PRIVATE
  QM6_LRELEASE="$<TARGET_FILE:Qt6::lrelease>"
  QM6_BUILD_LANG_DIR="${CMAKE_BINARY_DIR}/lang")
add_dependencies(tst_modlanguage qm6lang)
