# The project's version (project() in the top CMakeLists.txt) as a header for the programs:
# quillscope_version.h, included as <quillscope_version.h> through the target quill_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/quillscope_version.h.in ${PROJECT_BINARY_DIR}/generated/quillscope_version.h @ONLY)
add_library(quill_version INTERFACE)
target_include_directories(quill_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
