# Project-wide compile options: warnings as errors, sanitizers, static Windows binaries.

add_library(v270_options INTERFACE)
add_library(v270::options ALIAS v270_options)

if(MSVC)
    target_compile_options(v270_options INTERFACE /W4 /WX /permissive- /utf-8)
else()
    target_compile_options(v270_options INTERFACE
        -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
endif()

if(WIN32)
    # Unicode Win32 API, no min/max macros, Windows 7 and later.
    target_compile_definitions(v270_options INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    if(MINGW)
        target_link_options(v270_options INTERFACE -static -static-libgcc -static-libstdc++)
        # Without futexes, libstdc++ 12's atomic waits can miss a wake-up, and std::stop_callback
        # waits on one when its callback runs on the stopping thread: a stop could hang the
        # thread being stopped. Its semaphores are made POSIX ones, which winpthreads provides.
        target_compile_definitions(v270_options INTERFACE _GLIBCXX_USE_POSIX_SEMAPHORE=1)
    endif()
endif()

if(V270_SANITIZERS)
    string(REPLACE ";" "," _v270_san "${V270_SANITIZERS}")
    target_compile_options(v270_options INTERFACE -fsanitize=${_v270_san} -fno-omit-frame-pointer
        -fno-sanitize-recover=all)
    target_link_options(v270_options INTERFACE -fsanitize=${_v270_san})
endif()
if("fuzzer-no-link" IN_LIST V270_SANITIZERS)
    # Comparison tracing doubled the cost of a run, most of it spent on the settings lookups'
    # name compares, for little gain: the seed corpora hold every section and key name.
    target_compile_options(v270_options INTERFACE -fno-sanitize-coverage=trace-cmp)
endif()

# v270_add_library(name SOURCES...) : a subsystem library with the project's options.
function(v270_add_library name)
    add_library(v270_${name} STATIC ${ARGN})
    add_library(v270::${name} ALIAS v270_${name})
    target_include_directories(v270_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(v270_${name} PUBLIC v270::options)
endfunction()
