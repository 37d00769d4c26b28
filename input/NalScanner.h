#pragma once
// Splits the byte stream of one feeder into H.264 NAL units, start codes included, handing out
// each unit in place from its own buffer.

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace qivo {

class CDataFeeder;

class NalScanner {
public:
    static constexpr std::uint32_t kGrowStep = 65536;

    // The feeder is not owned. Check Allocated() before use.
    explicit NalScanner(CDataFeeder* feeder);

    bool Allocated() const { return buffer_ != nullptr; }
    // Back to the start of the stream with an empty buffer.
    void Reset();
    // Loads more of the stream behind the unread bytes; with grow, the buffer first grows by
    // one step. At the end of the stream it appends the end marker. False when the buffer
    // cannot grow.
    bool FillBuffer(bool grow);
    // 0 with the next unit of more than 3 bytes (shorter ones are skipped); 1 at the end of the
    // stream; -1 when the buffer cannot grow to hold the unit.
    int NextNal(std::uint64_t* offset, const std::uint8_t** data, std::uint32_t* size);
    // Marks bytes at the position as consumed (the size of the unit last handed out).
    void Advance(std::uint32_t bytes) { position_ += bytes; }

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };

    std::uint32_t NalLength() const;
    bool Grow(std::uint32_t bytes);

    std::unique_ptr<std::uint8_t, FreeDeleter> buffer_;
    std::uint32_t position_ = 0;
    std::uint32_t fill_ = 0;
    std::uint32_t capacity_ = 0;
    std::uint64_t streamOffset_ = 0;
    CDataFeeder* feeder_;
    bool atEnd_ = false;
};

}  // namespace qivo
