// POSIX has no collation of byte strings in a code page of the user's: the
// core's portable order takes its place.
#include "collation.h"

namespace quorvel {

std::unique_ptr<Collation> SystemCollation() { return nullptr; }

std::unique_ptr<Collation> SystemUtf8Collation() { return nullptr; }

}  // namespace quorvel
