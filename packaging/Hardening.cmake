# The hardening Debian builds its own packages with, for the Release build of
# the two programs and the libraries they are made of: checked string and
# memory functions, stack protectors, a read-only relocation table bound at
# start, and position-independent executables (address space layout
# randomisation). The tests link the same libraries, so they run the hardened
# code too. ELF linkers only: other platforms keep their own defaults.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

set(vt520_hardened_libraries vt520usb vt520firmware vt520lighting vt520ui)
set(vt520_hardened_programs vt520-config vt520ctl)
foreach(target IN LISTS vt520_hardened_libraries vt520_hardened_programs)
    # -U first: a _FORTIFY_SOURCE given from outside (CPPFLAGS) would
    # otherwise be redefined, a warning that -Werror stops.
    target_compile_options(${target} PRIVATE
        $<$<CONFIG:Release>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2;-fstack-protector-strong>)
endforeach()
foreach(target IN LISTS vt520_hardened_programs)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release>:LINKER:-z,relro,-z,now>)
endforeach()
