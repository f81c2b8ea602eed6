#pragma once

#include <cstddef>

namespace quendrix {

/// Zeroed memory for a large working set, taken straight from the system. On Linux it asks for
/// 2 MB pages: the first touch of a fresh page costs a fault, and one large page replaces 512
/// small ones. Copies copy the contents.
class ZeroedBuffer {
  public:
    explicit ZeroedBuffer(std::size_t bytes);
    ZeroedBuffer(const ZeroedBuffer& other);
    ZeroedBuffer& operator=(const ZeroedBuffer& other);
    ~ZeroedBuffer();

    void* data() { return data_; }
    const void* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
};

} // namespace quendrix
