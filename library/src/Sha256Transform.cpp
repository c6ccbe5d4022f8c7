#include "Sha256Implementations.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

// Sha256Transform hands the blocks to the compression chosen for this
// processor, once, at the first use.
namespace OrvaneLib {
namespace {

using CompressFunction = void (*)(std::uint32_t (&)[8], const unsigned char*, std::size_t);

// CPUID leaf 7 EBX bit 29: SHA extensions; leaf 1 ECX bit 19: SSE4.1.
bool ProcessorHasShaExtensions() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || (ecx & (1u << 19)) == 0) return false;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) return false;
    return (ebx & (1u << 29)) != 0;
#else
    return false;
#endif
}

CompressFunction CompressFunctionOf(Sha256Implementation implementation) {
    return implementation == Sha256Implementation::ShaExtensions ? &Sha256CompressShaExtensions
                                                                 : &Sha256CompressPortable;
}

std::atomic<CompressFunction>& ActiveCompress() {
    static std::atomic<CompressFunction> active{CompressFunctionOf(
        ProcessorHasShaExtensions() ? Sha256Implementation::ShaExtensions : Sha256Implementation::Portable)};
    return active;
}

}  // namespace

bool IsSha256ImplementationAvailable(Sha256Implementation implementation) {
    static const bool hasShaExtensions = ProcessorHasShaExtensions();
    return implementation == Sha256Implementation::Portable || hasShaExtensions;
}

Sha256Implementation CurrentSha256Implementation() {
    return ActiveCompress().load(std::memory_order_relaxed) == &Sha256CompressShaExtensions
               ? Sha256Implementation::ShaExtensions
               : Sha256Implementation::Portable;
}

bool UseSha256Implementation(Sha256Implementation implementation) {
    if (!IsSha256ImplementationAvailable(implementation)) return false;
    ActiveCompress().store(CompressFunctionOf(implementation), std::memory_order_relaxed);
    return true;
}

void Sha256Transform(Sha256Context& context, const unsigned char* blocks, std::size_t blockCount) {
    if (blockCount == 0) return;
    ActiveCompress().load(std::memory_order_relaxed)(context.hash, blocks, blockCount);
}

}  // namespace OrvaneLib
