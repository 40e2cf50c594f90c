# Warnings, -Werror and sanitizers for the project's own targets.
#
# Warnings are set per target, not for the whole directory tree, so that imported targets and
# code we do not own keep their own flags. pelorix_apply_warnings() walks every folder once all
# targets exist, so a new target gets the same checks without an edit here.

option(PELORIX_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)
option(PELORIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

set(PELORIX_WARNING_FLAGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
if(PELORIX_WERROR)
  list(APPEND PELORIX_WARNING_FLAGS -Werror)
endif()

if(PELORIX_SANITIZE)
  # Every object, the tools' included, so that a fault in a stand-in shows as well.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(pelorix_apply_warnings dir)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${target} PRIVATE ${PELORIX_WARNING_FLAGS})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    pelorix_apply_warnings("${subdir}")
  endforeach()
endfunction()
