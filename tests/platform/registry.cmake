# The registry stand-in; each test case points QM6_REGISTRY_DIR at its own temporary folder.
qm6_add_test(tst_registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registry.cpp ${CMAKE_CURRENT_LIST_DIR}/registrykeys.h
  LIBS qm6registry)

# A library that carries its own copy of the registry, for the store suite to load and unload.
add_library(tst_registrylibrary MODULE ${CMAKE_CURRENT_LIST_DIR}/registrylibrary.cpp)
target_link_libraries(tst_registrylibrary PRIVATE qm6registry)
set_target_properties(tst_registrylibrary PROPERTIES CXX_VISIBILITY_PRESET hidden AUTOMOC OFF)
target_link_options(tst_registrylibrary PRIVATE -Wl,--exclude-libs,ALL)
qm6_warnings(tst_registrylibrary)

# The store files: default places, modes, another user, locks, broken and damaged stores, a
# library unloaded with its stores. Once more with the registry code under AddressSanitizer and
# UBSan, for the damaged ones.
qm6_add_test(tst_registrystore
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registrystore.cpp ${CMAKE_CURRENT_LIST_DIR}/registrykeys.h
          ${CMAKE_SOURCE_DIR}/tests/fakes/unixusers.h
  LIBS qm6registry SQLite::SQLite3 ${CMAKE_DL_LIBS})
target_compile_definitions(tst_registrystore PRIVATE QM6_REGISTRY_LIBRARY="$<TARGET_FILE:tst_registrylibrary>")
add_dependencies(tst_registrystore tst_registrylibrary)
qm6_add_asan_test(tst_registrystore_asan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registrystore.cpp ${CMAKE_CURRENT_LIST_DIR}/registrykeys.h
          ${CMAKE_SOURCE_DIR}/tests/fakes/unixusers.h
          ${CMAKE_SOURCE_DIR}/platform/registry/win32registry.h
          ${CMAKE_SOURCE_DIR}/platform/registry/registrystore.h
          ${CMAKE_SOURCE_DIR}/platform/registry/registrystore.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/registryapi.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/registrysecurity.cpp
          ${CMAKE_SOURCE_DIR}/platform/registry/systemservices.cpp
  LIBS Qt6::Core SQLite::SQLite3 ${CMAKE_DL_LIBS}
  INCLUDES ${CMAKE_SOURCE_DIR}/platform/registry ${CMAKE_SOURCE_DIR}/tests/fakes
  DEFINES QM6_REGISTRY_LIBRARY="$<TARGET_FILE:tst_registrylibrary>"
  DEPENDS tst_registrylibrary)
