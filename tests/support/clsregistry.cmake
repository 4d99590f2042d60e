# clsRegistry; each test case points QM6_REGISTRY_DIR at its own temporary folder.
qm6_add_test(tst_clsregistry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clsregistry.cpp
  LIBS qm6support SQLite::SQLite3)
