// lviehlp as the native messaging host of Edge, Chrome and Firefox: one request from the
// extension's button or menu (a page, a link or a selection), the query dialog for it, and one reply.
#pragma once
#include "nativemsg.h"

namespace lv {

// The whole host start; its exit code (always 0: the reply says how it went).
int RunNativeHost(const HostStart& start);

}  // namespace lv
