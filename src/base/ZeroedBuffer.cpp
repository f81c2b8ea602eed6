#include "base/ZeroedBuffer.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace quendrix {
namespace {

constexpr std::size_t LargePage = std::size_t(2) << 20;

} // namespace

ZeroedBuffer::ZeroedBuffer(std::size_t bytes) : size_(bytes) {
    // Whole large pages, with room to start on a boundary; fresh anonymous pages read as zeros.
    const std::size_t pages = (bytes + LargePage - 1) / LargePage * LargePage;
    mappingSize_ = pages + LargePage;
    mapping_ =
        ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping_ == MAP_FAILED) {
        mapping_ = nullptr;
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapping_);
    const std::uintptr_t aligned = (start + LargePage - 1) & ~std::uintptr_t(LargePage - 1);
    data_ = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    // Only a hint: where the system has no large page to give, small pages serve.
    ::madvise(data_, pages, MADV_HUGEPAGE);
#endif
}

ZeroedBuffer::ZeroedBuffer(const ZeroedBuffer& other) : ZeroedBuffer(other.size_) {
    std::memcpy(data_, other.data_, size_);
}

ZeroedBuffer& ZeroedBuffer::operator=(const ZeroedBuffer& other) {
    if (this != &other) {
        ZeroedBuffer copy(other);
        std::swap(data_, copy.data_);
        std::swap(size_, copy.size_);
        std::swap(mapping_, copy.mapping_);
        std::swap(mappingSize_, copy.mappingSize_);
    }
    return *this;
}

ZeroedBuffer::~ZeroedBuffer() {
    if (mapping_) {
        ::munmap(mapping_, mappingSize_);
    }
}

} // namespace quendrix
