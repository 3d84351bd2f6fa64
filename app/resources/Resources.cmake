# trelvo_resources(target): compiles the program's resources (app/resources/Trelvo.rc, the artwork
# made from art/*.ico.txt and art/*.bmp.txt, and the common-controls manifest of classlib/ when there
# is one) into the target. Include this file, then call it once per program:
#   include(${PROJECT_SOURCE_DIR}/app/resources/Resources.cmake)
#   trelvo_resources(Trelvo)

enable_language(RC)
set(TRELVO_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(TRELVO_RESOURCES_ROOT ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)

# The artwork is made once per build tree, by one target that every program depends on.
function(_trelvo_art)
    get_property(made GLOBAL PROPERTY TRELVO_ART_OUTPUTS SET)
    if(made)
        return()
    endif()
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(outdir ${CMAKE_BINARY_DIR}/resources/art)
    file(MAKE_DIRECTORY ${outdir})
    file(GLOB sources CONFIGURE_DEPENDS ${TRELVO_RESOURCES_DIR}/art/*.ico.txt ${TRELVO_RESOURCES_DIR}/art/*.bmp.txt)
    set(outputs "")
    foreach(source IN LISTS sources)
        get_filename_component(name ${source} NAME)
        string(REGEX REPLACE "\\.txt$" "" name ${name})
        add_custom_command(OUTPUT ${outdir}/${name}
            COMMAND Python3::Interpreter ${TRELVO_RESOURCES_DIR}/mkart.py ${source} ${outdir}/${name}
            DEPENDS ${source} ${TRELVO_RESOURCES_DIR}/mkart.py
            COMMENT "Artwork ${name}" VERBATIM)
        list(APPEND outputs ${outdir}/${name})
    endforeach()
    add_custom_target(trelvo_art DEPENDS ${outputs})
    set_property(GLOBAL PROPERTY TRELVO_ART_OUTPUTS ${outputs})
    set_property(GLOBAL PROPERTY TRELVO_ART_DIR ${outdir})
endfunction()

function(trelvo_resources target)
    _trelvo_art()
    get_property(art GLOBAL PROPERTY TRELVO_ART_OUTPUTS)
    get_property(artdir GLOBAL PROPERTY TRELVO_ART_DIR)
    # A small wrapper per target adds the manifest (RT_MANIFEST, id 1) to the shared .rc.
    file(GLOB manifest ${TRELVO_RESOURCES_ROOT}/classlib/*.manifest)
    set(wrapper ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    set(text "#include \"app/resources/Trelvo.rc\"\n")
    if(manifest)
        list(GET manifest 0 manifest)
        string(APPEND text "1 24 \"${manifest}\"\n")
    endif()
    file(CONFIGURE OUTPUT ${wrapper} CONTENT "${text}")
    target_sources(${target} PRIVATE ${wrapper})
    # windres looks for the files the .rc names (the artwork) on its include path too.
    target_include_directories(${target} PRIVATE
        "$<$<COMPILE_LANGUAGE:RC>:${TRELVO_RESOURCES_ROOT}>" "$<$<COMPILE_LANGUAGE:RC>:${artdir}>")
    set_source_files_properties(${wrapper} TARGET_DIRECTORY ${target} PROPERTIES
        OBJECT_DEPENDS "${art};${TRELVO_RESOURCES_DIR}/Trelvo.rc;${TRELVO_RESOURCES_DIR}/resource.h;${manifest}")
    add_dependencies(${target} trelvo_art)
endfunction()
