// A hint to the processor to bring memory into its cache ahead of use.
#pragma once

namespace quorvel {

inline void Prefetch(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

}  // namespace quorvel
