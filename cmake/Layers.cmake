# The program is built in layers, each a folder and a library, each allowed
# to include only the folders of the layers below it. A layer's sources are
# compiled with an include root of their own that holds exactly those
# folders, so an include of a layer above does not compile.

# lk_include_root(TARGET FOLDER...): TARGET's sources see FOLDER... and
# nothing else of the source tree.
function(lk_include_root target)
    set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
    file(MAKE_DIRECTORY ${root})
    foreach(folder ${ARGN})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${target} PRIVATE ${root})
endfunction()

# lk_layer(TARGET FOLDER LOWER...): a static library of the sources in FOLDER
# that may include FOLDER and the LOWER folders.
function(lk_layer target folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    add_library(${target} STATIC ${sources})
    lk_include_root(${target} ${folder} ${ARGN})
endfunction()
