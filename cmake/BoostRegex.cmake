# Boost.Regex, header-only (1.76 and later; Debian 12: libboost1.81-dev, installed by scripts/setup).
# Only its `boost` folder is put on the include path: the system's other headers must not shadow the
# cross compilers' own.
set(BOOST_INCLUDE_DIR "/usr/include" CACHE PATH "Folder holding boost/regex.hpp (Boost 1.76 or later)")
set(boost_version_file ${BOOST_INCLUDE_DIR}/boost/version.hpp)
if(NOT EXISTS ${boost_version_file})
  message(FATAL_ERROR "Boost.Regex is missing: ${boost_version_file} does not exist.\n"
    "Run scripts/setup (Debian 12: it installs libboost1.81-dev), or give a Boost 1.76 or later "
    "with -DBOOST_INCLUDE_DIR=<folder holding boost/>.")
endif()
file(STRINGS ${boost_version_file} boost_version_line REGEX "^#define BOOST_VERSION [0-9]+")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" boost_version "${boost_version_line}")
if(boost_version LESS 107600)
  message(FATAL_ERROR "Boost ${boost_version} at ${BOOST_INCLUDE_DIR}: Boost.Regex is header-only from 1.76 "
    "(Debian 12: libboost1.81-dev, not the default libboost-dev 1.74).")
endif()
set(boost_link_dir ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${boost_link_dir})
file(CREATE_LINK ${BOOST_INCLUDE_DIR}/boost ${boost_link_dir}/boost SYMBOLIC COPY_ON_ERROR)
add_library(boost_regex_headers INTERFACE)
target_include_directories(boost_regex_headers SYSTEM INTERFACE ${boost_link_dir})
