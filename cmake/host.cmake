# Native build of the portable code, tested with the sanitizers.
find_package(GTest REQUIRED)
include(GoogleTest)

set(LV_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(lvcore PRIVATE ${LV_SANITIZE})

file(GLOB LV_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${LV_HOST_TESTS})
target_compile_options(host_tests PRIVATE -Wall -Wextra -Werror ${LV_SANITIZE})
target_link_options(host_tests PRIVATE ${LV_SANITIZE})
target_link_libraries(host_tests PRIVATE lvcore GTest::gtest_main)
gtest_discover_tests(host_tests)
