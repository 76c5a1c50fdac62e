# What makes two builds of one commit byte for byte the same, wherever they
# were checked out and whenever they ran, and keeps the shipped programs small.

# assert and __FILE__ would otherwise carry the checkout's absolute path.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)

option(QUILLO_STRIP "Strip release programs at link time (off to profile them)" ON)
if(QUILLO_STRIP AND CMAKE_BUILD_TYPE STREQUAL "Release")
    # At link time: a separate strip of a PE file writes a new time stamp.
    add_link_options(-s)
endif()

if(WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
    # Whole-program optimisation keeps the downloads within their size limits;
    # one partition, so that every build makes the same bytes.
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    add_compile_options(-flto-partition=one)
    # At link time GCC 12 then inlines MinGW's wmemcpy into the tests and warns
    # of reads that its own bounds rule out.
    add_link_options(-flto-partition=one -Wno-stringop-overread)
endif()

if(WIN32)
    # Each function in its own section, so that the linker keeps only what is called.
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections -Wl,--no-insert-timestamp)
endif()

# The one place the version lives: the programs, the version record and the
# archive names take it from here.
configure_file(${PROJECT_SOURCE_DIR}/resources/version.h.in
               ${PROJECT_BINARY_DIR}/generated/quillo_version.h @ONLY)
include_directories(${PROJECT_BINARY_DIR}/generated)
