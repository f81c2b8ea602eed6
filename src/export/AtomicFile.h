#pragma once

#include "base/Result.h"

#include <string>
#include <string_view>

namespace quendrix {

/// Writes `bytes` to `path` through a temporary file in the same folder that is renamed over
/// the target only when everything was written: a failure leaves no partial file and never
/// touches an existing one.
Status writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace quendrix
