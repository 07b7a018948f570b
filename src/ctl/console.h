#pragma once

namespace zek::cli {

// Makes the terminal show the UTF-8 that zekctl prints, for as long as zekctl runs.
void useUtf8Console();

} // namespace zek::cli
