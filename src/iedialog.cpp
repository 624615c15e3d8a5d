// Query dialog (built in a later step).
#include "iedialog.h"

namespace lv {

void RunQueryDialog() {}

}  // namespace lv
