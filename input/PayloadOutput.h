#pragma once
// Gathers the payload of the selected elementary stream and hands it to the feeder in blocks of
// the feeder's block size, so that the feeder publishes few, full blocks.

#include <cstdint>
#include <memory>

namespace qivo {

class CTSDemuxFeeder;

class PayloadOutput {
public:
    PayloadOutput() = default;
    PayloadOutput(const PayloadOutput&) = delete;
    PayloadOutput& operator=(const PayloadOutput&) = delete;
    // Whatever is still gathered reaches the target.
    ~PayloadOutput() { Flush(); }

    // Connects the output to its target. The buffer is the block size, at least 4,096 bytes,
    // halved while it cannot be had and stays above 1,024 bytes. Without any buffer the output
    // stays connected but refuses every write (false), so that the stream ends visibly instead
    // of losing its payload unnoticed.
    bool Attach(CTSDemuxFeeder* target, std::int32_t blockSize);
    bool Attached() const { return target_ != nullptr; }

    // Appends bytes; a full buffer goes to the target first. False when there is no buffer.
    bool Write(const std::uint8_t* bytes, std::uint32_t count);
    // Hands a non-empty buffer to the target, then detaches and releases the buffer.
    void Flush();

private:
    CTSDemuxFeeder* target_ = nullptr;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::int32_t size_ = 0;
    std::int32_t fill_ = 0;
};

}  // namespace qivo
