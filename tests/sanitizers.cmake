# Suites that read files a user or another program may have damaged run once more with the code
# under test compiled in under AddressSanitizer and UBSan, so that a read past a buffer fails the
# run instead of passing by luck. A QM6_SANITIZE build has every target sanitized already.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address,undefined")
check_cxx_source_compiles("int main() { return 0; }" QM6_HAVE_ASAN_UBSAN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

function(qm6_sanitize target)
  target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(${target} PRIVATE -fsanitize=address,undefined)
endfunction()

function(qm6_add_asan_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;INCLUDES;ENV" ${ARGN})
  if(NOT QM6_HAVE_ASAN_UBSAN OR QM6_SANITIZE)
    return()
  endif()
  set(env "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1" ${T_ENV})
  if(NOT "${T_ENV}" MATCHES "ASAN_OPTIONS=")
    list(APPEND env "ASAN_OPTIONS=abort_on_error=0")
  endif()
  qm6_add_test(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS} ENV ${env})
  target_include_directories(${name} PRIVATE ${T_INCLUDES})
  qm6_sanitize(${name})
endfunction()
