# GoogleTest from Debian's source package, built with our own compiler so the
# same suite runs natively and as Win32 programs under Wine.
set(QUILLO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${QUILLO_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found at ${QUILLO_GTEST_SOURCE}: run scripts/install-deps.sh")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QUILLO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(WIN32)
    target_compile_options(gtest PUBLIC
        -include ${PROJECT_SOURCE_DIR}/tests/common/gtest_notification_win32.h)
endif()
include(GoogleTest)
