# The registry stand-in; each test case points QM6_REGISTRY_DIR at its own temporary folder.
qm6_add_test(tst_registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registry.cpp
  LIBS qm6registry)

# The store files: default places, modes, another user, locks, broken and damaged stores. The
# damaged ones once more with the registry code under AddressSanitizer and UBSan.
qm6_add_test(tst_registrystore
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registrystore.cpp
  LIBS qm6registry SQLite::SQLite3)
qm6_add_asan_test(tst_registrystore_asan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registrystore.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/win32registry.h
          ${CMAKE_SOURCE_DIR}/platform/registry/registrystore.h
          ${CMAKE_SOURCE_DIR}/platform/registry/registrystore.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/registryapi.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/registrysecurity.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/systemservices.cpp
  LIBS Qt6::Core SQLite::SQLite3
  INCLUDES ${CMAKE_SOURCE_DIR}/platform/registry)
