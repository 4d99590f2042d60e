# The registry stand-in; each test case points QM6_REGISTRY_DIR at its own temporary folder.
qm6_add_test(tst_registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registry.cpp
  LIBS qm6registry)
