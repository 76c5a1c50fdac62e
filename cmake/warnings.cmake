# Warnings every target of ours is held to (and, on request, the sanitizers);
# no -Werror, so that a newer compiler never breaks a user's build.
add_library(quillo_warnings INTERFACE)
target_compile_options(quillo_warnings INTERFACE -Wall -Wextra -Wshadow -Wconversion
                                                 -Wno-sign-conversion)
if(QUILLO_SANITIZE)
    target_compile_options(quillo_warnings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(quillo_warnings INTERFACE -fsanitize=address,undefined)
endif()
if(WIN32)
    # One self-contained executable: no MinGW runtime DLLs beside it.
    target_link_options(quillo_warnings INTERFACE -static -static-libgcc -static-libstdc++)
endif()
