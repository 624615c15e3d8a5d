// The query dialog: "Query address:" with "As Domain", "As IP/Hostname" and "Cancel".
#pragma once

namespace lv {

// The whole no-argument run: builds the dialog, fills it from the browser and runs the loop.
void RunQueryDialog();

}  // namespace lv
