# Compiles through ccache when it is installed (V270_COMPILER_CACHE=OFF turns it off). Paths
# under the source folder are hashed relative to it and the build folder is left out of the
# hash, so that every clone and worktree of the project, wherever it lies, shares one cache.
option(V270_COMPILER_CACHE "Compile through ccache when it is installed" ON)
find_program(V270_CCACHE ccache)
if(V270_COMPILER_CACHE AND V270_CCACHE)
    set(_v270_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
        CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=10G ${V270_CCACHE})
    set(CMAKE_C_COMPILER_LAUNCHER ${_v270_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_v270_launcher})
endif()
