// Program entry: picks one of the three actions from the command line.
#pragma once
namespace lv {

int Main();

}  // namespace lv
