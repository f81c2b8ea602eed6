#pragma once

#include <string>

namespace quendrix {

// Named temporary files beside the outputs they will replace. Each is held in a slot that a
// handler of SIGINT, SIGTERM and SIGHUP removes, so that an interrupted save leaves none; only a
// kill can leave one, named `out.csv.quendrix-a81Kx2` after its target so it can be told.

/// Creates a named temporary file beside `target`: its descriptor (and its `slot`), or -1 with
/// errno set.
int createNamedTemporary(const std::string& target, int& slot);

/// Gives the unnamed file behind `fd` a temporary name beside `target`: its slot, or -1.
int linkNamedTemporary(int fd, const std::string& target);

/// The name held in `slot`.
const char* temporaryName(int slot);

/// Forgets `slot` once its file has been renamed away.
void releaseSlot(int slot);

/// Removes the file held in `slot` and forgets it.
void removeTemporary(int slot);

} // namespace quendrix
